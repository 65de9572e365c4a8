#include "player/swf/BitReader.h"

#include <cstring>

namespace velmora::swf {

uint8_t BitReader::U8() {
  Align();
  if (pos_ >= size_) {
    ok_ = false;
    return 0;
  }
  return data_[pos_++];
}

uint16_t BitReader::U16() {
  uint16_t lo = U8();
  return static_cast<uint16_t>(lo | (U8() << 8));
}

uint32_t BitReader::U32() {
  uint32_t lo = U16();
  return lo | (static_cast<uint32_t>(U16()) << 16);
}

float BitReader::Float() {
  uint32_t bits = U32();
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

double BitReader::Double() {
  uint64_t high = U32();
  uint64_t low = U32();
  uint64_t bits = (high << 32) | low;
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

std::string BitReader::String() {
  Align();
  std::string out;
  while (pos_ < size_ && data_[pos_] != 0) out.push_back(static_cast<char>(data_[pos_++]));
  if (pos_ < size_)
    ++pos_;
  else
    ok_ = false;
  return out;
}

void BitReader::Skip(size_t count) {
  Align();
  if (count > Remaining()) {
    pos_ = size_;
    ok_ = false;
    return;
  }
  pos_ += count;
}

uint32_t BitReader::Bits(unsigned count) {
  uint32_t value = 0;
  for (unsigned i = 0; i < count; ++i) {
    if (bitCount_ == 0) {
      if (pos_ >= size_) {
        ok_ = false;
        return 0;
      }
      bitBuffer_ = data_[pos_++];
      bitCount_ = 8;
    }
    --bitCount_;
    // Fields wider than 32 bits only keep their low bits; the format never
    // writes them, but a damaged file may ask for up to 31 + a few.
    value = (value << 1) | ((bitBuffer_ >> bitCount_) & 1u);
  }
  return value;
}

int32_t BitReader::SignedBits(unsigned count) {
  if (count == 0) return 0;
  uint32_t raw = Bits(count);
  if (count >= 32) return static_cast<int32_t>(raw);
  uint32_t sign = 1u << (count - 1);
  return static_cast<int32_t>((raw ^ sign) - sign);
}

Rect BitReader::ReadRect() {
  Align();
  unsigned bits = Bits(5);
  Rect r;
  r.xMin = SignedBits(bits);
  r.xMax = SignedBits(bits);
  r.yMin = SignedBits(bits);
  r.yMax = SignedBits(bits);
  Align();
  return r;
}

Matrix BitReader::ReadMatrix() {
  Align();
  Matrix m;
  if (Flag()) {
    unsigned bits = Bits(5);
    m.a = FixedBits(bits);
    m.d = FixedBits(bits);
  }
  if (Flag()) {
    unsigned bits = Bits(5);
    m.b = FixedBits(bits);
    m.c = FixedBits(bits);
  }
  unsigned bits = Bits(5);
  m.tx = SignedBits(bits);
  m.ty = SignedBits(bits);
  Align();
  return m;
}

ColorTransform BitReader::ReadColorTransform(bool withAlpha) {
  Align();
  ColorTransform cx;
  bool hasAdd = Flag();
  bool hasMult = Flag();
  unsigned bits = Bits(4);
  if (hasMult) {
    cx.rMult = SignedBits(bits);
    cx.gMult = SignedBits(bits);
    cx.bMult = SignedBits(bits);
    if (withAlpha) cx.aMult = SignedBits(bits);
  }
  if (hasAdd) {
    cx.rAdd = SignedBits(bits);
    cx.gAdd = SignedBits(bits);
    cx.bAdd = SignedBits(bits);
    if (withAlpha) cx.aAdd = SignedBits(bits);
  }
  Align();
  return cx;
}

Rgba BitReader::ReadRgb() {
  Rgba c;
  c.r = U8();
  c.g = U8();
  c.b = U8();
  return c;
}

Rgba BitReader::ReadRgba() {
  Rgba c = ReadRgb();
  c.a = U8();
  return c;
}

Rgba BitReader::ReadArgb() {
  Rgba c;
  c.a = U8();
  c.r = U8();
  c.g = U8();
  c.b = U8();
  return c;
}

}  // namespace velmora::swf
