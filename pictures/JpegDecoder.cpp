#include "pictures/JpegDecoder.h"

#include "pictures/JpegIdct.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace velmora {
namespace {

// Natural (row-major) position of each zig-zag index.
constexpr uint8_t kNatural[64] = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// How many zig-zag coefficients a block needs to be decoded at n x n pixels:
// those whose row and column are both below n.
int CoefficientsFor(int n) {
  int count = 0;
  for (int k = 0; k < 64; ++k)
    if (kNatural[k] / 8 < n && kNatural[k] % 8 < n) count = k + 1;
  return count;
}

// Coefficient memory a picture may take (progressive pictures and
// sequential ones in several scans keep every block until the end).
constexpr uint64_t kMaxCoefficientBytes = uint64_t{192} << 20;

class Huffman {
 public:
  // `counts[l]` codes of length l + 1, then their symbols. False when the
  // lengths do not make a prefix code.
  bool Build(const uint8_t counts[16], const uint8_t* symbols, int total) {
    std::memset(fast_, 0, sizeof fast_);
    int code = 0, index = 0;
    for (int length = 1; length <= 16; ++length) {
      const int n = counts[length - 1];
      if (code + n > (1 << length)) return false;
      offset_[length] = index - code;
      for (int i = 0; i < n; ++i, ++code, ++index) {
        if (length <= kFastBits) {
          const int shift = kFastBits - length;
          for (int fill = 0; fill < (1 << shift); ++fill)
            fast_[(code << shift) | fill] = static_cast<uint16_t>((length << 8) | symbols[index]);
        }
      }
      limit_[length] = code;  // codes of this length are below it
      code <<= 1;
    }
    std::memcpy(symbols_, symbols, static_cast<size_t>(total));
    defined_ = true;
    return true;
  }
  bool Defined() const { return defined_; }

  // Decodes from the top 16 bits of `peek`; the code's length in `length`,
  // 0 when no code matches.
  int Decode(uint32_t peek16, int& length) const {
    const uint16_t entry = fast_[peek16 >> (16 - kFastBits)];
    if (entry) {
      length = entry >> 8;
      return entry & 0xFF;
    }
    for (int l = kFastBits + 1; l <= 16; ++l) {
      const int code = static_cast<int>(peek16 >> (16 - l));
      if (code < limit_[l]) {
        const int index = code + offset_[l];
        if (index < 0 || index > 255) break;
        length = l;
        return symbols_[index];
      }
    }
    length = 0;
    return 0;
  }

 private:
  static constexpr int kFastBits = 9;
  uint16_t fast_[1 << kFastBits];  // (length << 8) | symbol, 0 when longer
  int limit_[17] = {};
  int offset_[17] = {};
  uint8_t symbols_[256] = {};
  bool defined_ = false;
};

// Reads the entropy-coded data of a scan: stuffed zero bytes removed, a
// marker or the end of the data read as zero bits.
class BitReader {
 public:
  BitReader(const uint8_t* data, size_t size, size_t pos) : data_(data), size_(size), pos_(pos) {}

  uint32_t Peek16() {
    Fill();
    return buffer_ >> 16;
  }
  int Bits(int n) {  // n in 0..16
    if (n == 0) return 0;
    Fill();
    const int value = static_cast<int>(buffer_ >> (32 - n));
    Consume(n);
    return value;
  }
  int Bit() { return Bits(1); }
  // A value of `n` bits in the JPEG's signed form.
  int Extend(int n) {
    if (n == 0) return 0;
    if (n > 16) n = 16;
    const int v = Bits(n);
    return v < (1 << (n - 1)) ? v - (1 << n) + 1 : v;
  }
  void Consume(int n) {
    buffer_ <<= n;
    bits_ -= n;
    // Bits beyond the real data are padding; reading them means the data
    // ran out.
    const int real = bits_ - padding_;
    if (real < 0) {
      consumedPadding_ += -real;
      padding_ = bits_;
    }
  }
  // True once decoding has gone well past the real data.
  bool Exhausted() const { return consumedPadding_ > 64; }

