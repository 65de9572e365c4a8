#include "pictures/GifDecoder.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace velmora {
namespace {

// Interlaced frames are put together whole first: their size is limited.
constexpr uint64_t kMaxInterlacedPixels = uint64_t{16} << 20;

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// The LZW codes of the frame's data sub-blocks, decoded into colour indexes.
class Lzw {
 public:
  Lzw(const uint8_t* data, size_t size, size_t pos, int minimumSize)
      : data_(data), size_(size), pos_(pos), minimum_(minimumSize) {
    clear_ = 1 << minimum_;
    Reset();
  }

  // The next index; -1 at the end of the data or at a damaged code.
  int Next() {
    while (stackSize_ == 0) {
      const int code = ReadCode();
      if (code < 0 || code == clear_ + 1) return -1;
      if (code == clear_) {
        Reset();
        continue;
      }
      if (previous_ < 0) {  // the first code after a clear is a colour
        if (code >= clear_) return -1;
        previous_ = code;
        first_ = static_cast<uint8_t>(code);
        return code;
      }
      int current = code;
      if (code > next_) return -1;
      if (code == next_) {  // the code being defined: previous string plus its first
        stack_[stackSize_++] = first_;
        current = previous_;
      }
      while (current >= clear_) {
        if (stackSize_ >= 4096) return -1;
        stack_[stackSize_++] = suffix_[current];
        current = prefix_[current];
      }
      first_ = static_cast<uint8_t>(current);
      stack_[stackSize_++] = first_;
      if (next_ < 4096) {
        prefix_[next_] = static_cast<uint16_t>(previous_);
        suffix_[next_] = first_;
        ++next_;
        if (next_ == (1 << codeSize_) && codeSize_ < 12) ++codeSize_;
      }
      previous_ = code;
    }
    return stack_[--stackSize_];
  }

 private:
  void Reset() {
    codeSize_ = minimum_ + 1;
    next_ = clear_ + 2;
    previous_ = -1;
  }

  int ReadCode() {
    while (bits_ < codeSize_) {
      if (blockLeft_ == 0) {
        if (pos_ >= size_ || data_[pos_] == 0) return -1;
        blockLeft_ = data_[pos_++];
      }
      if (pos_ >= size_) return -1;
      buffer_ |= static_cast<uint32_t>(data_[pos_++]) << bits_;
      bits_ += 8;
      --blockLeft_;
    }
    const int code = static_cast<int>(buffer_ & ((1u << codeSize_) - 1));
    buffer_ >>= codeSize_;
    bits_ -= codeSize_;
    return code;
  }

  const uint8_t* data_;
  size_t size_, pos_;
  int minimum_, clear_ = 0, codeSize_ = 0, next_ = 0, previous_ = -1;
  uint8_t first_ = 0;
  uint16_t prefix_[4096] = {};
  uint8_t suffix_[4096] = {};
  uint8_t stack_[4097] = {};
  int stackSize_ = 0;
  uint32_t buffer_ = 0;
  int bits_ = 0;
  int blockLeft_ = 0;
};

// Skips data sub-blocks from `pos`; the position after the terminator.
size_t SkipBlocks(const uint8_t* data, size_t size, size_t pos) {
  while (pos < size && data[pos] != 0) pos += 1 + static_cast<size_t>(data[pos]);
  return std::min(size, pos + 1);
}

}  // namespace

bool ReadGifSize(const uint8_t* data, size_t size, uint32_t& width, uint32_t& height) {
  if (!data || size < 13 || (std::memcmp(data, "GIF87a", 6) != 0 && std::memcmp(data, "GIF89a", 6) != 0))
    return false;
  width = Le16(data + 6);
  height = Le16(data + 8);
  return width > 0 && height > 0;
}

