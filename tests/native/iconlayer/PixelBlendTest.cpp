// The stretch blend of 32-bit surfaces: copies, constant and pixel alpha,
// the fast path for photographs, smoothing, bad rectangles.
#include "iconlayer/PixelBlend.h"
#include "wallpaper/SlideshowTiming.h"  // the fade's opacities

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <vector>

namespace velmora {
namespace {

struct Pixels {
  std::vector<uint8_t> data;
  PixelView view;
  Pixels(int w, int h, uint32_t bgra) : data(static_cast<size_t>(w) * h * 4) {
    for (size_t i = 0; i < data.size(); i += 4)
      for (int c = 0; c < 4; ++c) data[i + c] = static_cast<uint8_t>(bgra >> (8 * c));
    view = {data.data(), w, h, w * 4};
  }
  uint32_t At(int x, int y) const {
    const uint8_t* p = view.Row(y) + 4 * x;
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
  }
};

TEST(StretchBlend, OpaqueCopyScalesAndClips) {
  Pixels src(2, 1, 0xFF0000FF);  // opaque blue on the left, green on the right
  src.data[4] = 0;
  src.data[5] = 0xFF;
  src.data[6] = 0;
  Pixels dst(8, 2, 0xFF000000);
  ASSERT_TRUE(StretchBlend(src.view, {0, 0, 2, 1}, dst.view, {-2, 0, 8, 2}, 255, false));
  // Target x = -2..5 maps 4 pixels per source pixel: x 0,1 left colour, 2..5 right.
  EXPECT_EQ(dst.At(0, 0), src.At(0, 0));
  EXPECT_EQ(dst.At(1, 1), src.At(0, 0));
  EXPECT_EQ(dst.At(2, 0), src.At(1, 0));
  EXPECT_EQ(dst.At(5, 1), src.At(1, 0));
  EXPECT_EQ(dst.At(6, 0), 0xFF000000u);  // outside the target rectangle
}

TEST(StretchBlend, ConstantAndPixelAlpha) {
  Pixels white(1, 1, 0xFFFFFFFF);
  Pixels dst(1, 1, 0xFF000000);
  StretchBlend(white.view, {0, 0, 1, 1}, dst.view, {0, 0, 1, 1}, 128, false);
  EXPECT_EQ(dst.At(0, 0) & 0xFF, 128u);
  Pixels same(1, 1, 0xFF000000);
  StretchBlend(white.view, {0, 0, 1, 1}, same.view, {0, 0, 1, 1}, 0, false);
  EXPECT_EQ(same.At(0, 0), 0xFF000000u);  // alpha 0 draws nothing
  Pixels clear(1, 1, 0x00FFFFFF);          // white with pixel alpha 0
  StretchBlend(clear.view, {0, 0, 1, 1}, same.view, {0, 0, 1, 1}, 255, true);
  EXPECT_EQ(same.At(0, 0), 0xFF000000u);
  // Repeated fades over the previous result approach the source.
  Pixels fade(1, 1, 0xFF000000);
  for (int a : FadeOpacities(30)) StretchBlend(white.view, {0, 0, 1, 1}, fade.view, {0, 0, 1, 1}, a, false);
  EXPECT_GT(fade.At(0, 0) & 0xFF, 200u);
  StretchBlend(white.view, {0, 0, 1, 1}, fade.view, {0, 0, 1, 1}, 255, false);
  EXPECT_EQ(fade.At(0, 0), 0xFFFFFFFFu);
}

TEST(StretchBlend, TheFastPathForPhotographsIsWithinOneOfThePixelByPixelPath) {
  std::mt19937 rng(8);
  struct Case {
    int srcW, srcH;
    BlendRect from, to;
    int dstW, dstH;
  };
  const Case cases[] = {
      {96, 54, {0, 0, 96, 54}, {0, 0, 192, 108}, 192, 108},     // the fade: half size, doubled
      {61, 37, {3, 2, 50, 30}, {-7, 5, 141, 77}, 130, 90},      // odd sizes, clipped, offset
      {40, 40, {0, 0, 40, 40}, {10, 10, 23, 23}, 50, 50},       // made smaller
  };
  for (const Case& c : cases)
    for (int alpha : {1, 90, 200, 255})
      for (int damaged = 0; damaged < 3; ++damaged) {
        Pixels src(c.srcW, c.srcH, 0), fast(c.dstW, c.dstH, 0), plain(c.dstW, c.dstH, 0);
        // A photograph: smooth shades with noise, every pixel opaque.
        for (int y = 0; y < c.srcH; ++y)
          for (int x = 0; x < c.srcW; ++x) {
            uint8_t* p = src.view.Row(y) + 4 * x;
            p[0] = static_cast<uint8_t>(x * 5 + rng() % 16);
            p[1] = static_cast<uint8_t>(y * 7 + rng() % 16);
            p[2] = static_cast<uint8_t>(rng());
            p[3] = 255;
          }
        for (size_t i = 0; i < fast.data.size(); ++i)
          fast.data[i] = plain.data[i] = i % 4 == 3 ? 255 : static_cast<uint8_t>(rng());
        // One source pixel or one target pixel that is not opaque sends its
        // row or its four pixels the pixel-by-pixel way.
        if (damaged == 1) src.view.Row(c.from.y + c.from.height / 2)[4 * (c.from.x + 1) + 3] = 100;
        if (damaged == 2) fast.data[4 * (c.dstW * (c.dstH / 2) + c.dstW / 2) + 3] =
            plain.data[4 * (c.dstW * (c.dstH / 2) + c.dstW / 2) + 3] = 60;
        ASSERT_TRUE(StretchBlend(src.view, c.from, fast.view, c.to, static_cast<uint8_t>(alpha), true));
        ASSERT_TRUE(StretchBlend(src.view, c.from, plain.view, c.to, static_cast<uint8_t>(alpha), true, true));
        int worst = 0;
        for (size_t i = 0; i < fast.data.size(); ++i) worst = std::max(worst, std::abs(fast.data[i] - plain.data[i]));
        EXPECT_LE(worst, 1) << "case " << c.srcW << " alpha " << alpha << " damaged " << damaged;
      }
}

TEST(StretchBlend, SmoothScalingKeepsFlatColoursAndTransparentEdges) {
  Pixels src(4, 4, 0xFF204080);
  Pixels dst(16, 16, 0xFF000000);
  ASSERT_TRUE(StretchBlend(src.view, {0, 0, 4, 4}, dst.view, {0, 0, 16, 16}, 255, true));
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) ASSERT_EQ(dst.At(x, y), 0xFF204080u) << x << "," << y;
  // A transparent neighbour does not darken an opaque pixel's colour.
  Pixels half(2, 1, 0xFFFFFFFF);
  half.data[4] = half.data[5] = half.data[6] = half.data[7] = 0;
  Pixels out(4, 1, 0x00000000);
  StretchBlend(half.view, {0, 0, 2, 1}, out.view, {0, 0, 4, 1}, 255, true);
  const uint32_t mid = out.At(1, 0);
  EXPECT_EQ(mid & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_GT(mid >> 24, 100u);
  EXPECT_LT(mid >> 24, 255u);
  EXPECT_EQ(out.At(3, 0), 0u);
}

TEST(StretchBlend, RejectsBadRectangles) {
  Pixels src(2, 2, 0xFFFFFFFF), dst(2, 2, 0);
  EXPECT_FALSE(StretchBlend(src.view, {1, 1, 2, 2}, dst.view, {0, 0, 2, 2}, 255, false));
  EXPECT_FALSE(StretchBlend(src.view, {0, 0, 0, 2}, dst.view, {0, 0, 2, 2}, 255, false));
  EXPECT_FALSE(StretchBlend(src.view, {0, 0, 2, 2}, dst.view, {0, 0, 2, -1}, 255, false));
  EXPECT_TRUE(StretchBlend(src.view, {0, 0, 2, 2}, dst.view, {5, 5, 2, 2}, 255, false));
  EXPECT_EQ(dst.At(0, 0), 0u);
}

}  // namespace
}  // namespace velmora
