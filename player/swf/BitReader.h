// Reads the movie format's bytes and bit fields from a bounded buffer. Reading
// past the end never touches memory outside the buffer: it yields zeros and
// marks the reader as failed, so a parser checks `Ok()` once per record.
#pragma once

#include "player/swf/SwfTypes.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace velmora::swf {

class BitReader {
 public:
  BitReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool Ok() const { return ok_; }
  size_t Position() const { return pos_; }
  size_t Size() const { return size_; }
  size_t Remaining() const { return pos_ < size_ ? size_ - pos_ : 0; }
  const uint8_t* Data() const { return data_; }
  const uint8_t* Current() const { return data_ + (pos_ < size_ ? pos_ : size_); }
  void Fail() { ok_ = false; }

  // Byte fields start at the next whole byte.
  void Align() { bitCount_ = 0; }
  uint8_t U8();
  uint16_t U16();
  uint32_t U32();
  int16_t S16() { return static_cast<int16_t>(U16()); }
  float Float();
  double Double();  // the action format's word-swapped double
  // 8.8 and 16.16 fixed-point numbers.
  double Fixed8() { return S16() / 256.0; }
  double Fixed16() { return static_cast<int32_t>(U32()) / 65536.0; }
  // Null-terminated; stops at the end of the buffer.
  std::string String();
  // Skips `count` bytes, failing when fewer remain.
  void Skip(size_t count);

  uint32_t Bits(unsigned count);
  int32_t SignedBits(unsigned count);
  double FixedBits(unsigned count) { return SignedBits(count) / 65536.0; }
  bool Flag() { return Bits(1) != 0; }

  Rect ReadRect();
  Matrix ReadMatrix();
  ColorTransform ReadColorTransform(bool withAlpha);
  Rgba ReadRgb();
  Rgba ReadRgba();
  Rgba ReadArgb();

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  uint32_t bitBuffer_ = 0;
  unsigned bitCount_ = 0;
  bool ok_ = true;
};

}  // namespace velmora::swf