  // At a restart: the next marker, when it is a restart marker, is passed
  // and the bit buffer emptied.
  void Restart() {
    buffer_ = 0;
    bits_ = padding_ = 0;
    consumedPadding_ = 0;
    if (!atMarker_) {
      // Damaged data: look for the restart marker ahead.
      while (pos_ + 1 < size_ && !(data_[pos_] == 0xFF && data_[pos_ + 1] >= 0xD0 &&
                                   data_[pos_ + 1] <= 0xD7))
        ++pos_;
      if (pos_ + 1 >= size_) return;
      atMarker_ = true;
    }
    if (data_[pos_ + 1] >= 0xD0 && data_[pos_ + 1] <= 0xD7) {
      pos_ += 2;
      atMarker_ = false;
    }
  }
  // Where the data after the scan starts: the next marker.
  size_t End() {
    if (atMarker_) return pos_;
    while (pos_ + 1 < size_ &&
           !(data_[pos_] == 0xFF && data_[pos_ + 1] != 0x00 &&
             !(data_[pos_ + 1] >= 0xD0 && data_[pos_ + 1] <= 0xD7)))
      ++pos_;
    return pos_;
  }

 private:
  void Fill() {
    while (bits_ <= 24) {
      uint32_t byte = 0;
      if (!atMarker_ && pos_ < size_) {
        byte = data_[pos_];
        if (byte == 0xFF) {
          const uint8_t next = pos_ + 1 < size_ ? data_[pos_ + 1] : 0xD9;
          if (next == 0x00) {
            pos_ += 2;
          } else if (next == 0xFF) {
            ++pos_;  // fill bytes before a marker
            continue;
          } else {
            atMarker_ = true;
            byte = 0;
            padding_ += 8;
          }
        } else {
          ++pos_;
        }
      } else {
        padding_ += 8;
      }
      buffer_ |= byte << (24 - bits_);
      bits_ += 8;
    }
  }

  const uint8_t* data_;
  size_t size_, pos_;
  uint32_t buffer_ = 0;
  int bits_ = 0;
  int padding_ = 0;  // how many of the buffered bits (the last ones) are not data
  int consumedPadding_ = 0;
  bool atMarker_ = false;
};

struct Component {
  int id = 0, h = 1, v = 1, quant = 0;
  int dcTable = 0, acTable = 0;
  int dcPrediction = 0;
  int blocksWide = 0, blocksHigh = 0;  // stored blocks (whole MCUs)
  int codedWide = 0, codedHigh = 0;    // blocks a scan of this component alone codes
  std::vector<int16_t> coefficients;   // per block, the first `perBlock` zig-zag values
  std::vector<uint64_t> nonzero;       // per block, which zig-zag positions are nonzero
  // The decoded samples at the output scale: a ring of two rows of MCUs.
  std::vector<uint8_t> plane;
  int planeWidth = 0, planeRows = 0;
  int width = 0, height = 0;  // samples of this component at the output scale
  int rowsDone = 0;           // sample rows made so far
  // Samples per block side, and the coefficients that takes. A subsampled
  // component decoded smaller than 8 x 8 is decoded larger than the others
  // where that saves upsampling it.
  int n = 8, perBlock = 64;
  int hf = 1, vf = 1;  // output pixels per sample, across and down
};

class Decoder {
 public:
  Decoder(const uint8_t* data, size_t size, int scale, const PictureSink* sink)
      : data_(data), size_(size), sink_(sink) {
    n_ = scale == 8 ? 1 : scale == 4 ? 2 : scale == 2 ? 4 : 8;
  }

  bool ReadSizeOnly(uint32_t& w, uint32_t& h) {
    sizeOnly_ = true;
    Run();
    if (!frameRead_) return false;
    w = width_;
    h = height_;
    return true;
  }

  bool Decode() {
    Run();
    if (!frameRead_ || refused_ || failed_) return false;
    if (!streaming_) {
      if (!scanSeen_) return false;
      for (int row = 0; row < mcusHigh_; ++row) OutputMcuRow(row, true);
    }
    FlushRows(outHeight_);
    return true;
  }

