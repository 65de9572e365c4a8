#include "pictures/PictureDecoder.h"

#include "pictures/BmpDecoder.h"
#include "pictures/GifDecoder.h"
#include "pictures/JpegDecoder.h"
#include "pictures/PictureScaler.h"
#include "pictures/PngDecoder.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace velmora {
namespace {

bool Decode(PictureKind kind, const uint8_t* data, size_t size, int jpegScale,
            const PictureSink& sink) {
  switch (kind) {
    case PictureKind::kJpeg: return DecodeJpeg(data, size, jpegScale, sink);
    case PictureKind::kPng: return DecodePng(data, size, sink);
    case PictureKind::kGif: return DecodeGif(data, size, sink);
    case PictureKind::kBmp: return DecodeBmp(data, size, sink);
    default: return false;
  }
}

}  // namespace

PictureKind SniffPicture(const uint8_t* data, size_t size) {
  if (!data || size < 4) return PictureKind::kUnknown;
  if (data[0] == 0xFF && data[1] == 0xD8) return PictureKind::kJpeg;
  if (size >= 8 && std::memcmp(data, "\x89PNG\r\n\x1A\n", 8) == 0) return PictureKind::kPng;
  if (std::memcmp(data, "GIF8", 4) == 0) return PictureKind::kGif;
  if (data[0] == 'B' && data[1] == 'M') return PictureKind::kBmp;
  return PictureKind::kUnknown;
}

bool ReadPictureSize(const uint8_t* data, size_t size, uint32_t& width, uint32_t& height) {
  switch (SniffPicture(data, size)) {
    case PictureKind::kJpeg: return ReadJpegSize(data, size, width, height);
    case PictureKind::kPng: return ReadPngSize(data, size, width, height);
    case PictureKind::kGif: return ReadGifSize(data, size, width, height);
    case PictureKind::kBmp: return ReadBmpSize(data, size, width, height);
    default: return false;
  }
}

bool DecodePicture(const uint8_t* data, size_t size, uint64_t maxPixels, DecodedPicture& out) {
  out = DecodedPicture{};
  PictureSink sink;
  sink.begin = [&](uint32_t w, uint32_t h) {
    if (static_cast<uint64_t>(w) * h > maxPixels) return false;
    out.width = w;
    out.height = h;
    out.rgba.assign(static_cast<size_t>(w) * h * 4, 0);
    return true;
  };
  sink.row = [&](uint32_t y, const uint8_t* rgba) {
    if (y < out.height) std::memcpy(&out.rgba[static_cast<size_t>(y) * out.width * 4], rgba, out.width * size_t{4});
  };
  if (Decode(SniffPicture(data, size), data, size, 1, sink)) return true;
  out = DecodedPicture{};
  return false;
}

bool DecodePictureAtSize(const uint8_t* data, size_t size, uint32_t width, uint32_t height,
                         uint64_t maxSourcePixels, DecodedPicture& out) {
  out = DecodedPicture{};
  uint32_t w = 0, h = 0;
  const PictureKind kind = SniffPicture(data, size);
  if (!ReadPictureSize(data, size, w, h) || static_cast<uint64_t>(w) * h > maxSourcePixels ||
      width == 0 || height == 0)
    return false;
  width = std::min(width, w);
  height = std::min(height, h);
  // A JPEG gives a smaller picture from the low frequencies of its blocks:
  // the smallest such picture that still has the pixels asked for.
  int scale = 1;
  if (kind == PictureKind::kJpeg)
    for (int s : {8, 4, 2}) {
      if ((w + s - 1) / s >= width && (h + s - 1) / s >= height) {
        scale = s;
        break;
      }
    }
  std::unique_ptr<PictureScaler> scaler;
  PictureSink sink;
  sink.begin = [&](uint32_t sw, uint32_t sh) {
    scaler = std::make_unique<PictureScaler>(sw, sh, width, height);
    return true;
  };
  sink.row = [&](uint32_t y, const uint8_t* rgba) { scaler->AddRow(y, rgba); };
  if (!Decode(kind, data, size, scale, sink) || !scaler) return false;
  out.width = width;
  out.height = height;
  out.rgba = scaler->Finish();
  return true;
}

}  // namespace velmora
