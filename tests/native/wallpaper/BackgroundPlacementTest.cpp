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

namespace velmora {
namespace {

TEST(BackgroundPlacement, TheTaskbarBandIsTakenOffThePrimaryOfSeveralMonitors) {
  // The primary right of a second monitor, listed second.
  const std::vector<MonitorArea> monitors = {
      {{-800, 0, 0, 600}, {-800, 0, 0, 570}, false, "S"},
      {{0, 0, 1024, 768}, {0, 0, 1024, 768}, true, "P"}};
  const ScreenRect screen{0, 0, 1024, 768};
  DesktopLayout layout = BackgroundLayout(monitors, screen, ParseTaskbarDescription("30*B"), std::nullopt);
  EXPECT_EQ(layout.window, (ScreenRect{-800, 0, 1024, 738}));
  EXPECT_EQ(layout.Primary().name, "P");
  EXPECT_EQ(layout.Primary().work, (ScreenRect{800, 0, 1824, 738}));
  EXPECT_EQ(layout.monitors[1].work, (ScreenRect{0, 0, 800, 570}));  // its own bar kept
  layout = BackgroundLayout(monitors, screen, ParseTaskbarDescription("60*L"), std::nullopt);
  EXPECT_EQ(layout.Primary().work, (ScreenRect{860, 0, 1824, 768}));
  // No recognised band: the primary keeps the work area it had while it
  // lies on the primary; else the system's.
  const ScreenRect before{0, 30, 1024, 768};
  layout = BackgroundLayout(monitors, screen, ParseTaskbarDescription(""), before);
  EXPECT_EQ(layout.Primary().work, (ScreenRect{800, 30, 1824, 768}));
  layout = BackgroundLayout(monitors, screen, ParseTaskbarDescription(""), ScreenRect{0, 0, 1280, 1024});
  EXPECT_EQ(layout.Primary().work, (ScreenRect{800, 0, 1824, 768}));
  layout = BackgroundLayout(monitors, screen, ParseTaskbarDescription(""), std::nullopt);
  EXPECT_EQ(layout.Primary().work, (ScreenRect{800, 0, 1824, 768}));
  // The system lists nothing: the primary screen outside the band.
  layout = BackgroundLayout({}, screen, ParseTaskbarDescription("30*T"), std::nullopt);
  EXPECT_EQ(layout.window, (ScreenRect{0, 30, 1024, 768}));
}

}  // namespace
}  // namespace velmora
