// The first frame of a GIF, written for untrusted input: the logical screen
// with the frame's pixels on it (the rest transparent), its colour table and
// transparent colour, interlacing.
#pragma once

#include "pictures/PictureSink.h"

#include <cstddef>
#include <cstdint>

namespace velmora {

bool ReadGifSize(const uint8_t* data, size_t size, uint32_t& width, uint32_t& height);

bool DecodeGif(const uint8_t* data, size_t size, const PictureSink& sink);

}  // namespace velmora