 private:
  // Walks the markers until the end of the picture.
  void Run() {
    size_t pos = 0;
    while (!failed_ && pos + 1 < size_) {
      if (data_[pos] != 0xFF) {
        ++pos;  // tolerate junk between segments
        continue;
      }
      const uint8_t marker = data_[pos + 1];
      pos += 2;
      if (marker == 0xFF) {
        --pos;
        continue;
      }
      if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;
      if (marker == 0xD9) {
        if (frameRead_) return;
        continue;  // an end before any frame: tables joined to a picture
      }
      if (pos + 2 > size_) return;
      const size_t length = static_cast<size_t>(data_[pos] << 8 | data_[pos + 1]);
      if (length < 2 || pos + length > size_) {
        failed_ = !frameRead_;
        return;
      }
      const uint8_t* body = data_ + pos + 2;
      const size_t bodySize = length - 2;
      pos += length;
      switch (marker) {
        case 0xC4: failed_ = !ReadHuffman(body, bodySize); break;
        case 0xDB: failed_ = !ReadQuantization(body, bodySize); break;
        case 0xDD:
          if (bodySize >= 2) restartInterval_ = body[0] << 8 | body[1];
          break;
        case 0xEE:
          if (bodySize >= 12 && std::memcmp(body, "Adobe", 5) == 0) {
            adobe_ = true;
            adobeTransform_ = body[11];
          }
          break;
        case 0xC0: case 0xC1: case 0xC2:
          if (frameRead_ || !ReadFrame(body, bodySize, marker == 0xC2)) {
            failed_ = !frameRead_;
            return;
          }
          if (sizeOnly_) return;
          break;
        case 0xDA:
          if (!frameRead_) {
            failed_ = true;
            return;
          }
          pos = ReadScan(body, bodySize, pos);
          if (failed_ || refused_) return;
          break;
        default:
          // Other frame kinds (lossless, 12-bit, arithmetic) are not read.
          if ((marker >= 0xC3 && marker <= 0xCF) && marker != 0xC4 && marker != 0xC8 &&
              marker != 0xCC) {
            failed_ = true;
            return;
          }
          break;  // application data, comments
      }
    }
  }

  bool ReadHuffman(const uint8_t* p, size_t size) {
    size_t i = 0;
    while (i < size) {
      if (i + 17 > size) return false;
      const int kind = p[i] >> 4, id = p[i] & 15;
      if (kind > 1 || id > 3) return false;
      const uint8_t* counts = p + i + 1;
      int total = 0;
      for (int l = 0; l < 16; ++l) total += counts[l];
      if (total > 256 || i + 17 + total > size) return false;
      if (!(kind == 0 ? dc_ : ac_)[id].Build(counts, p + i + 17, total)) return false;
      i += 17 + static_cast<size_t>(total);
    }
    return true;
  }

  bool ReadQuantization(const uint8_t* p, size_t size) {
    size_t i = 0;
    while (i < size) {
      const int precision = p[i] >> 4, id = p[i] & 15;
      if (precision > 1 || id > 3) return false;
      const size_t bytes = precision ? 128 : 64;
      if (i + 1 + bytes > size) return false;
      for (int k = 0; k < 64; ++k)
        quant_[id][k] = precision ? static_cast<uint16_t>(p[i + 1 + 2 * k] << 8 | p[i + 2 + 2 * k])
                                  : p[i + 1 + k];
      i += 1 + bytes;
    }
    return true;
  }

