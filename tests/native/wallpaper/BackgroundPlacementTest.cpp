// The background window placed over the screen outside the taskbar.
#include "common/TaskbarEdge.h"
#include "common/Units.h"
#include "wallpaper/BackgroundPlacement.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(BackgroundPlacement, CoversTheScreenOutsideTheTaskbar) {
  const long w = 1024 * kTwipsPerPixel, h = 768 * kTwipsPerPixel;
  auto r = BackgroundPlacement(ParseTaskbarDescription("30*B"), w, h);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->left, 0);
  EXPECT_EQ(r->top, 0);
  EXPECT_EQ(r->width, 15360);
  EXPECT_EQ(r->height, 11070);
  r = BackgroundPlacement(ParseTaskbarDescription("60*L"), w, h);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->left, 900);
  EXPECT_EQ(r->width, w - 900);
  r = BackgroundPlacement(ParseTaskbarDescription("30*T"), w, h);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->top, 450);
  EXPECT_EQ(r->height, h - 450);
  r = BackgroundPlacement(ParseTaskbarDescription("60*R"), w, h);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->left, 0);
  EXPECT_EQ(r->width, w - 900);
  EXPECT_FALSE(BackgroundPlacement(ParseTaskbarDescription(""), w, h));
}

TEST(BackgroundPlacement, TwipsAtTheRealDpiGiveTheScreensPixelsBack) {
  // 15 twips a pixel at 96 DPI, 12 at 120, 10 at 144.
  EXPECT_EQ(PixelsToTwips(1024, 96), 15360);
  EXPECT_EQ(PixelsToTwips(1024, 120), 12288);
  EXPECT_EQ(PixelsToTwips(1024, 144), 10240);
  EXPECT_EQ(TwipsToPixels(100, 96), 6);  // the layer's top: part of a pixel dropped
  EXPECT_EQ(TwipsToPixels(100, 144), 10);
  // Every pixel count comes back whole at any DPI, also where a pixel is no
  // whole number of twips.
  for (int dpi : {96, 120, 144, 168, 192, 240})
    for (long px : {0L, 1L, 29L, 30L, 738L, 767L, 768L, 1024L, 1920L, 3840L})
      EXPECT_EQ(TwipsToPixels(PixelsToTwips(px, dpi), dpi), px) << px << " at " << dpi;
  // At 144 DPI a taskbar 45 pixels thick on a 1536 x 1152 screen: the window
  // covers the rest, in that DPI's twips.
  const auto r = BackgroundPlacement(ParseTaskbarDescription("45*B"), PixelsToTwips(1536, 144),
                                     PixelsToTwips(1152, 144), 144);
  ASSERT_TRUE(r);
  EXPECT_EQ(TwipsToPixels(r->width, 144), 1536);
  EXPECT_EQ(TwipsToPixels(r->height, 144), 1152 - 45);
}

}  // namespace
}  // namespace velmora
