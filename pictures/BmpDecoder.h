// Windows bitmap files (BMP), written for untrusted input: 1, 4, 8, 16, 24
// and 32 bits per pixel, colour tables, bit-field masks (with alpha when a
// mask names it), top-down and bottom-up rows. Compressed ones are not read.
#pragma once

#include "pictures/PictureSink.h"

#include <cstddef>
#include <cstdint>

namespace velmora {

bool ReadBmpSize(const uint8_t* data, size_t size, uint32_t& width, uint32_t& height);

bool DecodeBmp(const uint8_t* data, size_t size, const PictureSink& sink);

}  // namespace velmora
