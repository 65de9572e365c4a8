// A small PNG writer for the decoder tests: any colour type and bit depth,
// interlaced or not, every row with a filter of the test's choosing, so that
// each case can be compared with the samples it was made from.
#pragma once

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace velmora::test {

struct PngSpec {
  uint32_t width = 0, height = 0;
  int colour = 6, depth = 8;
  bool interlaced = false;
  // Samples, one per channel, row by row, each below 2^depth.
  std::vector<uint16_t> samples;
  std::vector<uint8_t> palette;       // RGB triples (colour type 3)
  std::vector<uint8_t> transparency;  // the tRNS chunk's body, when not empty
  unsigned filterSeed = 1;            // chooses each row's filter
};

inline int PngChannels(int colour) {
  return colour == 0 || colour == 3 ? 1 : colour == 2 ? 3 : colour == 4 ? 2 : 4;
}

namespace detail {

inline void Put32(std::string& out, uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out += static_cast<char>((v >> s) & 0xFF);
}

inline void Chunk(std::string& out, const char* type, const std::string& body) {
  Put32(out, static_cast<uint32_t>(body.size()));
  const std::string typed = std::string(type, 4) + body;
  out += typed;
  Put32(out, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(typed.data()),
                                         static_cast<uInt>(typed.size()))));
}

inline uint8_t Predict(int filter, int a, int b, int c) {
  switch (filter) {
    case 1: return static_cast<uint8_t>(a);
    case 2: return static_cast<uint8_t>(b);
    case 3: return static_cast<uint8_t>((a + b) / 2);
    case 4: {
      const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
      return static_cast<uint8_t>(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
    }
    default: return 0;
  }
}

}  // namespace detail

// The sample bytes of pixels (x0 + k * dx, y) for k < count, packed.
inline std::vector<uint8_t> PackRow(const PngSpec& s, uint32_t y, uint32_t x0, uint32_t dx,
                                    uint32_t count) {
  const int channels = PngChannels(s.colour);
  std::vector<uint8_t> row(((size_t)count * channels * s.depth + 7) / 8, 0);
  size_t bit = 0;
  for (uint32_t k = 0; k < count; ++k)
    for (int c = 0; c < channels; ++c) {
      const uint16_t v = s.samples[((size_t)y * s.width + x0 + (size_t)k * dx) * channels + c];
      if (s.depth == 16) {
        row[bit / 8] = static_cast<uint8_t>(v >> 8);
        row[bit / 8 + 1] = static_cast<uint8_t>(v);
      } else {
        row[bit / 8] |= static_cast<uint8_t>(v << (8 - s.depth - bit % 8));
      }
      bit += static_cast<size_t>(s.depth);
    }
  return row;
}

inline std::string EncodePng(const PngSpec& s) {
  std::string raw;
  const size_t step = std::max<size_t>(1, (size_t)PngChannels(s.colour) * s.depth / 8);
  unsigned seed = s.filterSeed;
  auto addImage = [&](uint32_t x0, uint32_t y0, uint32_t dx, uint32_t dy) {
    if (x0 >= s.width || y0 >= s.height) return;
    const uint32_t count = (s.width - x0 + dx - 1) / dx;
    std::vector<uint8_t> above;
    for (uint32_t y = y0; y < s.height; y += dy) {
      const std::vector<uint8_t> row = PackRow(s, y, x0, dx, count);
      if (above.empty()) above.assign(row.size(), 0);
      seed = seed * 1103515245u + 12345u;
      const int filter = static_cast<int>((seed >> 16) % 5);
      raw += static_cast<char>(filter);
      for (size_t i = 0; i < row.size(); ++i) {
        const int a = i >= step ? row[i - step] : 0, c = i >= step ? above[i - step] : 0;
        raw += static_cast<char>(row[i] - detail::Predict(filter, a, above[i], c));
      }
      above = row;
    }
  };
  if (s.interlaced) {
    const uint32_t passes[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                   {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    for (const auto& p : passes) addImage(p[0], p[1], p[2], p[3]);
  } else {
    addImage(0, 0, 1, 1);
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::string packed(packedSize, '\0');
  compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
            reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()), 1);
  packed.resize(packedSize);

  std::string png("\x89PNG\r\n\x1A\n", 8);
  std::string header;
  detail::Put32(header, s.width);
  detail::Put32(header, s.height);
  header += static_cast<char>(s.depth);
  header += static_cast<char>(s.colour);
  header += std::string("\0\0", 2);
  header += static_cast<char>(s.interlaced ? 1 : 0);
  detail::Chunk(png, "IHDR", header);
  if (!s.palette.empty()) detail::Chunk(png, "PLTE", std::string(s.palette.begin(), s.palette.end()));
  if (!s.transparency.empty())
    detail::Chunk(png, "tRNS", std::string(s.transparency.begin(), s.transparency.end()));
  // Split over two data chunks, as writers do.
  const size_t half = packed.size() / 2;
  detail::Chunk(png, "IDAT", packed.substr(0, half));
  detail::Chunk(png, "IDAT", packed.substr(half));
  detail::Chunk(png, "IEND", "");
  return png;
}

// An RGB PNG of horizontal stripes 100 rows high, row y of grey (y / 100 *
// 30) % 256, written row by row so that the test holds no picture.
inline std::string StripesPng(uint32_t w, uint32_t h) {
  z_stream z{};
  deflateInit(&z, 1);
  std::string packed;
  std::vector<uint8_t> row(1 + size_t{w} * 3), out(1 << 16);
  for (uint32_t y = 0; y < h; ++y) {
    std::fill(row.begin() + 1, row.end(), static_cast<uint8_t>(y / 100 * 30));
    z.next_in = row.data();
    z.avail_in = static_cast<uInt>(row.size());
    do {
      z.next_out = out.data();
      z.avail_out = static_cast<uInt>(out.size());
      deflate(&z, y + 1 == h ? Z_FINISH : Z_NO_FLUSH);
      packed.append(reinterpret_cast<char*>(out.data()), out.size() - z.avail_out);
    } while (z.avail_out == 0 || (y + 1 == h && z.avail_in > 0));
  }
  deflateEnd(&z);
  std::string png("\x89PNG\r\n\x1A\n", 8), header;
  detail::Put32(header, w);
  detail::Put32(header, h);
  header += std::string("\x08\x02\x00\x00\x00", 5);
  detail::Chunk(png, "IHDR", header);
  detail::Chunk(png, "IDAT", packed);
  detail::Chunk(png, "IEND", "");
  return png;
}

}  // namespace velmora::test
