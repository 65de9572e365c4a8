// Bitmap fills give each pixel the texel under its centre (or, smoothed,
// the mix of the four around it), the same however its row is cut into
// spans: whole rows that run off the picture, and single pixels inside it or
// beside it.
#include "player/render/Paint.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace velmora::swf {
namespace {

int Texel(double u, int size, bool repeat) {
  const int t = static_cast<int>(std::floor(u));
  return repeat ? ((t % size) + size) % size : std::clamp(t, 0, size - 1);
}

TEST(BitmapPaint, RowsInsideThePictureTakeTheSameTexelsAsRowsRunningOffIt) {
  Bitmap bitmap;
  bitmap.width = 37;
  bitmap.height = 23;
  for (int i = 0; i < bitmap.width * bitmap.height; ++i)
    bitmap.pixels.push_back(0xFF000000u | static_cast<uint32_t>(i * 2654435761u >> 8));
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> turn(-1, 1), shift(-200, 200);
  constexpr int kWidth = 160;
  std::vector<uint32_t> row(kWidth), pixel(1);
  for (bool smooth : {false, true})
    for (bool repeat : {false, true})
      for (int trial = 0; trial < 20; ++trial) {
        FillStyle style;
        style.kind = FillKind::Bitmap;
        style.bitmapRepeat = repeat;
        style.bitmapSmooth = smooth;
        // Texels a few pixels wide, turned and sheared at random.
        style.matrix = {60 + 40 * turn(rng), 30 * turn(rng), 30 * turn(rng), 60 + 40 * turn(rng),
                        20 * shift(rng), 20 * shift(rng)};
        const Matrix toPixels{0.05, 0, 0, 0.05, 0, 0};
        const Paint paint(style, toPixels, ColorTransform{}, &bitmap, true);
        Matrix toTexels;
        ASSERT_TRUE((toPixels * style.matrix).Invert(toTexels));
        for (int y = 0; y < 120; y += 7) {
          paint.Fill(y, 0, kWidth, row.data());
          for (int x = 0; x < kWidth; ++x) {
            paint.Fill(y, x, 1, pixel.data());
            ASSERT_EQ(pixel[0], row[x]) << "smooth " << smooth << " repeat " << repeat << " trial " << trial
                                        << " at " << x << "," << y;
            if (smooth) {
              // Inside the picture, the bilinear mix of the four texels
              // around the pixel's centre, channel by channel.
              const double u = toTexels.a * (x + 0.5) + toTexels.c * (y + 0.5) + toTexels.tx - 0.5;
              const double v = toTexels.b * (x + 0.5) + toTexels.d * (y + 0.5) + toTexels.ty - 0.5;
              if (u < 0.01 || v < 0.01 || u > bitmap.width - 1.01 || v > bitmap.height - 1.01) continue;
              const int x0 = static_cast<int>(u), y0 = static_cast<int>(v);
              const double fx = u - x0, fy = v - y0;
              const uint32_t* t = bitmap.pixels.data() + y0 * bitmap.width + x0;
              for (int shift = 0; shift < 32; shift += 8) {
                auto ch = [&](uint32_t p) { return static_cast<double>((p >> shift) & 0xFF); };
                const double top = ch(t[0]) * (1 - fx) + ch(t[1]) * fx;
                const double bottom = ch(t[bitmap.width]) * (1 - fx) + ch(t[bitmap.width + 1]) * fx;
                const int expected = static_cast<int>(top * (1 - fy) + bottom * fy + 0.5);
                ASSERT_NEAR(static_cast<int>((pixel[0] >> shift) & 0xFF), expected, 1)
                    << "channel " << shift / 8 << " trial " << trial << " at " << x << "," << y;
              }
              continue;
            }
            // Unsmoothed, the texel under the pixel's centre, clamped or wrapped.
            const double u = toTexels.a * (x + 0.5) + toTexels.c * (y + 0.5) + toTexels.tx;
            const double v = toTexels.b * (x + 0.5) + toTexels.d * (y + 0.5) + toTexels.ty;
            ASSERT_EQ(pixel[0], bitmap.pixels[Texel(v, bitmap.height, repeat) * bitmap.width +
                                              Texel(u, bitmap.width, repeat)])
                << "repeat " << repeat << " trial " << trial << " at " << x << "," << y;
          }
        }
      }
}

TEST(BitmapPaint, APictureFarOffOrShrunkBeyondReachShowsItsEdgeTexels) {
  Bitmap bitmap;
  bitmap.width = 5;
  bitmap.height = 4;
  for (int i = 0; i < 20; ++i) bitmap.pixels.push_back(0xFF000000u | static_cast<uint32_t>(i * 0x0A0B0C));
  const Matrix toPixels{0.05, 0, 0, 0.05, 0, 0};
  std::vector<uint32_t> row(64);
  for (bool smooth : {false, true}) {
    FillStyle style;
    style.kind = FillKind::Bitmap;
    style.bitmapRepeat = false;
    style.bitmapSmooth = smooth;
    // Placed far to the right and below: every pixel lies above and left of
    // it, where the clamped picture shows its first texel.
    style.matrix = {20, 0, 0, 20, 1e15, 1e15};
    Paint(style, toPixels, ColorTransform{}, &bitmap, true).Fill(3, 0, 64, row.data());
    for (uint32_t p : row) ASSERT_EQ(p, bitmap.pixels[0]) << "smooth " << smooth;
    // Far to the left and above: the last texel.
    style.matrix = {20, 0, 0, 20, -1e15, -1e15};
    Paint(style, toPixels, ColorTransform{}, &bitmap, true).Fill(3, 0, 64, row.data());
    for (uint32_t p : row) ASSERT_EQ(p, bitmap.pixels.back()) << "smooth " << smooth;
    // Shrunk to almost nothing: a texel per pixel beyond any reach, and
    // still a texel of the picture's edges.
    style.matrix = {1e-9, 0, 0, 1e-9, 0, 0};
    Paint(style, toPixels, ColorTransform{}, &bitmap, true).Fill(3, 0, 64, row.data());
    for (uint32_t p : row)
      ASSERT_TRUE(p == bitmap.pixels[4 * 5 - 1] || p == bitmap.pixels[4] || p == bitmap.pixels[15]) << std::hex << p;
  }
}

}  // namespace
}  // namespace velmora::swf
