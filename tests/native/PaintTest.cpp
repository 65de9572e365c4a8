// Bitmap fills give each pixel the same texel however its row is cut into
// spans: whole rows that run off the picture, and single pixels inside it.
#include "player/Paint.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace velmora::swf {
namespace {

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
        for (int y = 0; y < 120; y += 7) {
          paint.Fill(y, 0, kWidth, row.data());
          for (int x = 0; x < kWidth; ++x) {
            paint.Fill(y, x, 1, pixel.data());
            ASSERT_EQ(pixel[0], row[x]) << "smooth " << smooth << " repeat " << repeat << " trial " << trial
                                        << " at " << x << "," << y;
          }
        }
      }
}

}  // namespace
}  // namespace velmora::swf
