// An opaque paint written straight into the target gives the pixels the
// blend through a paint row gives: over spans whose inside is wholly
// covered and whose ends are anti-aliased, spans with holes, short ones;
// and paints are opaque exactly when every colour they give is.
#include "player/render/SpanCover.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace velmora::swf {
namespace {

Bitmap RandomBitmap(std::mt19937& rng, bool opaque) {
  Bitmap b;
  b.width = 23;
  b.height = 17;
  for (int i = 0; i < b.width * b.height; ++i) {
    const uint32_t a = opaque ? 255 : rng() % 256;
    uint32_t p = a << 24;
    for (int s = 0; s < 24; s += 8) p |= (rng() % (a + 1)) << s;
    b.pixels.push_back(p);
  }
  b.opaque = opaque;
  return b;
}

// Coverage as a shape's row gives it: partial ends around a covered inside,
// with a hole in some of them.
std::vector<uint8_t> RowCoverage(std::mt19937& rng, int n, bool hole) {
  std::vector<uint8_t> c(n, 255);
  const int head = static_cast<int>(rng() % 4), tail = static_cast<int>(rng() % 4);
  for (int i = 0; i < head && i < n; ++i) c[i] = static_cast<uint8_t>(rng() % 255);
  for (int i = 0; i < tail && i < n; ++i) c[n - 1 - i] = static_cast<uint8_t>(rng() % 255);
  if (hole && n > 10) c[n / 2] = static_cast<uint8_t>(rng() % 255);
  return c;
}

TEST(SpanCover, OpaquePaintStraightIntoTheTargetBlendsAsThroughARow) {
  std::mt19937 rng(17);
  const Bitmap bitmap = RandomBitmap(rng, true);
  std::vector<uint32_t> scratch;
  int direct = 0;
  for (int trial = 0; trial < 2000; ++trial) {
    FillStyle style;
    if (trial % 2) {
      style.kind = FillKind::Bitmap;
      style.bitmapSmooth = trial % 4 == 1;
      style.bitmapRepeat = trial % 8 < 4;
      style.matrix = {40.0 + rng() % 40, 0, 0, 40.0 + rng() % 40, -20.0 * (rng() % 200), -20.0 * (rng() % 100)};
    } else {
      style.kind = FillKind::LinearGradient;
      style.gradient.stops = {{0, {200, 10, 30, 255}}, {255, {10, 220, 90, 255}}};
      style.matrix = {0.05 + 0.01 * (rng() % 10), 0, 0, 0.05, 2000.0, 0};
    }
    const Paint paint(style, Matrix{0.05, 0, 0, 0.05, 0, 0}, ColorTransform{}, &bitmap, true);
    ASSERT_TRUE(paint.Opaque());
    const int n = 1 + static_cast<int>(rng() % 120), x = static_cast<int>(rng() % 50), y = static_cast<int>(rng() % 60);
    const std::vector<uint8_t> coverage = RowCoverage(rng, n, trial % 5 == 0);
    std::vector<uint32_t> target(n);
    for (uint32_t& p : target) p = 0xFF000000u | static_cast<uint32_t>(rng());
    std::vector<uint32_t> straight = target, blended = target;
    CoverSpan(paint, true, y, x, n, coverage.data(), nullptr, straight.data(), scratch);
    CoverSpan(paint, false, y, x, n, coverage.data(), nullptr, blended.data(), scratch);
    ASSERT_EQ(straight, blended) << "trial " << trial;
    if (n >= 40 && trial % 5 != 0) ++direct;
  }
  EXPECT_GT(direct, 300);
}

TEST(SpanCover, APaintIsOpaqueWhenEveryColourItGivesIs) {
  std::mt19937 rng(19);
  const Bitmap solid = RandomBitmap(rng, true), seeThrough = RandomBitmap(rng, false);
  FillStyle picture;
  picture.kind = FillKind::Bitmap;
  picture.matrix = {20, 0, 0, 20, 0, 0};
  const Matrix toPixels{0.05, 0, 0, 0.05, 0, 0};
  EXPECT_TRUE(Paint(picture, toPixels, ColorTransform{}, &solid, true).Opaque());
  EXPECT_FALSE(Paint(picture, toPixels, ColorTransform{}, &seeThrough, true).Opaque());
  // A fade of the picture lets what lies below show; a brightening does not.
  EXPECT_FALSE(Paint(picture, toPixels, ColorTransform::Alpha(0.5), &solid, true).Opaque());
  ColorTransform brighter;
  brighter.rAdd = 40;
  EXPECT_TRUE(Paint(picture, toPixels, brighter, &solid, true).Opaque());
  FillStyle gradient;
  gradient.kind = FillKind::RadialGradient;
  gradient.gradient.stops = {{0, {255, 255, 255, 255}}, {255, {0, 0, 0, 255}}};
  EXPECT_TRUE(Paint(gradient, toPixels, ColorTransform{}, nullptr, true).Opaque());
  gradient.gradient.stops.back().color.a = 254;
  EXPECT_FALSE(Paint(gradient, toPixels, ColorTransform{}, nullptr, true).Opaque());
}

}  // namespace
}  // namespace velmora::swf
