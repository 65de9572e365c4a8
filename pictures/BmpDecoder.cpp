#include "pictures/BmpDecoder.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace velmora {
namespace {

uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

constexpr uint32_t kMaxSide = 1u << 17;

struct Layout {
  uint32_t width = 0, height = 0;
  bool topDown = false;
  int bits = 0;
  uint32_t masks[4] = {};  // red, green, blue, alpha; for 16 and 32 bits
  size_t pixels = 0;       // where the rows start
  size_t stride = 0;
  std::vector<uint8_t> table;  // BGRX entries
  size_t tableEntries = 0;
};

bool ReadLayout(const uint8_t* d, size_t size, Layout& l) {
  if (!d || size < 26 || d[0] != 'B' || d[1] != 'M') return false;
  const uint32_t headerSize = Le32(d + 14);
  uint32_t compression = 0, colours = 0;
  int32_t height = 0;
  if (headerSize == 12) {  // the old core header
    l.width = Le16(d + 18);
    height = static_cast<int16_t>(Le16(d + 20));
    l.bits = Le16(d + 24);
  } else if (headerSize >= 40 && headerSize <= 124 && size >= 14 + static_cast<size_t>(headerSize)) {
    const int32_t width = static_cast<int32_t>(Le32(d + 18));
    if (width <= 0) return false;
    l.width = static_cast<uint32_t>(width);
    height = static_cast<int32_t>(Le32(d + 22));
    l.bits = Le16(d + 28);
    compression = Le32(d + 30);
    colours = Le32(d + 46);
  } else {
    return false;
  }
  if (height == INT32_MIN || height == 0 || l.width == 0 || l.width > kMaxSide) return false;
  l.topDown = height < 0;
  l.height = static_cast<uint32_t>(height < 0 ? -height : height);
  if (l.bits != 1 && l.bits != 4 && l.bits != 8 && l.bits != 16 && l.bits != 24 && l.bits != 32)
    return false;
  // Compression 3 (bit fields) with the masks after a 40-byte header or in a
  // larger header; 6 is the same with alpha.
  if (compression == 3 || compression == 6) {
    if (l.bits != 16 && l.bits != 32) return false;
    const size_t at = 14 + 40;
    if (size < at + 12) return false;
    for (int i = 0; i < 3; ++i) l.masks[i] = Le32(d + at + 4 * i);
    if ((headerSize >= 56 || compression == 6) && size >= at + 16) l.masks[3] = Le32(d + at + 12);
  } else if (compression != 0) {
    return false;
  } else if (l.bits == 16) {
    l.masks[0] = 0x7C00, l.masks[1] = 0x03E0, l.masks[2] = 0x001F;
  } else if (l.bits == 32) {
    l.masks[0] = 0xFF0000, l.masks[1] = 0xFF00, l.masks[2] = 0xFF;  // the fourth byte is not alpha
  }
  if (l.bits <= 8) {
    const size_t entrySize = headerSize == 12 ? 3 : 4;
    const size_t most = size_t{1} << l.bits;
    l.tableEntries = colours == 0 || colours > most ? most : colours;
    size_t at = 14 + headerSize + (compression == 3 && headerSize == 40 ? 12 : 0);
    l.table.assign(most * 4, 0);
    for (size_t i = 0; i < l.tableEntries && at + entrySize <= size; ++i, at += entrySize)
      std::memcpy(&l.table[4 * i], d + at, 3);
  }
  l.pixels = Le32(d + 10);
  l.stride = ((static_cast<size_t>(l.width) * l.bits + 31) / 32) * 4;
  // A file cut before its first whole row holds no picture.
  return l.pixels < size && size - l.pixels >= l.stride;
}

// A channel from a bit-field mask, scaled to 0..255.
uint8_t Channel(uint32_t value, uint32_t mask) {
  if (!mask) return 0;
  int shift = 0;
  while (!((mask >> shift) & 1)) ++shift;
  const uint32_t top = mask >> shift;
  int bits = 0;
  while (bits < 32 && ((top >> bits) & 1)) ++bits;
  const uint32_t v = (value & mask) >> shift;
  return static_cast<uint8_t>(bits >= 8 ? v >> (bits - 8) : (v * 255 + top / 2) / top);  // top > 0
}

}  // namespace

bool ReadBmpSize(const uint8_t* data, size_t size, uint32_t& width, uint32_t& height) {
  Layout l;
  if (!ReadLayout(data, size, l)) return false;
  width = l.width;
  height = l.height;
  return true;
}

bool DecodeBmp(const uint8_t* data, size_t size, const PictureSink& sink) {
  Layout l;
  if (!ReadLayout(data, size, l)) return false;
  if (!sink.begin || !sink.begin(l.width, l.height)) return false;
  std::vector<uint8_t> row(static_cast<size_t>(l.width) * 4);
  for (uint32_t y = 0; y < l.height; ++y) {
    const uint32_t stored = l.topDown ? y : l.height - 1 - y;
    const size_t at = l.pixels + static_cast<size_t>(stored) * l.stride;
    if (at > size || size - at < l.stride) {  // a cut file: the rest transparent
      std::fill(row.begin(), row.end(), 0);
      sink.row(y, row.data());
      continue;
    }
    const uint8_t* in = data + at;
    uint8_t* out = row.data();
    for (uint32_t x = 0; x < l.width; ++x, out += 4) {
      if (l.bits <= 8) {
        const size_t bit = static_cast<size_t>(x) * l.bits;
        const uint32_t index = (in[bit / 8] >> (8 - l.bits - bit % 8)) & ((1u << l.bits) - 1);
        const uint8_t* c = &l.table[4 * index];
        out[0] = c[2], out[1] = c[1], out[2] = c[0], out[3] = 255;
      } else if (l.bits == 24) {
        out[0] = in[3 * x + 2], out[1] = in[3 * x + 1], out[2] = in[3 * x], out[3] = 255;
      } else {
        const uint32_t v = l.bits == 16 ? Le16(in + 2 * x) : Le32(in + 4 * x);
        out[0] = Channel(v, l.masks[0]);
        out[1] = Channel(v, l.masks[1]);
        out[2] = Channel(v, l.masks[2]);
        out[3] = l.masks[3] ? Channel(v, l.masks[3]) : 255;
      }
    }
    sink.row(y, row.data());
  }
  return true;
}

}  // namespace velmora