  bool ReadFrame(const uint8_t* p, size_t size, bool progressive) {
    if (size < 6 || p[0] != 8) return false;
    height_ = static_cast<uint32_t>(p[1] << 8 | p[2]);
    width_ = static_cast<uint32_t>(p[3] << 8 | p[4]);
    const int count = p[5];
    if (width_ == 0 || height_ == 0 || (count != 1 && count != 3 && count != 4) ||
        size < 6 + 3 * static_cast<size_t>(count))
      return false;
    progressive_ = progressive;
    components_.assign(static_cast<size_t>(count), Component{});
    for (int c = 0; c < count; ++c) {
      Component& comp = components_[static_cast<size_t>(c)];
      comp.id = p[6 + 3 * c];
      comp.h = count == 1 ? 1 : p[7 + 3 * c] >> 4;
      comp.v = count == 1 ? 1 : p[7 + 3 * c] & 15;
      comp.quant = p[8 + 3 * c];
      if (comp.h < 1 || comp.h > 4 || comp.v < 1 || comp.v > 4 || comp.quant > 3) return false;
      hMax_ = std::max(hMax_, comp.h);
      vMax_ = std::max(vMax_, comp.v);
    }
    int blocksPerMcu = 0;
    for (const Component& comp : components_) {
      // Only whole ratios between the largest and each factor.
      if (hMax_ % comp.h || vMax_ % comp.v) return false;
      blocksPerMcu += comp.h * comp.v;
    }
    if (blocksPerMcu > 10 && count > 1) return false;
    frameRead_ = true;
    if (sizeOnly_) return true;

    outWidth_ = (width_ + static_cast<uint32_t>(8 / n_) - 1) / static_cast<uint32_t>(8 / n_);
    outHeight_ = (height_ + static_cast<uint32_t>(8 / n_) - 1) / static_cast<uint32_t>(8 / n_);
    if (!sink_->begin || !sink_->begin(outWidth_, outHeight_)) {
      refused_ = true;
      return true;
    }
    mcusWide_ = static_cast<int>((width_ + 8u * hMax_ - 1) / (8u * hMax_));
    mcusHigh_ = static_cast<int>((height_ + 8u * vMax_ - 1) / (8u * vMax_));
    uint64_t storeBytes = 0;
    for (Component& comp : components_) {
      comp.blocksWide = mcusWide_ * comp.h;
      comp.blocksHigh = mcusHigh_ * comp.v;
      const uint64_t w = (static_cast<uint64_t>(width_) * comp.h + hMax_ - 1) / hMax_;
      const uint64_t h = (static_cast<uint64_t>(height_) * comp.v + vMax_ - 1) / vMax_;
      comp.codedWide = static_cast<int>((w + 7) / 8);
      comp.codedHigh = static_cast<int>((h + 7) / 8);
      comp.n = n_;
      while (comp.n < 8 && (hMax_ * n_) % (comp.h * comp.n * 2) == 0 &&
             (vMax_ * n_) % (comp.v * comp.n * 2) == 0)
        comp.n *= 2;
      comp.perBlock = CoefficientsFor(comp.n);
      comp.hf = hMax_ * n_ / (comp.h * comp.n);
      comp.vf = vMax_ * n_ / (comp.v * comp.n);
      comp.width = static_cast<int>((outWidth_ + comp.hf - 1) / comp.hf);
      comp.height = static_cast<int>((outHeight_ + comp.vf - 1) / comp.vf);
      comp.planeWidth = comp.blocksWide * comp.n;
      comp.planeRows = 3 * comp.v * comp.n;  // the row of MCUs made last and the two before
      comp.plane.assign(static_cast<size_t>(comp.planeWidth) * comp.planeRows, 128);
      storeBytes += static_cast<uint64_t>(comp.blocksWide) * comp.blocksHigh *
                    (comp.perBlock * sizeof(int16_t) + sizeof(uint64_t));
    }
    rowBuffer_.assign(static_cast<size_t>(outWidth_) * 4, 255);
    for (auto& samples : upsampled_) samples.assign(outWidth_, 0);
    storeBytes_ = storeBytes;
    return true;
  }

