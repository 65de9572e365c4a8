// A PNG decoder written for untrusted input: every bit depth and colour
// type, palettes and transparency, interlacing. Rows go out as they are
// inflated, so a large picture takes little memory (an interlaced one is put
// together whole first). Damaged data ends the picture: the rows not reached
// are transparent.
#pragma once

#include "pictures/PictureSink.h"

#include <cstddef>
#include <cstdint>

namespace velmora {

bool ReadPngSize(const uint8_t* data, size_t size, uint32_t& width, uint32_t& height);

// False when the data is no PNG, holds no picture data, or the sink refused it.
bool DecodePng(const uint8_t* data, size_t size, const PictureSink& sink);

}  // namespace velmora
