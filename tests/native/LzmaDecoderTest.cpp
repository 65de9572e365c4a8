#include "player/swf/LzmaDecoder.h"

#include <gtest/gtest.h>
#include <lzma.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace velmora {
namespace swf {
namespace {

using Bytes = std::vector<uint8_t>;

struct Coding {
  uint32_t preset = 6;
  uint32_t lc = 3;
  uint32_t lp = 0;
  uint32_t pb = 2;
  uint32_t dictionary = 0;  // 0: the preset's, capped to keep the encoder small
};

// Props and raw stream split out of liblzma's output.
struct Encoded {
  Bytes props;
  Bytes data;
};

Bytes RunEncoder(lzma_stream& strm, const Bytes& input) {
  Bytes out(input.size() + input.size() / 2 + 4096);
  strm.next_in = input.data();
  strm.avail_in = input.size();
  strm.next_out = out.data();
  strm.avail_out = out.size();
  const lzma_ret ret = lzma_code(&strm, LZMA_FINISH);
  EXPECT_EQ(ret, LZMA_STREAM_END);
  out.resize(strm.total_out);
  lzma_end(&strm);
  return out;
}

lzma_options_lzma Options(const Coding& c) {
  lzma_options_lzma opt{};
  EXPECT_FALSE(lzma_lzma_preset(&opt, c.preset));
  opt.lc = c.lc;
  opt.lp = c.lp;
  opt.pb = c.pb;
  opt.dict_size = c.dictionary ? c.dictionary : std::min<uint32_t>(opt.dict_size, 4u << 20);
  return opt;
}

// LZMA-alone: 5 props, 8-byte size (unknown here), stream with end marker.
Encoded EncodeAlone(const Bytes& input, const Coding& c) {
  lzma_options_lzma opt = Options(c);
  lzma_stream strm = LZMA_STREAM_INIT;
  EXPECT_EQ(lzma_alone_encoder(&strm, &opt), LZMA_OK);
  const Bytes file = RunEncoder(strm, input);
  Encoded e;
  if (file.size() < 13) return e;
  e.props.assign(file.begin(), file.begin() + 5);
  e.data.assign(file.begin() + 13, file.end());
  return e;
}

// Stream without end marker, as writers that store the size elsewhere make.
Encoded EncodeWithoutMarker(const Bytes& input, const Coding& c) {
  lzma_options_lzma opt = Options(c);
  opt.ext_flags = 0;
  opt.ext_size_low = static_cast<uint32_t>(input.size());
  opt.ext_size_high = 0;
  lzma_filter filters[] = {{LZMA_FILTER_LZMA1EXT, &opt}, {LZMA_VLI_UNKNOWN, nullptr}};
  lzma_stream strm = LZMA_STREAM_INIT;
  EXPECT_EQ(lzma_raw_encoder(&strm, filters), LZMA_OK);
  Encoded e;
  e.data = RunEncoder(strm, input);
  e.props = {static_cast<uint8_t>((c.pb * 5 + c.lp) * 9 + c.lc),
             static_cast<uint8_t>(opt.dict_size), static_cast<uint8_t>(opt.dict_size >> 8),
             static_cast<uint8_t>(opt.dict_size >> 16), static_cast<uint8_t>(opt.dict_size >> 24)};
  return e;
}

bool Decode(const Encoded& e, size_t expected, Bytes& out, std::string* error = nullptr) {
  return LzmaDecode(e.props.data(), e.props.size(), e.data.data(), e.data.size(), expected, out,
                    error);
}

Bytes RandomBytes(size_t size, uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes b(size);
  for (auto& v : b) v = static_cast<uint8_t>(rng());
  return b;
}

Bytes RepetitiveText(size_t size) {
  static const char kWords[] = "the quick brown fox jumps over the lazy dog; ";
  Bytes b(size);
  for (size_t i = 0; i < size; ++i) b[i] = static_cast<uint8_t>(kWords[i % (sizeof kWords - 1)]);
  return b;
}

// Random blocks copied back at many distances, some far apart.
Bytes LongMatches(size_t size, uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes b = RandomBytes(size, seed + 1);
  for (size_t pos = 4096; pos + 2000 < size; pos += 1000 + rng() % 5000) {
    const size_t from = rng() % (pos - 1);
    const size_t len = 2 + rng() % 1500;
    for (size_t i = 0; i < len; ++i) b[pos + i] = b[from + i];
  }
  return b;
}

// Mixed content resembling a movie: tags, small tables, repeated shapes.
Bytes Mixed(size_t size, uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes b;
  b.reserve(size);
  while (b.size() < size) {
    switch (rng() % 4) {
      case 0:
        for (int i = 0; i < 64; ++i) b.push_back(static_cast<uint8_t>(rng() % 16));
        break;
      case 1:
        for (int i = 0; i < 32; ++i) b.push_back(static_cast<uint8_t>(rng()));
        break;
      case 2:
        if (b.size() > 300) {
          const size_t from = b.size() - 1 - rng() % 300;
          const size_t len = 3 + rng() % 200;
          for (size_t i = 0; i < len; ++i) b.push_back(b[from + i]);
        }
        break;
      default:
        for (int i = 0; i < 40; ++i) b.push_back(static_cast<uint8_t>(i * 3));
    }
  }
  b.resize(size);
  return b;
}

void ExpectRoundTrip(const Bytes& input, const Coding& c) {
  SCOPED_TRACE("preset " + std::to_string(c.preset) + " lc " + std::to_string(c.lc) + " lp " +
               std::to_string(c.lp) + " pb " + std::to_string(c.pb));
  for (const Encoded& e : {EncodeAlone(input, c), EncodeWithoutMarker(input, c)}) {
    Bytes out;
    std::string error;
    ASSERT_TRUE(Decode(e, input.size(), out, &error)) << error;
    ASSERT_EQ(out.size(), input.size());
    EXPECT_TRUE(out == input);
  }
}

const Coding kCodings[] = {
    {0, 3, 0, 2}, {1, 0, 2, 0}, {3, 4, 0, 4}, {6, 1, 3, 1},
    {6, 0, 0, 0}, {9, 2, 2, 3}, {6 | LZMA_PRESET_EXTREME, 3, 1, 2}, {2, 0, 4, 4},
    {6, 3, 0, 2, 4096},
};

TEST(LzmaDecoder, RoundTripsSamplesAtSeveralSettings) {
  const Bytes samples[] = {RandomBytes(20000, 1), RepetitiveText(50000), LongMatches(200000, 2),
                           Mixed(100000, 3), Bytes{}, Bytes{42}};
  for (const Coding& c : kCodings)
    for (const Bytes& s : samples) ExpectRoundTrip(s, c);
}

TEST(LzmaDecoder, RoundTripsOneMebibyte) {
  const Bytes input = Mixed(1u << 20, 7);
  ExpectRoundTrip(input, {6, 3, 0, 2});
  ExpectRoundTrip(input, {1, 0, 2, 0});
}

TEST(LzmaDecoder, EndMarkerBeforeExpectedSizeIsAccepted) {
  const Bytes input = RepetitiveText(5000);
  const Encoded e = EncodeAlone(input, {});
  Bytes out;
  EXPECT_TRUE(Decode(e, input.size() + 1000, out));
  EXPECT_TRUE(out == input);
}

TEST(LzmaDecoder, MissingBytesWithoutMarkerAreTruncation) {
  const Bytes input = Mixed(5000, 4);
  const Encoded e = EncodeWithoutMarker(input, {});
  Bytes out;
  std::string error;
  EXPECT_FALSE(Decode(e, input.size() + 10, out, &error));
  EXPECT_FALSE(error.empty());
  ASSERT_GE(out.size(), input.size());
  EXPECT_TRUE(std::equal(input.begin(), input.end(), out.begin()));
}

TEST(LzmaDecoder, TruncatedInputKeepsAMatchingPrefix) {
  const Bytes input = Mixed(60000, 5);
  const Encoded full = EncodeWithoutMarker(input, {});
  size_t previous = 0;
  for (size_t keep = 0; keep < full.data.size(); keep += 1 + keep / 7) {
    Encoded cut = full;
    cut.data.resize(keep);
    Bytes out;
    std::string error;
    EXPECT_FALSE(Decode(cut, input.size(), out, &error)) << keep;
    EXPECT_FALSE(error.empty());
    ASSERT_LT(out.size(), input.size());
    EXPECT_GE(out.size(), previous);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), input.begin())) << keep;
    previous = out.size();
  }
  EXPECT_GT(previous, input.size() / 2);
}