  // Reads one scan header and its data; the position after the data.
  size_t ReadScan(const uint8_t* p, size_t size, size_t dataStart) {
    const auto fail = [&] {
      failed_ = true;
      return dataStart;
    };
    if (size < 1) return fail();
    const int count = p[0];
    if (count < 1 || count > 4 || size < 4 + 2 * static_cast<size_t>(count)) return fail();
    std::vector<Component*> scan;
    for (int i = 0; i < count; ++i) {
      const int id = p[1 + 2 * i];
      Component* found = nullptr;
      for (Component& comp : components_)
        if (comp.id == id) found = &comp;
      if (!found || std::find(scan.begin(), scan.end(), found) != scan.end())
        return fail();
      found->dcTable = p[2 + 2 * i] >> 4;
      found->acTable = p[2 + 2 * i] & 15;
      if (found->dcTable > 3 || found->acTable > 3) return fail();
      scan.push_back(found);
    }
    const int ss = p[1 + 2 * count], se = p[2 + 2 * count];
    const int ah = p[3 + 2 * count] >> 4, al = p[3 + 2 * count] & 15;
    // Sequential scans cover the whole band, whatever a writer put here.
    if (progressive_ && (ss > se || se > 63 || ah > 13 || al > 13 || (ss == 0 && se != 0) ||
                         (ss != 0 && count != 1)))
      return fail();
    ss_ = progressive_ ? ss : 0;
    se_ = progressive_ ? se : 63;
    ah_ = progressive_ ? ah : 0;
    al_ = progressive_ ? al : 0;
    for (Component* comp : scan) {
      const bool needsDc = ss_ == 0 && ah_ == 0;
      const bool needsAc = se_ > 0;
      if ((needsDc && !dc_[comp->dcTable].Defined()) || (needsAc && !ac_[comp->acTable].Defined()))
        return fail();
      comp->dcPrediction = 0;
    }
    eobRun_ = 0;

    if (!scanSeen_) {
      // One sequential scan holding every component is decoded a row of
      // MCUs at a time; anything else keeps all blocks until the end.
      streaming_ = !progressive_ && count == static_cast<int>(components_.size());
      if (!streaming_ && storeBytes_ > kMaxCoefficientBytes) return fail();
      const uint64_t rows = streaming_ ? 1 : static_cast<uint64_t>(mcusHigh_);
      for (Component& comp : components_) {
        const uint64_t blocks = static_cast<uint64_t>(comp.blocksWide) * comp.v * rows;
        comp.coefficients.assign(blocks * comp.perBlock, 0);
        comp.nonzero.assign(progressive_ ? blocks : 0, 0);
      }
      scanSeen_ = true;
    } else if (streaming_) {
      return BitReader(data_, size_, dataStart).End();  // a second scan is not read
    }
    BitReader bits(data_, size_, dataStart);
    DecodeScan(bits, scan);
    return bits.End();
  }

  int16_t* Block(Component& comp, int bx, int by, uint64_t** nonzero) {
    const int row = streaming_ ? by % comp.v : by;
    const size_t index = static_cast<size_t>(row) * comp.blocksWide + static_cast<size_t>(bx);
    *nonzero = comp.nonzero.empty() ? nullptr : &comp.nonzero[index];
    return &comp.coefficients[index * comp.perBlock];
  }

  void DecodeScan(BitReader& bits, const std::vector<Component*>& scan) {
    int untilRestart = restartInterval_;
    auto restart = [&] {
      if (restartInterval_ == 0) return;
      if (untilRestart-- > 0) return;
      untilRestart = restartInterval_ - 1;
      bits.Restart();
      for (Component* c : scan) c->dcPrediction = 0;
      eobRun_ = 0;
    };
    if (scan.size() == 1) {
      // One component alone: its own blocks, one at a time.
      Component& comp = *scan[0];
      const int wide = comp.codedWide, high = comp.codedHigh;
      for (int by = 0; by < high && !corrupt_; ++by) {
        for (int bx = 0; bx < wide && !corrupt_; ++bx) {
          restart();
          if (bits.Exhausted()) corrupt_ = true;
          uint64_t* nz = nullptr;
          int16_t* block = Block(comp, bx, by, &nz);
          DecodeBlock(bits, comp, block, nz);
        }
        if (streaming_) StreamMcuRow(by);  // one component: a row of blocks is a row of MCUs
      }
      if (streaming_) FinishStreaming();
      return;
    }
    for (int my = 0; my < mcusHigh_ && !corrupt_; ++my) {
      for (int mx = 0; mx < mcusWide_ && !corrupt_; ++mx) {
        restart();
        if (bits.Exhausted()) corrupt_ = true;
        for (Component* comp : scan)
          for (int y = 0; y < comp->v; ++y)
            for (int x = 0; x < comp->h; ++x) {
              uint64_t* nz = nullptr;
              int16_t* block = Block(*comp, mx * comp->h + x, my * comp->v + y, &nz);
              DecodeBlock(bits, *comp, block, nz);
            }
      }
      if (streaming_) StreamMcuRow(my);
    }
    if (streaming_) FinishStreaming();
  }

