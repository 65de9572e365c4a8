// Bilinear samples in whole numbers: the fast row gives the plain row's
// values bit for bit along lines of every slant and scale; each mix lies
// within a fiftieth of a level of the exact mix at its point before
// rounding, and is exact on texels and half way between them; the run of
// samples inside a picture is found exactly.
#include "player/render/BilinearRow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace velmora::swf {
namespace {

constexpr int kWidth = 61, kHeight = 47, kSamples = 200;
constexpr double kPi = 3.14159265358979323846;

std::vector<uint32_t> Picture(int kind, std::mt19937& rng) {
  std::vector<uint32_t> texels(kWidth * kHeight);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      uint32_t p = 0;
      if (kind == 0) p = static_cast<uint32_t>(rng());           // noise, any channel values
      if (kind == 1) p = 0xFF336699u;                             // flat
      if (kind == 2) p = ((x / 3 + y / 2) % 2) ? 0xFFFFFFFFu : 0xFF000000u | (rng() % 2);  // hard steps
      if (kind == 3) p = static_cast<uint32_t>(rng()) % 2 ? 0x80FF0080u : 0x7F7F007Fu;  // odd sums
      texels[y * kWidth + x] = p;
    }
  return texels;
}

double Channel(uint32_t p, int shift) { return static_cast<double>((p >> shift) & 0xFF); }

TEST(BilinearRow, FastRowGivesThePlainRowsValuesAlongEveryLine) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> unit(0, 1), angle(-kPi, kPi), scale(0.05, 4);
  long compared = 0;
  for (int trial = 0; trial < 3000; ++trial) {
    const std::vector<uint32_t> texels = Picture(trial % 4, rng);
    // Any slant and length, negative steps too; every third line runs along
    // one axis only, so the row taken once is covered.
    const double a = trial % 3 == 0 ? (rng() % 4) * kPi / 2 : angle(rng), s = scale(rng) / 8;
    const double stepX = trial % 3 == 0 ? std::round(std::cos(a)) * s : s * std::cos(a);
    const double stepY = trial % 3 == 0 ? std::round(std::sin(a)) * s : s * std::sin(a);
    const int64_t du = FixedSampleStep(stepX), dv = FixedSampleStep(stepY);
    const int64_t u = FixedSamplePoint(1 + unit(rng) * (kWidth - 2)), v = FixedSamplePoint(1 + unit(rng) * (kHeight - 2));
    const SampleRun across = SamplesWithin(u, du, kWidth - 2, kSamples), down = SamplesWithin(v, dv, kHeight - 2, kSamples);
    ASSERT_EQ(across.begin, 0);
    ASSERT_EQ(down.begin, 0);
    const int count = std::min(across.end, down.end);
    std::vector<uint32_t> plain(count), fast(count);
    BilinearRowPlain(texels.data(), kWidth, u, v, du, dv, count, plain.data());
    BilinearRow(texels.data(), kWidth, u, v, du, dv, count, fast.data());
    for (int i = 0; i < count; ++i)
      ASSERT_EQ(plain[i], fast[i]) << std::hex << "trial " << std::dec << trial << " sample " << i;
    compared += count;
  }
  EXPECT_GT(compared, 100000);
}

TEST(BilinearRow, EachMixLiesWithinAFiftiethOfTheExactMix) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> unit(0, 1);
  for (int trial = 0; trial < 200000; ++trial) {
    const uint32_t p[4] = {static_cast<uint32_t>(rng()), static_cast<uint32_t>(rng()), static_cast<uint32_t>(rng()),
                           static_cast<uint32_t>(rng())};
    const int64_t u = FixedSamplePoint(0.5 + unit(rng)), v = FixedSamplePoint(0.5 + unit(rng));
    // A point rounded up onto the next texel is left out: it weighs that
    // texel alone.
    if (SampleTexel(u) != 0 || SampleTexel(v) != 0) continue;
    // The exact mix at the point on the weights' grid.
    const double fx = SampleWeight(u) / 16384.0, fy = SampleWeight(v) / 16384.0;
    const uint32_t mixed = MixTexels(p[0], p[1], p[2], p[3], SampleWeight(u), SampleWeight(v));
    for (int shift = 0; shift < 32; shift += 8) {
      const double top = Channel(p[0], shift) * (1 - fx) + Channel(p[1], shift) * fx;
      const double bottom = Channel(p[2], shift) * (1 - fx) + Channel(p[3], shift) * fx;
      const double exact = top * (1 - fy) + bottom * fy;
      const double got = Channel(mixed, shift);
      // Within the rounding of a value that itself errs by under 0.02.
      ASSERT_LE(std::fabs(got - exact), 0.52) << "trial " << trial << " channel " << shift / 8;
      if (std::fabs(exact - std::floor(exact) - 0.5) > 0.02) {
        ASSERT_EQ(got, std::floor(exact + 0.5)) << "trial " << trial << " channel " << shift / 8;
      }
    }
  }
}

