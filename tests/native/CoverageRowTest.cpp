// The four-at-a-time resolving of a row's coverage gives the same values as
// the pixel-by-pixel one on rows built as the rasterizer builds them, and
// both leave the accumulators clear.
#include "player/render/CoverageRow.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace velmora::swf {
namespace {

// The fast row resolves `cover` and `runs` to the plain row's levels and
// leaves its accumulators clear.
void ExpectFastRowAsPlain(std::vector<float> cover, std::vector<float> runs, int count) {
  std::vector<float> cover2 = cover, runs2 = runs;
  std::vector<uint8_t> plain(count), fast(count);
  ResolveCoverageRow(cover.data(), runs.data(), count, plain.data());
  ResolveCoverageRowFast(cover2.data(), runs2.data(), count, fast.data());
  ASSERT_EQ(plain, fast) << "count " << count;
  for (int i = 0; i < count; ++i) {
    ASSERT_EQ(cover2[i], 0.f) << i;
    ASSERT_EQ(runs2[i], 0.f) << i;
  }
}

TEST(CoverageRow, FourAtATimeMatchesPixelByPixelOnRasterizedRows) {
  std::mt19937 rng(11);
  for (int trial = 0; trial < 2000; ++trial) {
    const int count = 1 + static_cast<int>(rng() % 300);
    // Anti-aliased rows hold quarters and sixteenths, aliased ones wholes;
    // overlapping spans of a non-zero fill pile up beyond one.
    const bool antialias = trial % 3 != 0;
    const float weight = antialias ? 0.25f : 1.f;
    std::vector<float> cover(count + 2, 0.f), runs(count + 2, 0.f);
    const int spans = static_cast<int>(rng() % 40);
    for (int s = 0; s < spans; ++s) {
      int a = static_cast<int>(rng() % (count + 1)), b = static_cast<int>(rng() % (count + 1));
      if (a > b) std::swap(a, b);
      runs[a] += weight;
      runs[b] -= weight;
      if (antialias) {
        cover[a] += static_cast<float>(rng() % 5) / 16;
        cover[b] += static_cast<float>(rng() % 5) / 16;
      }
    }
    SCOPED_TRACE(trial);
    ExpectFastRowAsPlain(cover, runs, count);
    if (::testing::Test::HasFatalFailure()) return;
  }
}

TEST(CoverageRow, LongRunsBetweenFewEdgesMatchPixelByPixel) {
  // A large shape's rows: long stretches inside it where nothing starts or
  // ends, between edges at any place, one shape over another.
  std::mt19937 rng(12);
  for (int trial = 0; trial < 3000; ++trial) {
    const int count = 1 + static_cast<int>(rng() % 2000);
    std::vector<float> cover(count + 2, 0.f), runs(count + 2, 0.f);
    const int spans = 1 + static_cast<int>(rng() % 3);
    for (int s = 0; s < spans; ++s) {
      int a = static_cast<int>(rng() % (count + 1)), b = static_cast<int>(rng() % (count + 1));
      if (a > b) std::swap(a, b);
      const float weight = static_cast<float>(1 + rng() % 16) / 16;
      runs[a] += weight;
      runs[b] -= weight;
      cover[a] += static_cast<float>(rng() % 5) / 16;
      cover[b] += static_cast<float>(rng() % 5) / 16;
    }
    SCOPED_TRACE(trial);
    ExpectFastRowAsPlain(cover, runs, count);
    if (::testing::Test::HasFatalFailure()) return;
  }
}

TEST(CoverageRow, WholeAndPartialPixelsBecomeTheirLevels) {
  // One run over pixels 1..5, a quarter covered at 1 and half at 6.
  std::vector<float> cover = {0, 0.25f, 0, 0, 0, 0, 0.5f, 0, 0}, runs = {0, 0, 1, 0, 0, 0, -1, 0, 0};
  std::vector<uint8_t> out(9);
  ResolveCoverageRowFast(cover.data(), runs.data(), 9, out.data());
  EXPECT_EQ(out, (std::vector<uint8_t>{0, 64, 255, 255, 255, 255, 128, 0, 0}));
}

}  // namespace
}  // namespace velmora::swf