  // When the data of a streamed scan ran out, the row it ran out in is shown
  // as far as it was read, the rows after it grey.
  void FinishStreaming() {
    while (streamedRows_ < mcusHigh_) StreamMcuRow(streamedRows_);
  }

  void StreamMcuRow(int row) {
    if (row < streamedRows_) return;
    OutputMcuRow(row, false);
    streamedRows_ = row + 1;
    for (Component& comp : components_) std::fill(comp.coefficients.begin(), comp.coefficients.end(), 0);
  }

  int DecodeSymbol(BitReader& bits, const Huffman& table) {
    int length = 0;
    const int symbol = table.Decode(bits.Peek16(), length);
    if (length == 0) {
      corrupt_ = true;  // no code matches: the rest of the scan is lost
      return 0;
    }
    bits.Consume(length);
    return symbol;
  }

  static void Store(const Component& comp, int16_t* block, uint64_t* nz, int k, int value) {
    if (k < comp.perBlock) block[k] = static_cast<int16_t>(std::clamp(value, -32768, 32767));
    if (nz && value) *nz |= uint64_t{1} << k;
  }

  // The DC difference of `size` bits added to the prediction, held to a range
  // that damaged data cannot overflow.
  static void AddDc(Component& comp, int size, BitReader& bits) {
    comp.dcPrediction = std::clamp(comp.dcPrediction + bits.Extend(std::min(size, 16)), -65536, 65535);
  }

  void DecodeBlock(BitReader& bits, Component& comp, int16_t* block, uint64_t* nz) {
    if (corrupt_) return;
    if (!progressive_) {
      AddDc(comp, DecodeSymbol(bits, dc_[comp.dcTable]), bits);
      Store(comp, block, nz, 0, comp.dcPrediction);
      for (int k = 1; k <= 63 && !corrupt_;) {
        const int rs = DecodeSymbol(bits, ac_[comp.acTable]);
        const int r = rs >> 4, s = rs & 15;
        if (s == 0) {
          if (r != 15) break;
          k += 16;
          continue;
        }
        k += r;
        if (k > 63) break;
        Store(comp, block, nz, k, bits.Extend(s));
        ++k;
      }
      return;
    }
    if (se_ == 0) {  // DC
      if (ah_ == 0) {
        AddDc(comp, DecodeSymbol(bits, dc_[comp.dcTable]), bits);
        Store(comp, block, nz, 0, comp.dcPrediction * (1 << al_));
      } else if (bits.Bit()) {
        Store(comp, block, nz, 0, block[0] | (1 << al_));
      }
      return;
    }
    if (ah_ == 0) {  // AC, first pass
      if (eobRun_ > 0) {
        --eobRun_;
        return;
      }
      for (int k = ss_; k <= se_ && !corrupt_;) {
        const int rs = DecodeSymbol(bits, ac_[comp.acTable]);
        const int r = rs >> 4, s = rs & 15;
        if (s == 0) {
          if (r < 15) {
            eobRun_ = (1 << r) - 1 + bits.Bits(r);
            break;
          }
          k += 16;
          continue;
        }
        k += r;
        if (k > se_) break;
        Store(comp, block, nz, k, bits.Extend(s) * (1 << al_));
        ++k;
      }
      return;
    }
    // AC, refinement: one more bit of coefficients already seen, and new
    // coefficients of magnitude one.
    const int plus = 1 << al_, minus = -plus;
    auto refine = [&](int k) {
      if (bits.Bit() && k < comp.perBlock && (block[k] & plus) == 0)
        block[k] = static_cast<int16_t>(block[k] + (block[k] >= 0 ? plus : minus));
    };
    auto seen = [&](int k) { return (*nz >> k) & 1; };
    int k = ss_;
    if (eobRun_ == 0) {
      for (; k <= se_ && !corrupt_; ++k) {
        const int rs = DecodeSymbol(bits, ac_[comp.acTable]);
        int r = rs >> 4, s = rs & 15, value = 0;
        if (s != 0) {
          value = bits.Bit() ? plus : minus;
        } else if (r != 15) {
          eobRun_ = (1 << r) + bits.Bits(r);
          break;
        }
        for (; k <= se_; ++k) {
          if (seen(k)) {
            refine(k);
          } else if (--r < 0) {
            break;  // the zero coefficient the new value goes to
          }
        }
        if (value && k <= se_) Store(comp, block, nz, k, value);
      }
    }
    if (eobRun_ > 0) {
      for (; k <= se_; ++k)
        if (seen(k)) refine(k);
      --eobRun_;
    }
  }