TEST(BilinearRow, TexelsComeThroughWholeAndHalvesAreTheirMeans) {
  std::mt19937 rng(11);
  for (int trial = 0; trial < 10000; ++trial) {
    const uint32_t p[4] = {static_cast<uint32_t>(rng()), static_cast<uint32_t>(rng()), static_cast<uint32_t>(rng()),
                           static_cast<uint32_t>(rng())};
    EXPECT_EQ(MixTexels(p[0], p[1], p[2], p[3], 0, 0), p[0]);
    // A picture shown at its own size on whole pixels: every pixel centre
    // falls on a texel's centre.
    const int64_t onTexel = FixedSamplePoint(1.5);
    ASSERT_EQ(SampleTexel(onTexel), 1);
    ASSERT_EQ(SampleWeight(onTexel), 0u);
    // Points are rounded to the weights' grid, not cut: a hair before the
    // centre (the rounding of a scaled position) is still on it.
    const int64_t justBefore = FixedSamplePoint(1.5 - 1e-7);
    ASSERT_EQ(SampleTexel(justBefore), 1);
    ASSERT_EQ(SampleWeight(justBefore), 0u);
    // Points beyond reach are held at its edge, and a broken one at 0.
    ASSERT_EQ(SampleTexel(FixedSamplePoint(1e300)), SampleTexel(FixedSamplePoint(1 << 30)));
    ASSERT_EQ(SampleTexel(FixedSamplePoint(-1e300)), SampleTexel(FixedSamplePoint(-(1 << 30))));
    ASSERT_EQ(FixedSamplePoint(std::nan("")), FixedSamplePoint(0));
    // Half way across and down, as a picture shown at twice its size.
    const int64_t half = FixedSamplePoint(1.0);
    ASSERT_EQ(SampleWeight(half), 8192u);
    const uint32_t mean = MixTexels(p[0], p[1], p[0], p[1], 8192, 0);
    for (int shift = 0; shift < 32; shift += 8)
      ASSERT_EQ(Channel(mean, shift), std::floor((Channel(p[0], shift) + Channel(p[1], shift)) / 2 + 0.5));
  }
  // A quarter of the way right and half way down, as a whole row.
  const std::vector<uint32_t> texels = {0xFF000000u, 0xFF0000FFu, 0xFFFF0000u, 0xFFFF00FFu};
  uint32_t out[3] = {};
  BilinearRow(texels.data(), 2, FixedSamplePoint(0.75), FixedSamplePoint(1.0), 0, 0, 3, out);
  // Blue: 255 * 0.25 = 63.75 -> 64; red: 255 * 0.5 = 127.5 -> 128.
  EXPECT_EQ(out[0], 0xFF800040u);
  EXPECT_EQ(out[2], 0xFF800040u);
}

TEST(BilinearRow, TheRunInsideAPictureIsFoundExactly) {
  std::mt19937 rng(13);
  std::uniform_int_distribution<int64_t> start(-40 * (int64_t{1} << 32), 40 * (int64_t{1} << 32));
  std::uniform_int_distribution<int64_t> step(-3 * (int64_t{1} << 32), 3 * (int64_t{1} << 32));
  for (int trial = 0; trial < 20000; ++trial) {
    const int64_t s = start(rng);
    // Steps of zero and of whole texels, where a sample falls on the edge.
    const int64_t d = trial % 5 == 0 ? 0 : trial % 5 == 1 ? (static_cast<int64_t>(rng() % 7) - 3) * (int64_t{1} << 32) : step(rng);
    const int64_t last = static_cast<int64_t>(rng() % 30) - 1;
    const int count = static_cast<int>(rng() % 60);
    const SampleRun run = SamplesWithin(s, d, last, count);
    for (int i = 0; i < count; ++i) {
      const int64_t texel = SampleTexel(s + d * i);
      const bool inside = texel >= 0 && texel <= last;
      ASSERT_EQ(inside, i >= run.begin && i < run.end)
          << "trial " << trial << " sample " << i << " start " << s << " step " << d << " last " << last;
    }
  }
}

}  // namespace
}  // namespace velmora::swf
