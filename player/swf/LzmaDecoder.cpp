#include "player/swf/LzmaDecoder.h"

#include "player/swf/LzmaRangeDecoder.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace velmora {
namespace swf {
namespace {

constexpr unsigned kStates = 12;
constexpr unsigned kLiteralStates = 7;  // states below this follow a literal
constexpr unsigned kMaxPosBits = 4;
constexpr unsigned kMaxPosStates = 1u << kMaxPosBits;
constexpr unsigned kMinMatch = 2;
constexpr unsigned kDistanceLenStates = 4;
constexpr unsigned kSlotBits = 6;
constexpr unsigned kFirstTreeSlot = 4;   // slots below are the distance itself
constexpr unsigned kFirstDirectSlot = 14;
constexpr unsigned kFullDistances = 1u << (kFirstDirectSlot / 2);
constexpr unsigned kAlignBits = 4;
constexpr unsigned kLiteralCoderSize = 0x300;
constexpr uint32_t kEndMarker = 0xFFFFFFFFu;
// Decoders treat smaller dictionaries as this size; encoders may rely on it.
constexpr uint32_t kMinDictionary = 1u << 12;

void SetError(std::string* error, const char* text) {
  if (error) *error = text;
}

// Short (3 bits), medium (3 bits) and long (8 bits) ranges, the short and
// medium ones conditioned on the position.
struct LengthModel {
  LzmaProb choice = kLzmaProbInit;
  LzmaProb choice2 = kLzmaProbInit;
  LzmaProb low[kMaxPosStates][1u << 3];
  LzmaProb mid[kMaxPosStates][1u << 3];
  LzmaProb high[1u << 8];

  LengthModel() {
    std::fill(&low[0][0], &low[0][0] + sizeof low / sizeof(LzmaProb), kLzmaProbInit);
    std::fill(&mid[0][0], &mid[0][0] + sizeof mid / sizeof(LzmaProb), kLzmaProbInit);
    std::fill(high, high + sizeof high / sizeof(LzmaProb), kLzmaProbInit);
  }

  // Match length minus kMinMatch, 0..271.
  unsigned Decode(LzmaRangeDecoder& rc, unsigned posState) {
    if (!rc.Bit(choice)) return rc.Tree(low[posState], 3);
    if (!rc.Bit(choice2)) return 8 + rc.Tree(mid[posState], 3);
    return 16 + rc.Tree(high, 8);
  }
};

struct Properties {
  unsigned lc = 0;
  unsigned lp = 0;
  unsigned pb = 0;
  uint32_t dictionary = 0;
};

bool ReadProperties(const uint8_t* props, size_t size, Properties& p, std::string* error) {
  if (!props || size < 5) {
    SetError(error, "LZMA properties are missing");
    return false;
  }
  unsigned d = props[0];
  if (d >= 9 * 5 * 5) {
    SetError(error, "LZMA properties are invalid");
    return false;
  }
  p.lc = d % 9;
  d /= 9;
  p.lp = d % 5;
  p.pb = d / 5;
  p.dictionary = static_cast<uint32_t>(props[1]) | static_cast<uint32_t>(props[2]) << 8 |
                 static_cast<uint32_t>(props[3]) << 16 | static_cast<uint32_t>(props[4]) << 24;
  p.dictionary = std::max(p.dictionary, kMinDictionary);
  return true;
}

class Decoder {
 public:
  Decoder(const Properties& p, const uint8_t* src, size_t srcSize)
      : props_(p), rc_(src, srcSize), literals_(kLiteralCoderSize << (p.lc + p.lp), kLzmaProbInit) {
    std::fill(std::begin(isMatch_), std::end(isMatch_), kLzmaProbInit);
    std::fill(std::begin(isRep_), std::end(isRep_), kLzmaProbInit);
    std::fill(std::begin(isRepG0_), std::end(isRepG0_), kLzmaProbInit);
    std::fill(std::begin(isRepG1_), std::end(isRepG1_), kLzmaProbInit);
    std::fill(std::begin(isRepG2_), std::end(isRepG2_), kLzmaProbInit);
    std::fill(std::begin(isRep0Long_), std::end(isRep0Long_), kLzmaProbInit);
    std::fill(&slots_[0][0], &slots_[0][0] + sizeof slots_ / sizeof(LzmaProb), kLzmaProbInit);
    std::fill(std::begin(treeDistances_), std::end(treeDistances_), kLzmaProbInit);
    std::fill(std::begin(align_), std::end(align_), kLzmaProbInit);
  }

