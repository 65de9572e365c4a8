// The program's own picture decoders: against libjpeg-turbo's pictures of the
// same JPEGs, against the samples our own PNG and BMP files were made from,
// scaled down within little memory, and on damaged files.
#include "pictures/GifDecoder.h"
#include "pictures/JpegDecoder.h"
#include "pictures/PictureDecoder.h"
#include "pictures/PictureScaler.h"
#include "pictures/PngWriter.h"
#include "tests/native/AllocationCounter.h"
#include "tests/native/PngTestEncoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>

namespace velmora {
namespace {

std::string Fixture(const std::string& name) {
  std::ifstream in(std::string(VELMORA_SOURCE_DIR "/tests/pictures/") + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

DecodedPicture Decode(const std::string& bytes, uint64_t maxPixels = 1 << 24) {
  DecodedPicture p;
  EXPECT_TRUE(DecodePicture(Bytes(bytes), bytes.size(), maxPixels, p));
  return p;
}

// A binary PNM (P5 grey or P6 colour) as RGBA.
DecodedPicture ReadPnm(const std::string& bytes) {
  DecodedPicture p;
  char magic[3] = {};
  unsigned w = 0, h = 0, maxValue = 0;
  int consumed = 0;
  if (std::sscanf(bytes.c_str(), "%2s %u %u %u%n", magic, &w, &h, &maxValue, &consumed) != 4)
    return p;
  const bool grey = std::strcmp(magic, "P5") == 0;
  const uint8_t* in = Bytes(bytes) + consumed + 1;
  p.width = w;
  p.height = h;
  p.rgba.resize(size_t{w} * h * 4);
  for (size_t i = 0; i < size_t{w} * h; ++i) {
    for (int c = 0; c < 3; ++c) p.rgba[4 * i + c] = grey ? in[i] : in[3 * i + c];
    p.rgba[4 * i + 3] = 255;
  }
  return p;
}

struct Difference {
  int largest = 0;
  double mean = 0;
};

Difference Compare(const DecodedPicture& a, const DecodedPicture& b) {
  Difference d;
  EXPECT_EQ(a.width, b.width);
  EXPECT_EQ(a.height, b.height);
  if (a.rgba.size() != b.rgba.size() || a.rgba.empty()) return {255, 255};
  double total = 0;
  for (size_t i = 0; i < a.rgba.size(); ++i) {
    const int diff = std::abs(a.rgba[i] - b.rgba[i]);
    d.largest = std::max(d.largest, diff);
    total += diff;
  }
  d.mean = total / static_cast<double>(a.rgba.size());
  return d;
}

TEST(JpegDecoder, MatchesLibjpegOnEverySamplingAndScanKind) {
  // The same integer transform as libjpeg's accurate one; rounding in the
  // smooth upsampling and the colour conversion differs by a level or two.
  for (const char* name : {"baseline-420", "baseline-422", "baseline-444", "restart",
                           "progressive-420", "progressive-444", "grey"}) {
    const DecodedPicture ours = Decode(Fixture(std::string(name) + ".jpg"));
    const Difference d = Compare(ours, ReadPnm(Fixture(std::string(name) + ".djpeg.pnm")));
    EXPECT_LE(d.largest, 3) << name;
    EXPECT_LT(d.mean, 0.3) << name;
  }
  // Not read: arithmetic coding. Read: CMYK as Adobe writes it.
  DecodedPicture refused;
  const std::string arithmetic = Fixture("arithmetic.jpg");
  EXPECT_FALSE(DecodePicture(Bytes(arithmetic), arithmetic.size(), 1 << 24, refused));
  const Difference cmyk = Compare(Decode(Fixture("cmyk.jpg")), Decode(Fixture("source.png")));
  EXPECT_LT(cmyk.mean, 4.0);
}

TEST(JpegDecoder, ScaledDecodingMatchesLibjpegScaling) {
  struct Case {
    const char* jpeg;
    int scale;
    const char* reference;
  } cases[] = {{"large-progressive.jpg", 2, "large-progressive-1-2.djpeg.pnm"},
               {"large-progressive.jpg", 4, "large-progressive-1-4.djpeg.pnm"},
               {"large-progressive.jpg", 8, "large-progressive-1-8.djpeg.pnm"},
               {"large-baseline.jpg", 4, "large-baseline-1-4.djpeg.pnm"}};
  for (const Case& c : cases) {
    const std::string bytes = Fixture(c.jpeg);
    DecodedPicture ours;
    PictureSink sink;
    sink.begin = [&](uint32_t w, uint32_t h) {
      ours.width = w, ours.height = h;
      ours.rgba.assign(size_t{w} * h * 4, 0);
      return true;
    };
    sink.row = [&](uint32_t y, const uint8_t* rgba) {
      std::memcpy(&ours.rgba[size_t{y} * ours.width * 4], rgba, ours.width * 4);
    };
    ASSERT_TRUE(DecodeJpeg(Bytes(bytes), bytes.size(), c.scale, sink)) << c.jpeg;
    // A reduced transform of the low frequencies, like libjpeg's own.
    const Difference d = Compare(ours, ReadPnm(Fixture(c.reference)));
    EXPECT_LE(d.largest, 12) << c.jpeg << " 1/" << c.scale;
    EXPECT_LT(d.mean, 1.5) << c.jpeg << " 1/" << c.scale;
  }
}

// Samples of a test picture: every value of the depth appears, varied by
// position.
test::PngSpec Samples(int colour, int depth, bool interlaced, uint32_t w, uint32_t h) {
  test::PngSpec s;
  s.width = w, s.height = h, s.colour = colour, s.depth = depth, s.interlaced = interlaced;
  const int channels = test::PngChannels(colour);
  const uint32_t top = colour == 3 ? std::min(255, (1 << depth) - 1) : (1u << depth) - 1;
  std::mt19937 random(static_cast<unsigned>(colour * 100 + depth + interlaced));
  s.samples.resize(size_t{w} * h * channels);
  for (uint16_t& v : s.samples) v = static_cast<uint16_t>(random() % (top + 1));
  if (colour == 3) {
    for (uint32_t i = 0; i <= top; ++i)
      for (int c = 0; c < 3; ++c) s.palette.push_back(static_cast<uint8_t>(i * 37 + c * 91));
    for (uint32_t i = 0; i <= top; i += 3) s.transparency.push_back(static_cast<uint8_t>(i));
  }
  return s;
}

// What the decoder must make of one pixel of such a picture.
void Expected(const test::PngSpec& s, size_t pixel, uint8_t out[4]) {
  const int channels = test::PngChannels(s.colour);
  const uint16_t* v = &s.samples[pixel * channels];
  auto to8 = [&](uint16_t x) {
    return static_cast<uint8_t>(s.depth == 16 ? x >> 8 : x * 255 / ((1 << s.depth) - 1));
  };
  switch (s.colour) {
    case 0: out[0] = out[1] = out[2] = to8(v[0]), out[3] = 255; break;
    case 2: out[0] = to8(v[0]), out[1] = to8(v[1]), out[2] = to8(v[2]), out[3] = 255; break;
    case 3:
      std::memcpy(out, &s.palette[3 * v[0]], 3);
      out[3] = v[0] < s.transparency.size() ? s.transparency[v[0]] : 255;
      break;
    case 4: out[0] = out[1] = out[2] = to8(v[0]), out[3] = to8(v[1]); break;
    default: for (int c = 0; c < 4; ++c) out[c] = to8(v[c]);
  }
}

TEST(PngDecoder, EveryColourTypeDepthAndInterlaceExactly) {
  const std::pair<int, std::vector<int>> kinds[] = {
      {0, {1, 2, 4, 8, 16}}, {2, {8, 16}}, {3, {1, 2, 4, 8}}, {4, {8, 16}}, {6, {8, 16}}};
  int cases = 0;
  for (const auto& [colour, depths] : kinds)
    for (int depth : depths)
      for (bool interlaced : {false, true}) {
        const test::PngSpec spec = Samples(colour, depth, interlaced, 37, 29);
        const DecodedPicture p = Decode(test::EncodePng(spec));
        ASSERT_EQ(p.width, 37u);
        ASSERT_EQ(p.height, 29u);
        int wrong = 0;
        for (size_t i = 0; i < size_t{37} * 29; ++i) {
          uint8_t expected[4];
          Expected(spec, i, expected);
          wrong += std::memcmp(expected, &p.rgba[4 * i], 4) != 0;
        }
        EXPECT_EQ(wrong, 0) << "colour " << colour << " depth " << depth << " interlaced "
                            << interlaced;
        ++cases;
      }
  EXPECT_EQ(cases, 30);
  // A transparent colour for RGB pictures.
  test::PngSpec keyed = Samples(2, 8, false, 4, 1);
  keyed.samples = {1, 2, 3, 9, 9, 9, 1, 2, 3, 1, 2, 4};
  keyed.transparency = {0, 1, 0, 2, 0, 3};
  const DecodedPicture k = Decode(test::EncodePng(keyed));
  EXPECT_EQ(k.rgba[3], 0);
  EXPECT_EQ(k.rgba[7], 255);
  EXPECT_EQ(k.rgba[11], 0);
  EXPECT_EQ(k.rgba[15], 255);
}

TEST(GifDecoder, FirstFrameInterlacedOrNotWithItsTransparentColour) {
  const DecodedPicture plain = Decode(Fixture("plain.gif"));
  const DecodedPicture interlaced = Decode(Fixture("interlaced.gif"));
  EXPECT_EQ(Compare(plain, interlaced).largest, 0);
  // Exactly the colours ImageMagick reads from it.
  EXPECT_EQ(Compare(plain, ReadPnm(Fixture("plain.gif.pnm"))).largest, 0);
  const DecodedPicture t = Decode(Fixture("transparent.gif"));
  ASSERT_EQ(t.width, 61u);
  int wrong = 0;
  for (uint32_t y = 0; y < t.height; ++y)
    for (uint32_t x = 0; x < t.width; ++x)
      wrong += t.rgba[(size_t{y} * t.width + x) * 4 + 3] != (x < 10 && y < 10 ? 0 : 255);
  EXPECT_EQ(wrong, 0);
}

std::string Le(uint32_t v, int bytes) {
  std::string s;
  for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}

// A BMP file: header, info header of `infoSize` bytes, extra bytes (masks or
// colour table), then the rows as given.
std::string Bmp(int32_t w, int32_t h, int bits, uint32_t compression, const std::string& extra,
                const std::string& rows) {
  const uint32_t offset = 14 + 40 + static_cast<uint32_t>(extra.size());
  return "BM" + Le(offset + static_cast<uint32_t>(rows.size()), 4) + Le(0, 4) + Le(offset, 4) +
         Le(40, 4) + Le(static_cast<uint32_t>(w), 4) + Le(static_cast<uint32_t>(h), 4) + Le(1, 2) +
         Le(static_cast<uint32_t>(bits), 2) + Le(compression, 4) + Le(0, 4) + Le(0, 4) + Le(0, 4) +
         Le(0, 4) + Le(0, 4) + extra + rows;
}

TEST(BmpDecoder, RowOrdersDepthsAndMasks) {
  // 24 bits, bottom-up, rows padded to four bytes: blue-green-red order.
  const std::string rows24 = std::string("\x01\x02\x03\x04\x05\x06", 6) + std::string(2, '\0') +
                             std::string("\x10\x20\x30\x40\x50\x60", 6) + std::string(2, '\0');
  const DecodedPicture a = Decode(Bmp(2, 2, 24, 0, "", rows24));
  const uint8_t wantA[] = {0x30, 0x20, 0x10, 255, 0x60, 0x50, 0x40, 255,
                           0x03, 0x02, 0x01, 255, 0x06, 0x05, 0x04, 255};
  EXPECT_EQ(std::memcmp(a.rgba.data(), wantA, 16), 0);
  // 8 bits with a table, top-down.
  const std::string table = Le(0x00112233, 4) + Le(0x00445566, 4);
  const DecodedPicture b = Decode(Bmp(3, -1, 8, 0, table, std::string("\x01\x00\x01\x00", 4)));
  EXPECT_EQ(b.rgba[0], 0x44);
  EXPECT_EQ(b.rgba[4], 0x11);
  EXPECT_EQ(b.rgba[10], 0x66);
  // 32 bits with bit fields naming alpha.
  const std::string masks = Le(0x0000FF00, 4) + Le(0x00FF0000, 4) + Le(0xFF000000, 4) + Le(0x000000FF, 4);
  const DecodedPicture c = Decode(Bmp(1, 1, 32, 6, masks, Le(0x30201080, 4)));
  const uint8_t wantC[] = {0x10, 0x20, 0x30, 0x80};
  EXPECT_EQ(std::memcmp(c.rgba.data(), wantC, 4), 0);
  // A file cut short: the missing rows are transparent.
  const DecodedPicture d = Decode(Bmp(2, 2, 24, 0, "", rows24.substr(0, 8)));
  EXPECT_EQ(d.rgba[3], 0);
  EXPECT_EQ(d.rgba[11], 255);
}

TEST(PictureScaler, EachPixelIsTheMeanOfThoseItCoversByAlpha) {
  // 4 x 2 to 2 x 1: pairs of columns over both rows.
  const uint8_t rows[2][16] = {{200, 0, 0, 255, 0, 0, 0, 0, 10, 20, 30, 255, 30, 40, 50, 255},
                               {100, 0, 0, 255, 0, 0, 0, 0, 10, 20, 30, 255, 30, 40, 50, 127}};
  PictureScaler scaler(4, 2, 2, 1);
  scaler.AddRow(0, rows[0]);
  scaler.AddRow(1, rows[1]);
  const std::vector<uint8_t> out = scaler.Finish();
  ASSERT_EQ(out.size(), 8u);
  // A transparent pixel does not darken the colour, it only lowers alpha.
  EXPECT_EQ(out[0], 150);
  EXPECT_EQ(out[1], 0);
  EXPECT_EQ(out[3], 128);
  EXPECT_EQ(out[7], (255 * 3 + 127 + 2) / 4);
  EXPECT_EQ(out[4], (10 * 255 * 2 + 30 * 255 + 30 * 127 + 637) / (255 * 3 + 127));
  // Rows never given are transparent.
  PictureScaler partial(2, 4, 2, 2);
  partial.AddRow(0, rows[0]);
  EXPECT_EQ(partial.Finish()[4 * 2 + 3], 0);
}

TEST(PictureDecoder, AHugePictureDecodesToTheShownSizeInLittleMemory) {
  // 8000 x 8000: 256 MB at its own size.
  const std::string png = test::StripesPng(8000, 8000);
  uint32_t w = 0, h = 0;
  ASSERT_TRUE(ReadPictureSize(Bytes(png), png.size(), w, h));
  EXPECT_EQ(w, 8000u);
  DecodedPicture p;
  test::AllocationCounter counter;
  ASSERT_TRUE(DecodePictureAtSize(Bytes(png), png.size(), 768, 768, uint64_t{1} << 30, p));
  EXPECT_EQ(p.width, 768u);
  EXPECT_EQ(p.height, 768u);
  // The result (2.4 MB) and a few rows of the source.
  EXPECT_LT(counter.Peak(), size_t{8} << 20);
  // Shown row 96 stands for source rows 1000 to 1010: stripe 10, grey 44.
  EXPECT_EQ(p.rgba[(size_t{96} * 768 + 5) * 4], 44);
  // More pixels than allowed: refused before any is decoded.
  EXPECT_FALSE(DecodePictureAtSize(Bytes(png), png.size(), 768, 768, 8000 * 7999, p));
}

TEST(PictureDecoders, DamagedFilesNeverReadOutsideTheirData) {
  // Run under AddressSanitizer: every cut and every flipped byte of every
  // kind of picture decodes to something or to nothing, never outside.
  std::vector<std::string> files;
  for (const char* name : {"baseline-420.jpg", "progressive-420.jpg", "restart.jpg", "grey.jpg",
                           "cmyk.jpg", "plain.gif", "interlaced.gif", "transparent.gif"})
    files.push_back(Fixture(name));
  files.push_back(test::EncodePng(Samples(3, 4, true, 19, 13)));
  files.push_back(test::EncodePng(Samples(6, 16, false, 19, 13)));
  std::mt19937 random(5);
  int decoded = 0;
  for (const std::string& original : files) {
    ASSERT_FALSE(original.empty());
    for (size_t cut = 0; cut < original.size(); cut += 1 + original.size() / 60) {
      DecodedPicture p;
      decoded += DecodePicture(Bytes(original), cut, 1 << 20, p);
    }
    for (int round = 0; round < 300; ++round) {
      std::string damaged = original;
      for (int k = 0; k < 1 + round % 4; ++k)
        damaged[random() % damaged.size()] = static_cast<char>(random());
      DecodedPicture p;
      decoded += DecodePicture(Bytes(damaged), damaged.size(), 1 << 20, p);
      DecodePictureAtSize(Bytes(damaged), damaged.size(), 7, 5, 1 << 20, p);
    }
  }
  EXPECT_GT(decoded, 100);  // damage mostly still leaves a picture
}

TEST(PngWriter, WritesWhatTheDecoderReadsBackAndRefusesNoPicture) {
  // Flat runs, gradients and noise, with every alpha.
  std::mt19937 rng(3);
  const int w = 77, h = 31;
  std::vector<uint8_t> rgba(static_cast<size_t>(w) * h * 4);
  for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = i % 3 == 0 ? static_cast<uint8_t>(rng()) : static_cast<uint8_t>(i / 97);
  std::vector<uint8_t> png;
  ASSERT_TRUE(swf::EncodePng(w, h, rgba.data(), png));
  DecodedPicture back;
  ASSERT_TRUE(DecodePicture(png.data(), png.size(), 1 << 20, back));
  EXPECT_EQ(back.width, static_cast<uint32_t>(w));
  EXPECT_EQ(back.height, static_cast<uint32_t>(h));
  EXPECT_EQ(back.rgba, rgba);
  EXPECT_FALSE(swf::EncodePng(0, 5, rgba.data(), png));
  EXPECT_FALSE(swf::EncodePng(5, -1, rgba.data(), png));
}

}  // namespace
}  // namespace velmora
