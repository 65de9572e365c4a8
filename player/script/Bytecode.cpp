#include "player/script/Bytecode.h"

#include <cstring>

namespace velmora::avm1 {

bool ActionReader::ReadAt(size_t offset, ActionRecord& record) const {
  if (offset >= size_) return false;
  record.code = data_[offset];
  record.offset = offset;
  if (record.code == static_cast<uint8_t>(Op::End)) return false;
  if (record.code < 0x80) {
    record.payloadOffset = offset + 1;
    record.length = 0;
    return true;
  }
  if (size_ - offset < 3) return false;
  record.length = data_[offset + 1] | (data_[offset + 2] << 8);
  record.payloadOffset = offset + 3;
  return record.length <= size_ - record.payloadOffset;
}

uint8_t PayloadReader::U8() {
  if (pos_ >= size_) {
    ok_ = false;
    return 0;
  }
  return data_[pos_++];
}

uint16_t PayloadReader::U16() {
  uint16_t low = U8();
  return static_cast<uint16_t>(low | (U8() << 8));
}

uint32_t PayloadReader::U32() {
  uint32_t low = U16();
  return low | (static_cast<uint32_t>(U16()) << 16);
}

float PayloadReader::F32() {
  uint32_t bits = U32();
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

double PayloadReader::F64() {
  uint64_t high = U32();
  uint64_t bits = (high << 32) | U32();
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

std::string PayloadReader::String() {
  size_t start = pos_;
  while (pos_ < size_ && data_[pos_] != 0) ++pos_;
  std::string text(reinterpret_cast<const char*>(data_ + start), pos_ - start);
  if (pos_ < size_) {
    ++pos_;
  } else {
    ok_ = false;
  }
  return text;
}

}  // namespace velmora::avm1