  // Writes into out[0, limit); returns the count written through `produced`.
  bool Run(uint8_t* out, size_t limit, size_t& produced, std::string* error);

 private:
  uint8_t DecodeLiteral(const uint8_t* out, size_t pos);
  uint32_t DecodeDistance(unsigned len);

  Properties props_;
  LzmaRangeDecoder rc_;
  std::vector<LzmaProb> literals_;
  LzmaProb isMatch_[kStates << kMaxPosBits];
  LzmaProb isRep_[kStates];
  LzmaProb isRepG0_[kStates];
  LzmaProb isRepG1_[kStates];
  LzmaProb isRepG2_[kStates];
  LzmaProb isRep0Long_[kStates << kMaxPosBits];
  LzmaProb slots_[kDistanceLenStates][1u << kSlotBits];
  // Each slot's reverse tree starts at distance - slot; trees index from 1.
  LzmaProb treeDistances_[1 + kFullDistances - kFirstDirectSlot];
  LzmaProb align_[1u << kAlignBits];
  LengthModel matchLen_;
  LengthModel repLen_;
  unsigned state_ = 0;
  uint32_t rep_[4] = {0, 0, 0, 0};
};

uint8_t Decoder::DecodeLiteral(const uint8_t* out, size_t pos) {
  const unsigned prev = pos ? out[pos - 1] : 0;
  const size_t context = ((pos & ((1u << props_.lp) - 1)) << props_.lc) + (prev >> (8 - props_.lc));
  LzmaProb* probs = &literals_[kLiteralCoderSize * context];
  unsigned symbol = 1;
  if (state_ >= kLiteralStates) {
    // After a match the byte at rep0 predicts this one until they differ.
    unsigned match = out[pos - rep_[0] - 1];
    do {
      const unsigned matchBit = (match >> 7) & 1;
      match <<= 1;
      const unsigned bit = rc_.Bit(probs[0x100 + (matchBit << 8) + symbol]);
      symbol = (symbol << 1) | bit;
      if (bit != matchBit) break;
    } while (symbol < 0x100);
  }
  while (symbol < 0x100) symbol = (symbol << 1) | rc_.Bit(probs[symbol]);
  return static_cast<uint8_t>(symbol);
}

uint32_t Decoder::DecodeDistance(unsigned len) {
  const unsigned lenState = std::min(len, kDistanceLenStates - 1);
  const unsigned slot = rc_.Tree(slots_[lenState], kSlotBits);
  if (slot < kFirstTreeSlot) return slot;
  const unsigned footerBits = (slot >> 1) - 1;
  uint32_t distance = (2u | (slot & 1u)) << footerBits;
  if (slot < kFirstDirectSlot)
    return distance + rc_.ReverseTree(&treeDistances_[distance - slot], footerBits);
  distance += rc_.DirectBits(footerBits - kAlignBits) << kAlignBits;
  return distance + rc_.ReverseTree(align_, kAlignBits);
}

bool Decoder::Run(uint8_t* out, size_t limit, size_t& produced, std::string* error) {
  produced = 0;
  if (!rc_.Init()) {
    SetError(error, rc_.overrun() ? "LZMA data is truncated" : "LZMA data is corrupt");
    return false;
  }
  const uint32_t posMask = (1u << props_.pb) - 1;
  size_t pos = 0;
  while (pos < limit) {
    const unsigned posState = static_cast<unsigned>(pos & posMask);
    if (!rc_.Bit(isMatch_[(state_ << kMaxPosBits) + posState])) {
      const uint8_t byte = DecodeLiteral(out, pos);
      if (rc_.overrun()) break;
      out[pos++] = byte;
      state_ = state_ < 4 ? 0 : state_ < 10 ? state_ - 3 : state_ - 6;
      continue;
    }

    unsigned len;
    if (rc_.Bit(isRep_[state_])) {
      if (pos == 0) {
        SetError(error, "LZMA data repeats before any output");
        produced = pos;
        return false;
      }
      if (!rc_.Bit(isRepG0_[state_])) {
        if (!rc_.Bit(isRep0Long_[(state_ << kMaxPosBits) + posState])) {
          // One byte from rep0; every rep distance was checked when it was set.
          if (rc_.overrun()) break;
          state_ = state_ < kLiteralStates ? 9 : 11;
          out[pos] = out[pos - rep_[0] - 1];
          ++pos;
          continue;
        }
      } else {
        uint32_t distance;
        if (!rc_.Bit(isRepG1_[state_])) {
          distance = rep_[1];
        } else {
          if (!rc_.Bit(isRepG2_[state_])) {
            distance = rep_[2];
          } else {
            distance = rep_[3];
            rep_[3] = rep_[2];
          }
          rep_[2] = rep_[1];
        }
        rep_[1] = rep_[0];
        rep_[0] = distance;
      }
      len = repLen_.Decode(rc_, posState);
      state_ = state_ < kLiteralStates ? 8 : 11;
    } else {
      rep_[3] = rep_[2];
      rep_[2] = rep_[1];
      rep_[1] = rep_[0];
      len = matchLen_.Decode(rc_, posState);
      state_ = state_ < kLiteralStates ? 7 : 10;
      rep_[0] = DecodeDistance(len);
      if (rc_.overrun()) break;
      if (rep_[0] == kEndMarker) {
        produced = pos;
        return true;
      }
      if (rep_[0] >= pos || rep_[0] >= props_.dictionary) {
        SetError(error, "LZMA data refers back beyond its output");
        produced = pos;
        return false;
      }
    }
    if (rc_.overrun()) break;

    size_t count = len + kMinMatch;
    const bool clipped = count > limit - pos;
    if (clipped) count = limit - pos;
    const size_t from = pos - rep_[0] - 1;
    if (rep_[0] + 1 >= count) {
      std::memcpy(out + pos, out + from, count);
    } else {
      // Overlapping copy: the match repeats bytes it is producing.
      for (size_t i = 0; i < count; ++i) out[pos + i] = out[from + i];
    }
    pos += count;
    if (clipped) {
      SetError(error, "LZMA data runs past the expected size");
      produced = pos;
      return false;
    }
  }
  produced = pos;
  if (rc_.overrun()) {
    SetError(error, "LZMA data is truncated");
    return false;
  }
  return true;
}

uint32_t ReadLittleEndian32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

bool LzmaDecode(const uint8_t* props, size_t propsSize, const uint8_t* src, size_t srcSize,
                size_t expectedSize, std::vector<uint8_t>& out, std::string* error) {
  out.clear();
  Properties p;
  if (!ReadProperties(props, propsSize, p, error)) return false;
  if (!src) srcSize = 0;
  try {
    // The decoder reads its history straight from the output, so the output
    // is one buffer. It starts at a size the input can plausibly fill, so a
    // few damaged bytes that promise 256 MiB take no such memory; a stream
    // that fills it is decoded again into a buffer four times larger.
    size_t limit = std::min(expectedSize, std::max<size_t>(size_t{1} << 20, srcSize * 64));
    for (;;) {
      out.resize(limit);
      auto decoder = std::make_unique<Decoder>(p, src, srcSize);
      size_t produced = 0;
      std::string attemptError;
      const bool ok = decoder->Run(out.data(), limit, produced, &attemptError);
      if (produced == limit && limit < expectedSize) {
        limit = limit > expectedSize / 4 ? expectedSize : limit * 4;
        continue;
      }
      if (!ok) SetError(error, attemptError.c_str());
      out.resize(produced);
      // A header that promised far more than the data held should not pin it.
      if (produced < limit / 2) out.shrink_to_fit();
      return ok;
    }
  } catch (const std::exception&) {  // bad_alloc, or length_error past max_size()
    out.clear();
    out.shrink_to_fit();
    SetError(error, "not enough memory for the LZMA output");
    return false;
  }
}

bool DecodeZwsBody(const uint8_t* file, size_t fileSize, std::vector<uint8_t>& body,
                   std::string* error) {
  // "ZWS", version, uncompressed file length, compressed length, properties.
  constexpr size_t kHeaderSize = 3 + 1 + 4 + 4 + 5;
  constexpr size_t kPlainHeaderSize = 8;
  body.clear();
  if (!file || fileSize < kHeaderSize || std::memcmp(file, "ZWS", 3) != 0) {
    SetError(error, "not a ZWS file");
    return false;
  }
  const uint32_t fileLength = ReadLittleEndian32(file + 4);
  if (fileLength < kPlainHeaderSize || fileLength > kMaxZwsFileLength) {
    SetError(error, "ZWS file length is out of range");
    return false;
  }
  // Writers disagree on whether the compressed length counts the property
  // bytes, so the stream is taken to run to the end of the file; the decoder
  // stops at the expected size anyway.
  return LzmaDecode(file + 12, 5, file + kHeaderSize, fileSize - kHeaderSize,
                    fileLength - kPlainHeaderSize, body, error);
}

}  // namespace swf
}  // namespace velmora
