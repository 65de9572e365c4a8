// A JPEG decoder written for untrusted input: baseline, extended and
// progressive Huffman-coded pictures with 8-bit samples, grey, YCbCr, RGB,
// CMYK and YCCK, any sampling factors, restart intervals. Every table and
// marker is checked before it is used; damaged entropy-coded data decodes to
// what can be read, the rest grey.
//
// A picture can be decoded at 1/2, 1/4 or 1/8 of its size from the low
// frequencies of each block: a large photograph is read into little memory
// and little time. Sequential pictures are decoded one row of blocks at a
// time; progressive ones keep only the coefficients the scale needs.
#pragma once

#include "pictures/PictureSink.h"

#include <cstddef>
#include <cstdint>

namespace velmora {

// The picture's size from its frame header; false when there is none.
bool ReadJpegSize(const uint8_t* data, size_t size, uint32_t& width, uint32_t& height);

// Decodes at 1/scale of the size (scale 1, 2, 4 or 8; the size rounded up).
// False when the picture cannot be decoded at all or the sink refused it.
bool DecodeJpeg(const uint8_t* data, size_t size, int scale, const PictureSink& sink);

}  // namespace velmora
