// Turns the bitmap tags' pixel data into premultiplied ARGB pictures.
#pragma once

#include "player/swf/SwfMovie.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmora::swf {

// The largest picture accepted (4096 x 4096, the size movies were limited
// to), so a damaged size cannot exhaust memory.
constexpr int64_t kMaxBitmapPixels = 16LL * 1024 * 1024;
// All the pictures of one movie together (256 MB decoded): a small movie
// cannot ask for gigabytes with many tiny pictures of large declared size.
constexpr int64_t kMaxMoviePixels = 64LL * 1024 * 1024;

// zlib data of at most `limit` bytes when inflated; false when damaged or larger.
bool Inflate(const uint8_t* data, size_t size, size_t limit, std::vector<uint8_t>& out);

// DefineBitsLossless (`withAlpha` false) and DefineBitsLossless2 bodies after
// the character id.
// No picture of more than `maxPixels` pixels is decoded.
bool DecodeLossless(const uint8_t* data, size_t size, bool withAlpha, Bitmap& out,
                    int64_t maxPixels = kMaxBitmapPixels);

// JPEG (with the movie's damaged-marker quirks), PNG or GIF bytes.
// `tables` are the movie's shared JPEG tables for DefineBits, else empty.
bool DecodeJpegOrPng(const uint8_t* data, size_t size, const std::vector<uint8_t>& tables,
                     Bitmap& out, int64_t maxPixels = kMaxBitmapPixels);

// Applies DefineBitsJPEG3's alpha plane (one byte per pixel, zlib-compressed)
// to `bitmap`, whose colours the file holds premultiplied by that alpha.
void ApplyAlphaPlane(const uint8_t* data, size_t size, Bitmap& bitmap);

}  // namespace velmora::swf
