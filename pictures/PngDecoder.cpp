#include "pictures/PngDecoder.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace velmora {
namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// Interlaced pictures are put together whole before their rows go out: their
// size is limited so that this stays within reason.
constexpr uint64_t kMaxInterlacedPixels = uint64_t{16} << 20;

// Rows are held whole: wider pictures than this are not read.
constexpr uint32_t kMaxWidth = 1u << 17;

uint32_t Be32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

struct Header {
  uint32_t width = 0, height = 0;
  int depth = 0, colour = 0;
  bool interlaced = false;
  int Channels() const {
    switch (colour) {
      case 0: case 3: return 1;
      case 2: return 3;
      case 4: return 2;
      default: return 4;
    }
  }
  size_t BitsPerPixel() const { return static_cast<size_t>(Channels()) * depth; }
  size_t RowBytes(uint32_t w) const { return (w * BitsPerPixel() + 7) / 8; }
};

bool ValidHeader(const Header& h) {
  if (h.width == 0 || h.height == 0 || h.width > kMaxWidth || h.height > 0x7FFFFFFF) return false;
  switch (h.colour) {
    case 0: return h.depth == 1 || h.depth == 2 || h.depth == 4 || h.depth == 8 || h.depth == 16;
    case 3: return h.depth == 1 || h.depth == 2 || h.depth == 4 || h.depth == 8;
    case 2: case 4: case 6: return h.depth == 8 || h.depth == 16;
    default: return false;
  }
}