  // Turns one row of MCUs into samples and hands over every output row that
  // can be finished with it.
  void OutputMcuRow(int row, bool fromStore) {
    for (size_t c = 0; c < components_.size(); ++c) {
      Component& comp = components_[c];
      const uint16_t* q = quant_[comp.quant];
      for (int y = 0; y < comp.v; ++y) {
        const int by = row * comp.v + y;
        const int ringRow = (by * comp.n) % comp.planeRows;
        for (int bx = 0; bx < comp.blocksWide; ++bx) {
          const size_t index = static_cast<size_t>(fromStore ? by : y) * comp.blocksWide +
                               static_cast<size_t>(bx);
          const int16_t* zz = &comp.coefficients[index * comp.perBlock];
          int32_t natural[64] = {};
          for (int k = 0; k < comp.perBlock; ++k)
            natural[kNatural[k]] = std::clamp(zz[k] * static_cast<int32_t>(q[k]), -32768, 32767);
          InverseDct(natural, comp.n,
                     &comp.plane[static_cast<size_t>(ringRow) * comp.planeWidth + bx * comp.n],
                     comp.planeWidth);
        }
      }
      comp.rowsDone = (row + 1) * comp.v * comp.n;
    }
    const int done = std::min<int>(static_cast<int>(outHeight_), (row + 1) * vMax_ * n_);
    // A row needs the component row below it for smooth upsampling: the
    // last rows wait for the next row of MCUs.
    FlushRows(row + 1 == mcusHigh_ ? static_cast<int>(outHeight_) : done - vMax_);
  }

  void FlushRows(int until) {
    until = std::min<int>(until, static_cast<int>(outHeight_));
    for (; nextRow_ < until; ++nextRow_) EmitRow(nextRow_);
  }

  // The samples of one component for output row y, at full output width.
  const uint8_t* Upsample(size_t c, int y) {
    Component& comp = components_[c];
    const int hf = comp.hf, vf = comp.vf;
    auto line = [&](int cy) {
      cy = std::clamp(cy, 0, comp.height - 1);
      cy = std::clamp(cy, comp.rowsDone - comp.planeRows, comp.rowsDone - 1);
      return &comp.plane[static_cast<size_t>(cy % comp.planeRows) * comp.planeWidth];
    };
    std::vector<uint8_t>& out = upsampled_[c];
    const int cy = y / vf;
    const uint8_t* near = line(cy);
    const int last = comp.width - 1;
    const uint32_t w = outWidth_;
    if (hf == 1 && vf == 1) return near;
    if (vf == 2 && (hf == 1 || hf == 2)) {
      const uint8_t* far = line(y % 2 == 0 ? cy - 1 : cy + 1);
      if (hf == 1) {
        for (uint32_t x = 0; x < w; ++x) out[x] = static_cast<uint8_t>((3 * near[x] + far[x] + 2) >> 2);
        return out.data();
      }
      auto t = [&](int i) {
        i = std::clamp(i, 0, last);
        return 3 * near[i] + far[i];
      };
      for (uint32_t x = 0; x < w; ++x) {
        const int i = static_cast<int>(x / 2);
        const int other = x % 2 == 0 ? i - 1 : i + 1;
        out[x] = static_cast<uint8_t>((3 * t(i) + t(other) + 8) >> 4);
      }
      return out.data();
    }
    if (hf == 2 && vf == 1) {
      for (uint32_t x = 0; x < w; ++x) {
        const int i = static_cast<int>(x / 2);
        const int other = std::clamp(x % 2 == 0 ? i - 1 : i + 1, 0, last);
        out[x] = static_cast<uint8_t>((3 * near[i] + near[other] + 2) >> 2);
      }
      return out.data();
    }
    for (uint32_t x = 0; x < w; ++x) out[x] = near[std::min<int>(static_cast<int>(x) / hf, last)];
    return out.data();
  }

