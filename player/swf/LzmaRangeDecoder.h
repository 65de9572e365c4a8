#pragma once

#include <cstddef>
#include <cstdint>

namespace velmora {
namespace swf {

// Adaptive probabilities are 11-bit fixed point chances of a zero bit.
using LzmaProb = uint16_t;
constexpr unsigned kLzmaProbBits = 11;
constexpr LzmaProb kLzmaProbInit = (1u << kLzmaProbBits) / 2;

// Binary range decoder over a bounded buffer. Running out of input does not
// stop it at once: it feeds zeros and raises `overrun`, and the caller drops
// whatever symbol needed the missing bytes.
class LzmaRangeDecoder {
 public:
  LzmaRangeDecoder(const uint8_t* src, size_t size) : next_(src), end_(src + size) {}

  // The first byte is always zero and the next four prime the code.
  bool Init() {
    if (end_ - next_ < 5) {
      overrun_ = true;
      return false;
    }
    if (next_[0] != 0) return false;
    ++next_;
    for (int i = 0; i < 4; ++i) code_ = (code_ << 8) | *next_++;
    // code_ must stay below range_; that holds from here on by construction.
    return code_ != range_;
  }

  bool overrun() const { return overrun_; }

  unsigned Bit(LzmaProb& prob) {
    Normalize();
    const uint32_t bound = (range_ >> kLzmaProbBits) * prob;
    if (code_ < bound) {
      range_ = bound;
      prob = static_cast<LzmaProb>(prob + (((1u << kLzmaProbBits) - prob) >> kMoveBits));
      return 0;
    }
    range_ -= bound;
    code_ -= bound;
    prob = static_cast<LzmaProb>(prob - (prob >> kMoveBits));
    return 1;
  }

  // Equiprobable bits, most significant first.
  uint32_t DirectBits(unsigned count) {
    uint32_t value = 0;
    while (count--) {
      Normalize();
      range_ >>= 1;
      const uint32_t bit = code_ >= range_ ? 1u : 0u;
      if (bit) code_ -= range_;
      value = (value << 1) | bit;
    }
    return value;
  }

  // A binary tree of 2^bits probabilities, root at index 1, MSB first.
  uint32_t Tree(LzmaProb* probs, unsigned bits) {
    uint32_t node = 1;
    for (unsigned i = 0; i < bits; ++i) node = (node << 1) | Bit(probs[node]);
    return node - (1u << bits);
  }

  // Same tree walked from the least significant bit.
  uint32_t ReverseTree(LzmaProb* probs, unsigned bits) {
    uint32_t node = 1;
    uint32_t value = 0;
    for (unsigned i = 0; i < bits; ++i) {
      const unsigned bit = Bit(probs[node]);
      node = (node << 1) | bit;
      value |= bit << i;
    }
    return value;
  }

 private:
  static constexpr unsigned kMoveBits = 5;
  static constexpr uint32_t kTop = 1u << 24;

  // Widening before each bit, not after, means a byte is only fetched when
  // the bit needs it, so an overrun always marks really missing data.
  void Normalize() {
    if (range_ >= kTop) return;
    range_ <<= 8;
    code_ <<= 8;
    if (next_ != end_)
      code_ |= *next_++;
    else
      overrun_ = true;
  }

  const uint8_t* next_;
  const uint8_t* end_;
  uint32_t range_ = 0xFFFFFFFFu;
  uint32_t code_ = 0;
  bool overrun_ = false;
};

}  // namespace swf
}  // namespace velmora
