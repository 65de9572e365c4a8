// Picture files decoded by the program's own decoders (JPEG, PNG, GIF, BMP):
// at their own size, or straight to a smaller size with each pixel the mean
// of those it stands for, which a large picture reaches in little memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmora {

enum class PictureKind { kUnknown, kJpeg, kPng, kGif, kBmp };

// What the first bytes say the data is.
PictureKind SniffPicture(const uint8_t* data, size_t size);

// The size from the header; false when it is none of the kinds above.
bool ReadPictureSize(const uint8_t* data, size_t size, uint32_t& width, uint32_t& height);

struct DecodedPicture {
  uint32_t width = 0, height = 0;
  std::vector<uint8_t> rgba;  // straight alpha, rows top to bottom
};

// The picture at its own size; false when it cannot be decoded or has more
// than `maxPixels` pixels.
bool DecodePicture(const uint8_t* data, size_t size, uint64_t maxPixels, DecodedPicture& out);

// The picture at width x height (at most its own size in each direction;
// larger values are taken down to it). Pictures of more than `maxSourcePixels`
// are refused.
bool DecodePictureAtSize(const uint8_t* data, size_t size, uint32_t width, uint32_t height,
                         uint64_t maxSourcePixels, DecodedPicture& out);

}  // namespace velmora