TEST(LzmaDecoder, SmallerExpectedSizeStopsThere) {
  const Bytes text = RepetitiveText(100000);
  const Encoded e = EncodeAlone(text, {});
  Bytes out;
  std::string error;
  // The cut falls inside a long match: the prefix is kept, the overrun told.
  EXPECT_FALSE(Decode(e, 1000, out, &error));
  EXPECT_FALSE(error.empty());
  ASSERT_EQ(out.size(), 1000u);
  EXPECT_TRUE(std::equal(out.begin(), out.end(), text.begin()));

  // Literals only: every cut is on a symbol boundary.
  const Bytes noise = RandomBytes(4000, 9);
  const Encoded n = EncodeAlone(noise, {0, 3, 0, 2});
  int cleanStops = 0;
  for (size_t expected = 0; expected < noise.size(); expected += 97) {
    cleanStops += Decode(n, expected, out) ? 1 : 0;
    ASSERT_EQ(out.size(), expected);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), noise.begin()));
  }
  EXPECT_GT(cleanStops, 0);
}

TEST(LzmaDecoder, BadPropertiesAreRejected) {
  const Encoded good = EncodeAlone(RepetitiveText(100), {});
  Bytes out;
  std::string error;
  for (unsigned first : {225u, 226u, 255u}) {
    Encoded bad = good;
    bad.props[0] = static_cast<uint8_t>(first);
    EXPECT_FALSE(Decode(bad, 100, out, &error)) << first;
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(out.empty());
  }
  EXPECT_FALSE(LzmaDecode(good.props.data(), 4, good.data.data(), good.data.size(), 100, out));
  EXPECT_FALSE(LzmaDecode(nullptr, 5, good.data.data(), good.data.size(), 100, out));
  // The largest legal settings (lc 8, lp 4, pb 4) are accepted.
  Encoded widest = good;
  widest.props[0] = static_cast<uint8_t>((4 * 5 + 4) * 9 + 8);
  Decode(widest, 100, out);
  EXPECT_LE(out.size(), 100u);
}