bool DecodeGif(const uint8_t* data, size_t size, const PictureSink& sink) {
  uint32_t width = 0, height = 0;
  if (!ReadGifSize(data, size, width, height)) return false;
  uint8_t colours[256][4] = {};
  size_t pos = 13;
  if (data[10] & 0x80) {
    const size_t count = size_t{2} << (data[10] & 7);
    if (pos + 3 * count > size) return false;
    for (size_t i = 0; i < count; ++i) {
      std::memcpy(colours[i], data + pos + 3 * i, 3);
      colours[i][3] = 255;
    }
    pos += 3 * count;
  }
  int transparent = -1;
  while (pos < size) {
    const uint8_t introducer = data[pos++];
    if (introducer == 0x21) {  // extension
      if (pos + 1 > size) return false;
      const uint8_t label = data[pos++];
      if (label == 0xF9 && pos + 5 <= size && data[pos] >= 4 && (data[pos + 1] & 1))
        transparent = data[pos + 4];
      pos = SkipBlocks(data, size, pos);
      continue;
    }
    if (introducer != 0x2C || pos + 9 > size) return false;  // the end, or damage, before a frame
    const uint32_t left = Le16(data + pos), top = Le16(data + pos + 2);
    const uint32_t w = Le16(data + pos + 4), h = Le16(data + pos + 6);
    const uint8_t flags = data[pos + 8];
    pos += 9;
    if (flags & 0x80) {
      const size_t count = size_t{2} << (flags & 7);
      if (pos + 3 * count > size) return false;
      for (size_t i = 0; i < 256; ++i) colours[i][3] = 0;
      for (size_t i = 0; i < count; ++i) {
        std::memcpy(colours[i], data + pos + 3 * i, 3);
        colours[i][3] = 255;
      }
      pos += 3 * count;
    }
    if (transparent >= 0) colours[transparent][3] = 0;
    // Colour indexes must stay below 256: code sizes above 8 are refused.
    if (pos >= size || data[pos] < 1 || data[pos] > 8) return false;
    const bool interlaced = (flags & 0x40) != 0;
    if (interlaced && static_cast<uint64_t>(w) * h > kMaxInterlacedPixels) return false;
    if (!sink.begin || !sink.begin(width, height)) return false;
    Lzw lzw(data, size, pos + 1, data[pos]);
    // The frame's rows in the order the data holds them.
    std::vector<uint32_t> order;
    order.reserve(h);
    if (interlaced) {
      for (const auto& pass : {std::pair{0u, 8u}, {4u, 8u}, {2u, 4u}, {1u, 2u}})
        for (uint32_t y = pass.first; y < h; y += pass.second) order.push_back(y);
    } else {
      for (uint32_t y = 0; y < h; ++y) order.push_back(y);
    }
    // Interlaced frames are put together whole (one byte a pixel) first.
    std::vector<int16_t> indexes(interlaced ? static_cast<size_t>(w) * h : w, -1);
    std::vector<uint8_t> row(static_cast<size_t>(width) * 4);
    auto emit = [&](uint32_t y, const int16_t* frameRow) {
      std::fill(row.begin(), row.end(), 0);
      if (frameRow && y >= top && y - top < h)
        for (uint32_t x = 0; x < w && left + x < width; ++x)
          if (frameRow[x] >= 0) std::memcpy(&row[4 * (left + x)], colours[frameRow[x]], 4);
      sink.row(y, row.data());
    };
    uint32_t emitted = 0;
    bool ended = false;
    if (w == 0 || h == 0) return false;
    for (uint32_t i = 0; i < h && !ended; ++i) {
      int16_t* target = interlaced ? &indexes[static_cast<size_t>(order[i]) * w] : indexes.data();
      for (uint32_t x = 0; x < w; ++x) {
        const int index = ended ? -1 : lzw.Next();
        if (index < 0) ended = true;
        if (index < 0 && i == 0 && x == 0) return false;  // no pixel at all
        target[x] = static_cast<int16_t>(index);
      }
      if (!interlaced) {
        const uint32_t y = top + i;
        for (; emitted < y && emitted < height; ++emitted) emit(emitted, nullptr);
        if (y < height) emit(emitted++, indexes.data());
      }
    }
    if (interlaced) {
      for (; emitted < height; ++emitted)
        emit(emitted, emitted >= top && emitted - top < h ? &indexes[static_cast<size_t>(emitted - top) * w] : nullptr);
    }
    for (; emitted < height; ++emitted) emit(emitted, nullptr);
    return true;
  }
  return false;
}

}  // namespace velmora
