// The fast padded gradient rows give the very colours of the plain ones: on
// random rows, on rows whose stepped sums cross powers of two, tie on a half
// unit or stand still, and on rows that run past both ends of the ramp.
#include "player/render/CpuFeatures.h"
#include "player/render/GradientRow.h"
#include "player/render/Paint.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace velmora::swf {
namespace {

constexpr int kMaxCount = 300;

// A ramp whose every entry differs, so that any index off shows.
std::vector<uint32_t> DistinctRamp() {
  std::vector<uint32_t> ramp(kRampSize);
  for (int i = 0; i < kRampSize; ++i) ramp[i] = 0x9E3779B9u * static_cast<uint32_t>(i + 1);
  return ramp;
}

// A step of any size and sign, often a short binary fraction (so that sums
// land on halves of a unit), sometimes none at all.
float Step(std::mt19937& rng, float largest) {
  std::uniform_real_distribution<float> unit(0, 1);
  const float sign = rng() % 2 ? 1.f : -1.f;
  switch (rng() % 5) {
    case 0: return 0;
    case 1: return sign * std::ldexp(static_cast<float>(1 + rng() % 15), -static_cast<int>(rng() % 24));
    case 2: return sign * largest * std::pow(10.f, -12 * unit(rng));
    default: return sign * largest * unit(rng);
  }
}

// A start on a power of two or just beside one, or anywhere in `range`.
float Start(std::mt19937& rng, float range) {
  std::uniform_real_distribution<float> any(-range, range);
  if (rng() % 3 == 0) {
    const float p = std::ldexp(1.f, static_cast<int>(rng() % 24) - 8) * (rng() % 2 ? 1 : -1);
    return rng() % 2 ? p : std::nextafter(p, rng() % 2 ? 0.f : 2 * p);
  }
  return any(rng);
}

TEST(GradientRow, FastLinearRowGivesThePlainRowsColours) {
  const std::vector<uint32_t> ramp = DistinctRamp();
  std::mt19937 rng(11);
  long compared = 0;
  for (int trial = 0; trial < 40000; ++trial) {
    const float v = Start(rng, 6000), dv = Step(rng, 40);
    const int count = static_cast<int>(rng() % (kMaxCount + 1));
    std::vector<uint32_t> plain(count + 1, 0xDEADBEEFu), fast(count + 1, 0xDEADBEEFu);
    PadLinearRowPlain(ramp.data(), v, dv, count, plain.data());
    PadLinearRow(ramp.data(), v, dv, count, fast.data());
    for (int i = 0; i <= count; ++i)
      ASSERT_EQ(plain[i], fast[i]) << "trial " << trial << " v " << v << " dv " << dv << " pixel " << i;
    compared += count;
  }
  EXPECT_GT(compared, 5000000);
}

TEST(GradientRow, FastRadialRowGivesThePlainRowsColours) {
  const std::vector<uint32_t> ramp = DistinctRamp();
  constexpr float kPerRatio = (kRampSize - 1) / 255.0f;
  const RadialRowScale k{256.0f / 16384.0f * kPerRatio, 0.5f * kPerRatio};
  // Eight at a time where the processor can, and four at a time.
  for (const bool wide : {true, false}) {
    const ScopedAvx2 width(wide);
    std::mt19937 rng(12);
    long compared = 0;
    for (int trial = 0; trial < 40000; ++trial) {
      const float x = Start(rng, 40000), y = Start(rng, 40000);
      const float sx = Step(rng, 400), sy = Step(rng, 400);
      const int count = static_cast<int>(rng() % (kMaxCount + 1));
      std::vector<uint32_t> plain(count + 1, 0xDEADBEEFu), fast(count + 1, 0xDEADBEEFu);
      PadRadialRowPlain(ramp.data(), k, x, y, sx, sy, count, plain.data());
      PadRadialRow(ramp.data(), k, x, y, sx, sy, count, fast.data());
      for (int i = 0; i <= count; ++i) {
        ASSERT_EQ(plain[i], fast[i]) << "wide " << wide << " trial " << trial << " at " << x << "," << y << " step "
                                     << sx << "," << sy << " pixel " << i;
      }
      compared += count;
    }
    EXPECT_GT(compared, 5000000);
  }
}

TEST(GradientRow, RowsThatStandStillOrRunPastTheEndsTakeOneColour) {
  const std::vector<uint32_t> ramp = DistinctRamp();
  std::vector<uint32_t> out(64);
  // A step too small to move the value.
  PadLinearRow(ramp.data(), 1000.25f, 1e-9f, 64, out.data());
  for (uint32_t c : out) EXPECT_EQ(c, ramp[1000]);
  // Starting before the first entry and moving away from the ramp.
  PadLinearRow(ramp.data(), -3, -0.5f, 64, out.data());
  for (uint32_t c : out) EXPECT_EQ(c, ramp[0]);
  PadLinearRow(ramp.data(), kRampSize + 10.f, 2, 64, out.data());
  for (uint32_t c : out) EXPECT_EQ(c, ramp[kRampSize - 1]);
  // Starting before it and moving in: one entry a pixel from the third on.
  PadLinearRow(ramp.data(), -2, 1, 64, out.data());
  EXPECT_EQ(out[0], ramp[0]);
  EXPECT_EQ(out[2], ramp[0]);
  EXPECT_EQ(out[63], ramp[61]);
  // Infinite steps go the plain way.
  PadLinearRow(ramp.data(), 5, INFINITY, 64, out.data());
  EXPECT_EQ(out[0], ramp[5]);
  EXPECT_EQ(out[1], ramp[kRampSize - 1]);
}

TEST(GradientRow, RadialRowReadsTheRampByDistance) {
  const std::vector<uint32_t> ramp = DistinctRamp();
  std::vector<uint32_t> out(8);
  // One unit of index per unit of distance, from the centre outwards.
  PadRadialRow(ramp.data(), {1, 0}, 0, 0, 3, 4, 8, out.data());
  for (int i = 0; i < 8; ++i) EXPECT_EQ(out[i], ramp[5 * i]);
}

}  // namespace
}  // namespace velmora::swf
