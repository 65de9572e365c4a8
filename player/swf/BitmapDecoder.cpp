#include "player/swf/BitmapDecoder.h"

#include "pictures/PictureDecoder.h"
#include "player/swf/BitReader.h"

#include <zlib.h>

#include <algorithm>

namespace velmora::swf {
namespace {

uint32_t Premultiply(uint8_t r, uint8_t g, uint8_t b, uint8_t a) { return PremultipliedArgb({r, g, b, a}); }

// Stored premultiplied colours may still carry a channel above alpha.
uint32_t ClampPremultiplied(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  return (static_cast<uint32_t>(a) << 24) | (static_cast<uint32_t>(std::min(r, a)) << 16) |
         (static_cast<uint32_t>(std::min(g, a)) << 8) | std::min(b, a);
}

bool SizeAllowed(int64_t width, int64_t height, int64_t maxPixels) {
  return width > 0 && height > 0 && width * height <= std::min(maxPixels, kMaxBitmapPixels);
}

// Movies carry JPEG streams with an extra end/start marker pair (FF D9 FF D8)
// at the front or between their tables and the picture; decoders stop there.
std::vector<uint8_t> RepairJpeg(const uint8_t* data, size_t size) {
  std::vector<uint8_t> out;
  out.reserve(size);
  for (size_t i = 0; i < size;) {
    if (i + 3 < size && data[i] == 0xFF && data[i + 1] == 0xD9 && data[i + 2] == 0xFF &&
        data[i + 3] == 0xD8) {
      i += 4;
      continue;
    }
    out.push_back(data[i++]);
  }
  return out;
}

bool DecodePictureBytes(const std::vector<uint8_t>& bytes, Bitmap& out, int64_t maxPixels) {
  DecodedPicture picture;
  const int64_t limit = std::max<int64_t>(0, std::min(maxPixels, kMaxBitmapPixels));
  if (!DecodePicture(bytes.data(), bytes.size(), static_cast<uint64_t>(limit), picture)) return false;
  out.width = static_cast<int>(picture.width);
  out.height = static_cast<int>(picture.height);
  out.pixels.resize(static_cast<size_t>(out.width) * out.height);
  const uint8_t* p = picture.rgba.data();
  for (uint32_t& px : out.pixels) {
    px = Premultiply(p[0], p[1], p[2], p[3]);
    p += 4;
  }
  return true;
}

}  // namespace

bool Inflate(const uint8_t* data, size_t size, size_t limit, std::vector<uint8_t>& out) {
  out.clear();
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return false;
  z.next_in = const_cast<Bytef*>(data);
  z.avail_in = static_cast<uInt>(std::min<size_t>(size, 0xFFFFFFFFu));
  uint8_t chunk[16384];
  int status = Z_OK;
  while (status == Z_OK) {
    z.next_out = chunk;
    z.avail_out = sizeof chunk;
    status = inflate(&z, Z_NO_FLUSH);
    size_t produced = sizeof chunk - z.avail_out;
    if (out.size() + produced > limit) {
      status = Z_BUF_ERROR;
      break;
    }
    out.insert(out.end(), chunk, chunk + produced);
    if (status == Z_BUF_ERROR && z.avail_in == 0) break;  // input ran out
  }
  inflateEnd(&z);
  return status == Z_STREAM_END;
}

bool DecodeLossless(const uint8_t* data, size_t size, bool withAlpha, Bitmap& out, int64_t maxPixels) {
  BitReader in(data, size);
  uint8_t format = in.U8();
  int width = in.U16();
  int height = in.U16();
  int tableSize = format == 3 ? in.U8() + 1 : 0;
  if (!in.Ok() || !SizeAllowed(width, height, maxPixels)) return false;
  const int colorBytes = withAlpha ? 4 : 3;
  size_t stride;
  size_t headerBytes = 0;
  switch (format) {
    case 3: stride = (static_cast<size_t>(width) + 3) & ~size_t{3}; headerBytes = static_cast<size_t>(tableSize) * colorBytes; break;
    case 4: if (withAlpha) return false; stride = (static_cast<size_t>(width) * 2 + 3) & ~size_t{3}; break;
    case 5: stride = static_cast<size_t>(width) * 4; break;
    default: return false;
  }
  size_t expected = headerBytes + stride * height;
  std::vector<uint8_t> raw;
  Inflate(in.Current(), in.Remaining(), expected, raw);
  // A stream cut short still gives the rows it holds, but a few bytes that
  // claim a huge picture are refused rather than padded out.
  if (raw.size() < headerBytes || raw.size() < expected / 2) return false;
  raw.resize(expected, 0);

  out.width = width;
  out.height = height;
  out.pixels.assign(static_cast<size_t>(width) * height, 0);
  std::vector<uint32_t> palette(256, 0);
  for (int i = 0; i < tableSize; ++i) {
    const uint8_t* c = &raw[static_cast<size_t>(i) * colorBytes];
    palette[i] = withAlpha ? ClampPremultiplied(c[0], c[1], c[2], c[3])
                           : Premultiply(c[0], c[1], c[2], 255);
  }
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = &raw[headerBytes + stride * y];
    uint32_t* dst = &out.pixels[static_cast<size_t>(y) * width];
    for (int x = 0; x < width; ++x) {
      if (format == 3) {
        dst[x] = palette[row[x]];
      } else if (format == 4) {
        unsigned v = (row[2 * x] << 8) | row[2 * x + 1];
        auto expand = [](unsigned c5) { return static_cast<uint8_t>((c5 << 3) | (c5 >> 2)); };
        dst[x] = Premultiply(expand((v >> 10) & 31), expand((v >> 5) & 31), expand(v & 31), 255);
      } else {
        const uint8_t* p = row + 4 * x;
        dst[x] = withAlpha ? ClampPremultiplied(p[1], p[2], p[3], p[0])
                           : Premultiply(p[1], p[2], p[3], 255);
      }
    }
  }
  return true;
}

bool DecodeJpegOrPng(const uint8_t* data, size_t size, const std::vector<uint8_t>& tables,
                     Bitmap& out, int64_t maxPixels) {
  std::vector<uint8_t> bytes = RepairJpeg(data, size);
  if (!tables.empty() && bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xD8) {
    std::vector<uint8_t> joined = RepairJpeg(tables.data(), tables.size());
    // Drop the tables' end marker and the picture's start marker.
    if (joined.size() >= 2 && joined[joined.size() - 2] == 0xFF && joined.back() == 0xD9)
      joined.resize(joined.size() - 2);
    if (joined.size() >= 2) {
      joined.insert(joined.end(), bytes.begin() + 2, bytes.end());
      if (DecodePictureBytes(joined, out, maxPixels)) return true;
    }
  }
  return DecodePictureBytes(bytes, out, maxPixels);
}

void ApplyAlphaPlane(const uint8_t* data, size_t size, Bitmap& bitmap) {
  size_t count = bitmap.pixels.size();
  std::vector<uint8_t> alpha;
  Inflate(data, size, count, alpha);
  if (alpha.empty()) return;
  alpha.resize(count, 255);  // a short plane leaves the rest opaque
  // The authoring tool stores the picture's colours already multiplied by
  // the plane's alpha, so they are taken as they are; a channel that the
  // JPEG's loss has lifted above its alpha is cut down to it (and a wholly
  // transparent pixel shows nothing at all).
  for (size_t i = 0; i < count; ++i) {
    const uint32_t p = bitmap.pixels[i];
    bitmap.pixels[i] = ClampPremultiplied((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF, alpha[i]);
  }
}

}  // namespace velmora::swf