  void EmitRow(int y) {
    const uint8_t* s[4] = {};
    for (size_t c = 0; c < components_.size(); ++c) s[c] = Upsample(c, y);
    uint8_t* out = rowBuffer_.data();
    const size_t count = components_.size();
    const bool rgb = count == 3 && ((adobe_ && adobeTransform_ == 0) ||
                                    (components_[0].id == 'R' && components_[1].id == 'G' &&
                                     components_[2].id == 'B'));
    for (uint32_t x = 0; x < outWidth_; ++x, out += 4) {
      if (count == 1) {
        out[0] = out[1] = out[2] = s[0][x];
      } else if (rgb) {
        out[0] = s[0][x], out[1] = s[1][x], out[2] = s[2][x];
      } else if (count == 3 || (count == 4 && adobeTransform_ == 2)) {
        YccToRgb(s[0][x], s[1][x], s[2][x], out);
        if (count == 4) {  // YCCK: the colour is inverted, K scales it
          for (int i = 0; i < 3; ++i) out[i] = static_cast<uint8_t>(((255 - out[i]) * s[3][x] + 127) / 255);
        }
      } else {  // CMYK as Adobe stores it, inverted
        for (int i = 0; i < 3; ++i) out[i] = static_cast<uint8_t>((s[i][x] * s[3][x] + 127) / 255);
      }
      out[3] = 255;
    }
    if (sink_->row) sink_->row(static_cast<uint32_t>(y), rowBuffer_.data());
  }

  static void YccToRgb(int y, int cb, int cr, uint8_t* out) {
    // JFIF conversion in 16.16 fixed point.
    const int base = (y << 16) + (1 << 15);
    cb -= 128;
    cr -= 128;
    const int r = (base + 91881 * cr) >> 16;
    const int g = (base - 22554 * cb - 46802 * cr) >> 16;
    const int b = (base + 116130 * cb) >> 16;
    out[0] = static_cast<uint8_t>(std::clamp(r, 0, 255));
    out[1] = static_cast<uint8_t>(std::clamp(g, 0, 255));
    out[2] = static_cast<uint8_t>(std::clamp(b, 0, 255));
  }

  const uint8_t* data_;
  size_t size_;
  const PictureSink* sink_;
  int n_ = 8;  // samples per block side of the largest components
  bool sizeOnly_ = false, frameRead_ = false, failed_ = false, refused_ = false;
  bool progressive_ = false, streaming_ = false, scanSeen_ = false, corrupt_ = false;
  bool adobe_ = false;
  int adobeTransform_ = -1;
  uint32_t width_ = 0, height_ = 0, outWidth_ = 0, outHeight_ = 0;
  int hMax_ = 1, vMax_ = 1, mcusWide_ = 0, mcusHigh_ = 0;
  int restartInterval_ = 0;
  int ss_ = 0, se_ = 63, ah_ = 0, al_ = 0;
  int eobRun_ = 0;
  int streamedRows_ = 0, nextRow_ = 0;
  uint64_t storeBytes_ = 0;
  Huffman dc_[4], ac_[4];
  uint16_t quant_[4][64] = {};
  std::vector<Component> components_;
  std::vector<uint8_t> rowBuffer_;
  std::array<std::vector<uint8_t>, 4> upsampled_;
};

}  // namespace

bool ReadJpegSize(const uint8_t* data, size_t size, uint32_t& width, uint32_t& height) {
  if (!data || size < 4) return false;
  return Decoder(data, size, 1, nullptr).ReadSizeOnly(width, height);
}

bool DecodeJpeg(const uint8_t* data, size_t size, int scale, const PictureSink& sink) {
  if (!data || size < 4 || (scale != 1 && scale != 2 && scale != 4 && scale != 8)) return false;
  return Decoder(data, size, scale, &sink).Decode();
}

}  // namespace velmora
