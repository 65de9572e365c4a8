// The span operations that cover pixels with paint give the same values
// whether a span is done eight or four pixels at a time or one by one.
#include "player/render/ChangedArea.h"
#include "player/render/Compositing.h"
#include "player/render/CpuFeatures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <vector>

namespace velmora::swf {
namespace {

// A valid premultiplied colour: no channel above its alpha.
uint32_t RandomPremultiplied(std::mt19937& rng) {
  const uint32_t pick = rng() % 4;
  const uint32_t a = pick == 0 ? 0 : pick == 1 ? 255 : rng() % 256;
  uint32_t c = a << 24;
  for (int s = 0; s < 24; s += 8) c |= (a == 0 ? 0 : rng() % (a + 1)) << s;
  return c;
}

// Coverage in runs, as a rasterizer gives it: empty, whole and partial.
std::vector<uint8_t> RandomCoverage(std::mt19937& rng, int n) {
  std::vector<uint8_t> v(n);
  for (int i = 0; i < n;) {
    const int run = 1 + static_cast<int>(rng() % 9), kind = static_cast<int>(rng() % 3);
    for (int k = 0; k < run && i < n; ++k, ++i)
      v[i] = kind == 0 ? 0 : kind == 1 ? 255 : static_cast<uint8_t>(rng());
  }
  return v;
}

// Runs `test` eight pixels at a time where the processor can, and four at
// a time.
void AtBothWidths(const std::function<void()>& test) {
  for (const bool wide : {true, false}) {
    const ScopedAvx2 width(wide);
    SCOPED_TRACE(wide ? "eight at a time" : "four at a time");
    test();
  }
}

TEST(CoverSpans, WholeSpansEqualPixelByPixel) {
  AtBothWidths([] {
    std::mt19937 rng(11);
    for (int trial = 0; trial < 300; ++trial) {
      const int n = 1 + static_cast<int>(rng() % 40);
      std::vector<uint32_t> dst(n), src(n);
      for (int i = 0; i < n; ++i) {
        dst[i] = RandomPremultiplied(rng);
        src[i] = RandomPremultiplied(rng);
      }
      const std::vector<uint8_t> coverage = RandomCoverage(rng, n), maskValues = RandomCoverage(rng, n);
      const uint8_t* mask = trial % 2 ? maskValues.data() : nullptr;
      const uint32_t solid = RandomPremultiplied(rng);

      std::vector<uint32_t> over = dst, overOne = dst, fill = dst, fillOne = dst, add = dst, addOne = dst;
      BlendOverSpan(over.data(), src.data(), coverage.data(), mask, n);
      BlendSolidSpan(fill.data(), solid, coverage.data(), mask, n);
      AddSpan(add.data(), src.data(), coverage.data(), n);
      for (int i = 0; i < n; ++i) {
        BlendOverSpan(&overOne[i], &src[i], &coverage[i], mask ? mask + i : nullptr, 1);
        BlendSolidSpan(&fillOne[i], solid, &coverage[i], mask ? mask + i : nullptr, 1);
        AddSpan(&addOne[i], &src[i], &coverage[i], 1);
      }
      ASSERT_EQ(over, overOne) << "trial " << trial;
      ASSERT_EQ(fill, fillOne) << "trial " << trial;
      ASSERT_EQ(add, addOne) << "trial " << trial;
    }
  });
}

TEST(CoverSpans, OpaquePicturesOverWholeCoverageEqualPixelByPixel) {
  AtBothWidths([] {
    // Pictures without transparency: runs of four wholly covered opaque
    // pixels take the span's short way.
    std::mt19937 rng(12);
    for (int trial = 0; trial < 300; ++trial) {
      const int n = 1 + static_cast<int>(rng() % 40);
      std::vector<uint32_t> dst(n), src(n);
      for (int i = 0; i < n; ++i) {
        dst[i] = RandomPremultiplied(rng);
        src[i] = rng() % 8 ? 0xFF000000u | (rng() & 0xFFFFFF) : RandomPremultiplied(rng);
      }
      const std::vector<uint8_t> coverage = RandomCoverage(rng, n), maskValues = RandomCoverage(rng, n);
      const uint8_t* mask = trial % 2 ? maskValues.data() : nullptr;
      std::vector<uint32_t> over = dst, overOne = dst;
      BlendOverSpan(over.data(), src.data(), coverage.data(), mask, n);
      for (int i = 0; i < n; ++i) BlendOverSpan(&overOne[i], &src[i], &coverage[i], mask ? mask + i : nullptr, 1);
      ASSERT_EQ(over, overOne) << "trial " << trial;
    }
  });
}

TEST(CoverSpans, TranslucentPaintOverWholeCoverageEqualsPixelByPixel) {
  AtBothWidths([] {
    // Runs of four wholly covered pixels of paint of every alpha, each channel
    // anywhere up to it, over every kind of pixel: the short way without the
    // scaling by coverage.
    std::mt19937 rng(13);
    for (uint32_t a = 0; a < 256; ++a) {
      const int n = 64;
      std::vector<uint32_t> dst(n), src(n);
      for (int i = 0; i < n; ++i) {
        dst[i] = RandomPremultiplied(rng);
        src[i] = a << 24;
        for (int s = 0; s < 24; s += 8) src[i] |= (i % 4 == 0 ? a : rng() % (a + 1)) << s;
      }
      const std::vector<uint8_t> coverage(n, 255);
      std::vector<uint32_t> over = dst, overOne = dst, fill = dst, fillOne = dst;
      BlendOverSpan(over.data(), src.data(), coverage.data(), nullptr, n);
      BlendSolidSpan(fill.data(), src[1], coverage.data(), nullptr, n);
      for (int i = 0; i < n; ++i) {
        BlendOverSpan(&overOne[i], &src[i], &coverage[i], nullptr, 1);
        BlendSolidSpan(&fillOne[i], src[1], &coverage[i], nullptr, 1);
      }
      ASSERT_EQ(over, overOne) << "alpha " << a;
      ASSERT_EQ(fill, fillOne) << "alpha " << a;
    }
  });
}

TEST(ChangedArea, TheSmallestRectangleAroundEveryChangedPixel) {
  std::mt19937 rng(4);
  for (int trial = 0; trial < 200; ++trial) {
    const int w = 1 + static_cast<int>(rng() % 30), h = 1 + static_cast<int>(rng() % 20);
    std::vector<uint32_t> before(static_cast<size_t>(w) * h);
    for (uint32_t& p : before) p = rng();
    std::vector<uint32_t> now = before;
    ChangedRect expected{w, h, 0, 0};
    const int changes = static_cast<int>(rng() % 4);
    for (int k = 0; k < changes; ++k) {
      const int x = static_cast<int>(rng() % w), y = static_cast<int>(rng() % h);
      now[static_cast<size_t>(y) * w + x] = before[static_cast<size_t>(y) * w + x] + 1 + static_cast<uint32_t>(k);
      expected = {std::min(expected.x0, x), std::min(expected.y0, y), std::max(expected.x1, x + 1),
                  std::max(expected.y1, y + 1)};
    }
    // Top-down against top-down, and against the same picture stored bottom-up.
    std::vector<uint32_t> flipped(before.size());
    for (int y = 0; y < h; ++y)
      std::copy(before.begin() + y * w, before.begin() + (y + 1) * w, flipped.begin() + (h - 1 - y) * w);
    for (bool bottomUp : {false, true}) {
      const ChangedRect r = bottomUp ? ChangedArea(now.data(), w, flipped.data() + (h - 1) * w, -w, w, h)
                                     : ChangedArea(now.data(), w, before.data(), w, w, h);
      if (changes == 0) {
        EXPECT_TRUE(r.Empty());
        continue;
      }
      EXPECT_EQ(r.x0, expected.x0) << trial;
      EXPECT_EQ(r.y0, expected.y0) << trial;
      EXPECT_EQ(r.x1, expected.x1) << trial;
      EXPECT_EQ(r.y1, expected.y1) << trial;
    }
  }
}

}  // namespace
}  // namespace velmora::swf
