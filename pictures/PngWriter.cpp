#include "pictures/PngWriter.h"

#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace velmora::swf {
namespace {

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  const uint8_t bytes[4] = {static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16),
                            static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
  out.insert(out.end(), bytes, bytes + 4);
}

// Length, type, data and the CRC of type and data.
void PutChunk(std::vector<uint8_t>& out, const char* type, const uint8_t* data, size_t size) {
  PutU32(out, static_cast<uint32_t>(size));
  const size_t typeAt = out.size();
  out.insert(out.end(), type, type + 4);
  if (size > 0) out.insert(out.end(), data, data + size);
  uLong crc = crc32(0L, Z_NULL, 0);
  crc = crc32(crc, out.data() + typeAt, static_cast<uInt>(4 + size));
  PutU32(out, static_cast<uint32_t>(crc));
}

}  // namespace

bool EncodePng(int width, int height, const uint8_t* rgba, std::vector<uint8_t>& out) {
  // Pictures past 2^14 on a side are not frames we draw; the limit keeps every
  // size below in range of zlib's 32-bit counts.
  if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return false;
  const size_t stride = static_cast<size_t>(width) * 4;
  // Each row with filter 1 (each byte less the one a pixel to its left): good
  // on the flat areas and smooth gradients of frames, with no search.
  std::vector<uint8_t> filtered((stride + 1) * static_cast<size_t>(height));
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = rgba + stride * static_cast<size_t>(y);
    uint8_t* dst = &filtered[(stride + 1) * static_cast<size_t>(y)];
    dst[0] = 1;
    std::memcpy(dst + 1, row, 4);
    for (size_t i = 4; i < stride; ++i) dst[1 + i] = static_cast<uint8_t>(row[i] - row[i - 4]);
  }
  uLongf packedSize = compressBound(static_cast<uLong>(filtered.size()));
  std::vector<uint8_t> packed(packedSize);
  if (compress2(packed.data(), &packedSize, filtered.data(), static_cast<uLong>(filtered.size()), Z_BEST_SPEED) !=
      Z_OK)
    return false;

  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  out.assign(kSignature, kSignature + 8);
  std::vector<uint8_t> header;
  PutU32(header, static_cast<uint32_t>(width));
  PutU32(header, static_cast<uint32_t>(height));
  const uint8_t rest[5] = {8, 6, 0, 0, 0};  // 8 bits, RGBA, deflate, adaptive filters, no interlace
  header.insert(header.end(), rest, rest + 5);
  PutChunk(out, "IHDR", header.data(), header.size());
  PutChunk(out, "IDAT", packed.data(), packedSize);
  PutChunk(out, "IEND", nullptr, 0);
  return true;
}

bool WritePng(const std::string& path, int width, int height, const uint8_t* rgba) {
  std::vector<uint8_t> encoded;
  if (!EncodePng(width, height, rgba, encoded)) return false;
  std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) return false;
  return std::fwrite(encoded.data(), 1, encoded.size(), file.get()) == encoded.size();
}

}  // namespace velmora::swf