// The chunks of the file, each checked to lie within it.
class Chunks {
 public:
  Chunks(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  // The next chunk; false at the end or at a chunk running past the data.
  bool Next(uint32_t& type, const uint8_t*& body, uint32_t& length) {
    if (pos_ + 12 > size_) return false;
    length = Be32(data_ + pos_);
    type = Be32(data_ + pos_ + 4);
    if (length > size_ - pos_ - 12) return false;
    body = data_ + pos_ + 8;
    pos_ += 12 + static_cast<size_t>(length);
    return true;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 8;
};

constexpr uint32_t Tag(const char (&s)[5]) {
  return static_cast<uint32_t>(s[0]) << 24 | static_cast<uint32_t>(s[1]) << 16 |
         static_cast<uint32_t>(s[2]) << 8 | static_cast<uint32_t>(s[3]);
}

bool ReadHeader(const uint8_t* data, size_t size, Header& h) {
  if (!data || size < 33 || std::memcmp(data, kSignature, 8) != 0) return false;
  Chunks chunks(data, size);
  uint32_t type = 0, length = 0;
  const uint8_t* body = nullptr;
  if (!chunks.Next(type, body, length) || type != Tag("IHDR") || length < 13) return false;
  h.width = Be32(body);
  h.height = Be32(body + 4);
  h.depth = body[8];
  h.colour = body[9];
  h.interlaced = body[12] == 1;
  return body[10] == 0 && body[11] == 0 && body[12] <= 1 && ValidHeader(h);
}

uint8_t Paeth(int a, int b, int c) {
  const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  return static_cast<uint8_t>(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// Undoes a row's filter in place, against the row above (zeros for the first).
bool Unfilter(uint8_t filter, uint8_t* row, const uint8_t* above, size_t bytes, size_t step) {
  switch (filter) {
    case 0: return true;
    case 1:
      for (size_t i = step; i < bytes; ++i) row[i] = static_cast<uint8_t>(row[i] + row[i - step]);
      return true;
    case 2:
      for (size_t i = 0; i < bytes; ++i) row[i] = static_cast<uint8_t>(row[i] + above[i]);
      return true;
    case 3:
      for (size_t i = 0; i < bytes; ++i)
        row[i] = static_cast<uint8_t>(row[i] + ((i >= step ? row[i - step] : 0) + above[i]) / 2);
      return true;
    case 4:
      for (size_t i = 0; i < bytes; ++i)
        row[i] = static_cast<uint8_t>(
            row[i] + Paeth(i >= step ? row[i - step] : 0, above[i], i >= step ? above[i - step] : 0));
      return true;
    default: return false;
  }
}

struct Palette {
  uint8_t rgba[256][4] = {};
  // Transparent colour of grey or RGB pictures, at the picture's depth.
  bool hasKey = false;
  uint16_t key[3] = {};
};

// One unfiltered row of `w` pixels as RGBA.
void ToRgba(const Header& h, const Palette& pal, const uint8_t* in, uint32_t w, uint8_t* out) {
  const int depth = h.depth;
  auto sample = [&](size_t index) -> uint16_t {  // the index-th sample of the row
    if (depth == 16) return static_cast<uint16_t>(in[2 * index] << 8 | in[2 * index + 1]);
    if (depth == 8) return in[index];
    const size_t bit = index * depth;
    return static_cast<uint16_t>((in[bit / 8] >> (8 - depth - bit % 8)) & ((1 << depth) - 1));
  };
  auto to8 = [&](uint16_t v) -> uint8_t {
    if (depth == 16) return static_cast<uint8_t>(v >> 8);
    return static_cast<uint8_t>(v * 255 / ((1 << depth) - 1));
  };
  for (uint32_t x = 0; x < w; ++x, out += 4) {
    switch (h.colour) {
      case 0: {
        const uint16_t g = sample(x);
        out[0] = out[1] = out[2] = to8(g);
        out[3] = pal.hasKey && g == pal.key[0] ? 0 : 255;
        break;
      }
      case 2: {
        const uint16_t r = sample(3 * x), g = sample(3 * x + 1), b = sample(3 * x + 2);
        out[0] = to8(r), out[1] = to8(g), out[2] = to8(b);
        out[3] = pal.hasKey && r == pal.key[0] && g == pal.key[1] && b == pal.key[2] ? 0 : 255;
        break;
      }
      case 3: std::memcpy(out, pal.rgba[sample(x) & 0xFF], 4); break;
      case 4:
        out[0] = out[1] = out[2] = to8(sample(2 * x));
        out[3] = to8(sample(2 * x + 1));
        break;
      default:
        for (int c = 0; c < 4; ++c) out[c] = to8(sample(4 * x + static_cast<size_t>(c)));
        break;
    }
  }
}

// The seven passes of the interlaced layout: first column and row, steps.
constexpr int kPass[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                             {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};

class Decoder {
 public:
  Decoder(const Header& h, const Palette& pal, const PictureSink& sink)
      : h_(h), pal_(pal), sink_(sink), step_(std::max<size_t>(1, h.BitsPerPixel() / 8)) {
    rgba_.assign(static_cast<size_t>(h.width) * 4, 0);
    if (h.interlaced) {
      whole_.assign(static_cast<size_t>(h.width) * h.height * 4, 0);
      NextPass();
    } else {
      StartImage(h.width, h.height);
    }
  }

  // Takes inflated bytes; false once the data is damaged (the rest is lost).
  bool Feed(const uint8_t* data, size_t size) {
    while (size > 0 && !done_) {
      const size_t take = std::min(size, row_.size() - filled_);
      std::memcpy(row_.data() + filled_, data, take);
      filled_ += take;
      data += take;
      size -= take;
      if (filled_ == row_.size() && !RowComplete()) return false;
    }
    return true;
  }

  // Whether any row of pixels came at all.
  bool AnyRow() const { return anyRow_; }

  // Hands over every row: rows that never came are transparent.
  void Finish() {
    if (h_.interlaced) {
      for (uint32_t y = 0; y < h_.height; ++y)
        sink_.row(y, &whole_[static_cast<size_t>(y) * h_.width * 4]);
      return;
    }
    std::fill(rgba_.begin(), rgba_.end(), 0);
    for (; emitted_ < h_.height; ++emitted_) sink_.row(emitted_, rgba_.data());
  }

 private:
  void StartImage(uint32_t w, uint32_t rows) {
    passWidth_ = w;
    passRows_ = rows;
    passRow_ = 0;
    row_.assign(1 + h_.RowBytes(w), 0);
    above_.assign(row_.size() - 1, 0);
    filled_ = 0;
  }

  // Moves to the next interlace pass that has pixels; done after the last.
  void NextPass() {
    while (++pass_ < 7) {
      const int* p = kPass[pass_];
      const uint32_t w = h_.width > static_cast<uint32_t>(p[0])
                             ? (h_.width - p[0] + p[2] - 1) / p[2] : 0;
      const uint32_t rows = h_.height > static_cast<uint32_t>(p[1])
                                ? (h_.height - p[1] + p[3] - 1) / p[3] : 0;
      if (w && rows) {
        StartImage(w, rows);
        return;
      }
    }
    done_ = true;
  }

  bool RowComplete() {
    uint8_t* bytes = row_.data() + 1;
    if (!Unfilter(row_[0], bytes, above_.data(), above_.size(), step_)) return false;
    ToRgba(h_, pal_, bytes, passWidth_, rgba_.data());
    std::memcpy(above_.data(), bytes, above_.size());
    filled_ = 0;
    anyRow_ = true;
    if (!h_.interlaced) {
      sink_.row(emitted_++, rgba_.data());
      if (emitted_ == h_.height) done_ = true;
      return true;
    }
    const int* p = kPass[pass_];
    const size_t y = static_cast<size_t>(p[1]) + static_cast<size_t>(passRow_) * p[3];
    for (uint32_t x = 0; x < passWidth_; ++x) {
      const size_t at = (y * h_.width + p[0] + static_cast<size_t>(x) * p[2]) * 4;
      std::memcpy(&whole_[at], &rgba_[static_cast<size_t>(x) * 4], 4);
    }
    if (++passRow_ == passRows_) NextPass();
    return true;
  }

  const Header& h_;
  const Palette& pal_;
  const PictureSink& sink_;
  size_t step_;
  std::vector<uint8_t> row_, above_, rgba_, whole_;
  size_t filled_ = 0;
  uint32_t passWidth_ = 0, passRows_ = 0, passRow_ = 0, emitted_ = 0;
  int pass_ = -1;
  bool done_ = false, anyRow_ = false;
};

}  // namespace

bool ReadPngSize(const uint8_t* data, size_t size, uint32_t& width, uint32_t& height) {
  Header h;
  if (!ReadHeader(data, size, h)) return false;
  width = h.width;
  height = h.height;
  return true;
}

bool DecodePng(const uint8_t* data, size_t size, const PictureSink& sink) {
  Header h;
  if (!ReadHeader(data, size, h)) return false;
  if (h.interlaced && static_cast<uint64_t>(h.width) * h.height > kMaxInterlacedPixels) return false;
  if (!sink.begin || !sink.begin(h.width, h.height)) return false;
  Palette pal;
  for (auto& entry : pal.rgba) entry[3] = 255;
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return false;
  std::unique_ptr<Decoder> decoder;
  Chunks chunks(data, size);
  uint32_t type = 0, length = 0;
  const uint8_t* body = nullptr;
  std::vector<uint8_t> out(64 * 1024);
  bool ended = false, damaged = false;
  while (!ended && !damaged && chunks.Next(type, body, length)) {
    if (type == Tag("PLTE")) {
      for (uint32_t i = 0; i < std::min<uint32_t>(length / 3, 256); ++i) {
        std::memcpy(pal.rgba[i], body + 3 * i, 3);
        pal.rgba[i][3] = 255;
      }
    } else if (type == Tag("tRNS")) {
      if (h.colour == 3) {
        for (uint32_t i = 0; i < std::min<uint32_t>(length, 256); ++i) pal.rgba[i][3] = body[i];
      } else if (h.colour == 0 && length >= 2) {
        pal.hasKey = true;
        pal.key[0] = static_cast<uint16_t>(body[0] << 8 | body[1]);
      } else if (h.colour == 2 && length >= 6) {
        pal.hasKey = true;
        for (int c = 0; c < 3; ++c) pal.key[c] = static_cast<uint16_t>(body[2 * c] << 8 | body[2 * c + 1]);
      }
    } else if (type == Tag("IDAT")) {
      if (!decoder) decoder = std::make_unique<Decoder>(h, pal, sink);
      z.next_in = const_cast<Bytef*>(body);
      z.avail_in = length;
      while (z.avail_in > 0 && !ended && !damaged) {
        z.next_out = out.data();
        z.avail_out = static_cast<uInt>(out.size());
        const int status = inflate(&z, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) damaged = true;
        if (!decoder->Feed(out.data(), out.size() - z.avail_out)) damaged = true;
        if (status == Z_STREAM_END) ended = true;
        if (status == Z_BUF_ERROR && z.avail_out != 0) break;
      }
    } else if (type == Tag("IEND")) {
      break;
    }
  }
  inflateEnd(&z);
  if (!decoder || !decoder->AnyRow()) return false;  // no picture data at all
  decoder->Finish();
  return true;
}

}  // namespace velmora