TEST(LzmaDecoder, AbsurdExpectedSizeCostsNoMemoryUpFront) {
  // The output buffer grows with what the stream really holds: a header
  // promising SIZE_MAX bytes neither throws nor allocates it, and the end
  // marker still ends the data.
  const Bytes text = RepetitiveText(100);
  const Encoded e = EncodeAlone(text, {});
  Bytes out{1, 2, 3};
  EXPECT_TRUE(Decode(e, SIZE_MAX, out));
  EXPECT_EQ(out, text);
}

TEST(LzmaDecoder, StreamMustStartWithZeroByte) {
  Encoded e = EncodeAlone(RepetitiveText(100), {});
  e.data[0] = 1;
  Bytes out;
  EXPECT_FALSE(Decode(e, 100, out));
  EXPECT_TRUE(out.empty());
}

TEST(LzmaDecoder, DistanceBeyondOutputIsRejected) {
  // A first packet that is a repeat has nothing to repeat. The range code
  // 0xFFFFFFFE decodes every bit as 1: match, then rep.
  const uint8_t props[5] = {0x5D, 0, 0, 1, 0};
  const uint8_t data[] = {0, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF};
  Bytes out;
  std::string error;
  EXPECT_FALSE(LzmaDecode(props, 5, data, sizeof data, 100, out, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(out.empty());
}

TEST(LzmaDecoder, CorruptedBytesNeverEscapeTheBounds) {
  const Bytes input = Mixed(20000, 11);
  std::set<std::string> errors;
  for (const Encoded& good : {EncodeAlone(input, {}), EncodeWithoutMarker(input, {1, 0, 2, 0})}) {
    std::mt19937 rng(13);
    for (size_t i = 0; i < good.data.size(); i += 1 + i / 50) {
      for (uint8_t flip : {uint8_t{0x01}, uint8_t{0x80}, static_cast<uint8_t>(1 + rng() % 255)}) {
        Encoded bad = good;
        bad.data[i] ^= flip;
        Bytes out;
        std::string error;
        if (!Decode(bad, input.size(), out, &error)) errors.insert(error);
        ASSERT_LE(out.size(), input.size());
      }
    }
    // Whole runs of garbage too.
    for (int round = 0; round < 200; ++round) {
      Encoded bad = good;
      for (size_t i = 1 + rng() % 50; i < bad.data.size(); i += 1 + rng() % 200)
        bad.data[i] = static_cast<uint8_t>(rng());
      Bytes out;
      Decode(bad, input.size(), out);
      ASSERT_LE(out.size(), input.size());
    }
  }
  // The flips reach the distance check, not only the range coder's.
  EXPECT_TRUE(errors.count("LZMA data refers back beyond its output")) << errors.size();
}

TEST(LzmaDecoder, RandomStreamsWithWidestSettingsStayBounded) {
  std::mt19937 rng(17);
  for (int round = 0; round < 300; ++round) {
    const uint8_t props[5] = {static_cast<uint8_t>(rng() % 225), static_cast<uint8_t>(rng()),
                              static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng()),
                              static_cast<uint8_t>(rng())};
    Bytes data = RandomBytes(1 + rng() % 3000, rng());
    data[0] = 0;
    Bytes out;
    LzmaDecode(props, 5, data.data(), data.size(), 50000, out);
    ASSERT_LE(out.size(), 50000u);
  }
}

Bytes MakeZws(const Bytes& body, uint8_t version, const Coding& c) {
  const Encoded e = EncodeWithoutMarker(body, c);
  const uint32_t fileLength = static_cast<uint32_t>(body.size() + 8);
  const uint32_t compressed = static_cast<uint32_t>(e.data.size());
  Bytes file = {'Z', 'W', 'S', version};
  for (int i = 0; i < 4; ++i) file.push_back(static_cast<uint8_t>(fileLength >> (8 * i)));
  for (int i = 0; i < 4; ++i) file.push_back(static_cast<uint8_t>(compressed >> (8 * i)));
  file.insert(file.end(), e.props.begin(), e.props.end());
  file.insert(file.end(), e.data.begin(), e.data.end());
  return file;
}

TEST(ZwsBody, RoundTripsABuiltFile) {
  Bytes body = {0x78, 0x00, 0x05, 0x5F, 0x00, 0x00, 0x0F, 0xA0, 0x00, 0x00, 0x18, 0x01, 0x00};
  const Bytes rest = Mixed(30000, 21);
  body.insert(body.end(), rest.begin(), rest.end());
  const Bytes file = MakeZws(body, 13, {});
  Bytes out;
  std::string error;
  ASSERT_TRUE(DecodeZwsBody(file.data(), file.size(), out, &error)) << error;
  EXPECT_TRUE(out == body);
}

TEST(ZwsBody, TruncatedFileKeepsPartialBody) {
  const Bytes body = Mixed(30000, 22);
  Bytes file = MakeZws(body, 17, {});
  file.resize(file.size() / 2);
  Bytes out;
  EXPECT_FALSE(DecodeZwsBody(file.data(), file.size(), out, nullptr));
  EXPECT_GT(out.size(), 0u);
  EXPECT_LT(out.size(), body.size());
  EXPECT_TRUE(std::equal(out.begin(), out.end(), body.begin()));
}

TEST(ZwsBody, RejectsOtherSignaturesAndOversizedLengths) {
  Bytes file = MakeZws(RepetitiveText(1000), 13, {});
  Bytes out;
  std::string error;
  Bytes fws = file;
  fws[0] = 'F';
  EXPECT_FALSE(DecodeZwsBody(fws.data(), fws.size(), out, &error));
  EXPECT_FALSE(DecodeZwsBody(file.data(), 16, out, &error));
  EXPECT_FALSE(DecodeZwsBody(nullptr, 0, out, &error));

  Bytes huge = file;
  const uint32_t tooLong = kMaxZwsFileLength + 1;
  for (int i = 0; i < 4; ++i) huge[4 + i] = static_cast<uint8_t>(tooLong >> (8 * i));
  EXPECT_FALSE(DecodeZwsBody(huge.data(), huge.size(), out, &error));
  EXPECT_TRUE(out.empty());

  Bytes tiny = file;
  tiny[4] = 7;
  tiny[5] = tiny[6] = tiny[7] = 0;
  EXPECT_FALSE(DecodeZwsBody(tiny.data(), tiny.size(), out, &error));
}

}  // namespace
}  // namespace swf
}  // namespace velmora
