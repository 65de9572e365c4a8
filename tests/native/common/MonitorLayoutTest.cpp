// The desktop over the monitors the system reports: the window's rectangle,
// the monitors relative to it, the wallpaper's tiles and the names item
// positions are remembered by.
#include "common/MonitorLayout.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

const ScreenRect kFallback{0, 0, 1024, 768};

MonitorArea Monitor(ScreenRect monitor, ScreenRect work, bool primary, const char* name) {
  return {monitor, work, primary, name};
}

TEST(MonitorLayout, OneMonitorIsTheScreenOutsideItsTaskbar) {
  const DesktopLayout layout = LayoutOfMonitors(
      {Monitor({0, 0, 1024, 768}, {0, 0, 1024, 738}, true, "\\\\.\\DISPLAY1")}, kFallback);
  EXPECT_EQ(layout.window, (ScreenRect{0, 0, 1024, 738}));
  ASSERT_EQ(layout.monitors.size(), 1u);
  EXPECT_EQ(layout.Primary().monitor, (ScreenRect{0, 0, 1024, 768}));
  EXPECT_EQ(ArrangementName(layout), "");  // the layer's size names it
  // A taskbar on the top or the left moves the window's origin.
  const DesktopLayout left = LayoutOfMonitors(
      {Monitor({0, 0, 1024, 768}, {60, 0, 1024, 768}, true, "")}, kFallback);
  EXPECT_EQ(left.window, (ScreenRect{60, 0, 1024, 768}));
  EXPECT_EQ(left.Primary().monitor, (ScreenRect{-60, 0, 964, 768}));
  EXPECT_EQ(left.Primary().work, (ScreenRect{0, 0, 964, 768}));
}

TEST(MonitorLayout, SeveralMonitorsWithNegativeCoordinatesAndOtherSizes) {
  // The system's order: a smaller monitor left of the primary and one above
  // it, each with a taskbar of its own on another edge.
  const DesktopLayout layout = LayoutOfMonitors(
      {Monitor({-800, 168, 0, 768}, {-800, 168, -40, 768}, false, "L"),
       Monitor({0, 0, 1024, 768}, {0, 0, 1024, 738}, true, "P"),
       Monitor({0, -1024, 1280, 0}, {0, -994, 1280, 0}, false, "T")},
      kFallback);
  EXPECT_EQ(layout.window, (ScreenRect{-800, -994, 1280, 768}));
  ASSERT_EQ(layout.monitors.size(), 3u);
  EXPECT_EQ(layout.monitors[0].name, "P");
  EXPECT_TRUE(layout.monitors[0].primary);
  EXPECT_EQ(layout.monitors[0].work, (ScreenRect{800, 994, 1824, 1732}));
  EXPECT_EQ(layout.monitors[1].name, "L");
  EXPECT_FALSE(layout.monitors[1].primary);
  EXPECT_EQ(layout.monitors[1].work, (ScreenRect{0, 1162, 760, 1762}));
  EXPECT_EQ(layout.monitors[2].name, "T");
  EXPECT_EQ(layout.monitors[2].monitor, (ScreenRect{800, -30, 2080, 994}));
  EXPECT_EQ(layout.monitors[2].work, (ScreenRect{800, 0, 2080, 994}));
  EXPECT_EQ(ArrangementName(layout), "1024x738+0+0@P;760x600+-800+168@L;1280x994+0+-994@T");
}

TEST(MonitorLayout, ListsThatAreNotClean) {
  // No primary marked: the first is. Two marked: the first of them.
  DesktopLayout layout = LayoutOfMonitors(
      {Monitor({1024, 0, 1824, 600}, {1024, 0, 1824, 600}, false, "B"),
       Monitor({0, 0, 1024, 768}, {0, 0, 1024, 768}, false, "A")},
      kFallback);
  EXPECT_EQ(layout.Primary().name, "B");
  EXPECT_FALSE(layout.monitors[1].primary);
  layout = LayoutOfMonitors({Monitor({0, 0, 1024, 768}, {0, 0, 1024, 768}, true, "A"),
                             Monitor({1024, 0, 1824, 600}, {1024, 0, 1824, 600}, true, "B")},
                            kFallback);
  EXPECT_EQ(layout.Primary().name, "A");
  EXPECT_FALSE(layout.monitors[1].primary);
  // A monitor without an area is dropped; a work area beyond its monitor is
  // clipped; an empty one is the whole monitor.
  layout = LayoutOfMonitors({Monitor({0, 0, 0, 0}, {0, 0, 0, 0}, true, "gone"),
                             Monitor({0, 0, 1024, 768}, {-5, 0, 2000, 740}, false, "A"),
                             Monitor({1024, 0, 1824, 600}, {0, 0, 0, 0}, false, "B")},
                            kFallback);
  ASSERT_EQ(layout.monitors.size(), 2u);
  EXPECT_EQ(layout.Primary().name, "A");
  EXPECT_EQ(layout.Primary().work, (ScreenRect{0, 0, 1024, 740}));
  EXPECT_EQ(layout.monitors[1].work, (ScreenRect{1024, 0, 1824, 600}));
  EXPECT_EQ(layout.window, (ScreenRect{0, 0, 1824, 740}));
  // Nothing at all: the fallback screen.
  layout = LayoutOfMonitors({}, kFallback);
  ASSERT_EQ(layout.monitors.size(), 1u);
  EXPECT_EQ(layout.window, kFallback);
  EXPECT_TRUE(layout.Primary().primary);
}

TEST(MonitorLayout, TilesOnEachMonitorOrAcrossAll) {
  const DesktopLayout layout = LayoutOfMonitors(
      {Monitor({0, 0, 1024, 768}, {0, 0, 1024, 738}, true, "P"),
       Monitor({-800, 0, 0, 600}, {-800, 30, 0, 600}, false, "L")},
      kFallback);
  const std::vector<WallpaperTile> each = WallpaperTiles(layout, kEachMonitor);
  ASSERT_EQ(each.size(), 2u);
  EXPECT_EQ(each[0].work, (ScreenRect{800, 0, 1824, 738}));  // the primary's first
  EXPECT_EQ(each[0].monitor, (ScreenRect{800, 0, 1824, 768}));
  EXPECT_EQ(each[1].work, (ScreenRect{0, 30, 800, 600}));
  EXPECT_EQ(each[1].monitor, (ScreenRect{0, 0, 800, 600}));
  const std::vector<WallpaperTile> span = WallpaperTiles(layout, kSpanMonitors);
  ASSERT_EQ(span.size(), 1u);
  EXPECT_EQ(span[0].work, (ScreenRect{0, 0, 1824, 738}));  // the whole window
  EXPECT_EQ(span[0].monitor, (ScreenRect{0, 0, 1824, 768}));
  // A value of no spread is each monitor's, the key's default.
  EXPECT_EQ(WallpaperTiles(layout, 7), each);
}

TEST(MonitorLayout, RectangleHelpers) {
  EXPECT_EQ(Intersection({0, 0, 10, 10}, {5, 5, 20, 20}), (ScreenRect{5, 5, 10, 10}));
  EXPECT_TRUE(Intersection({0, 0, 10, 10}, {10, 0, 20, 10}).Empty());
  EXPECT_EQ(BoundingBox({}, {5, 5, 20, 20}), (ScreenRect{5, 5, 20, 20}));
  EXPECT_EQ(BoundingBox({-3, 0, 1, 2}, {5, 5, 20, 20}), (ScreenRect{-3, 0, 20, 20}));
  EXPECT_TRUE((ScreenRect{0, 0, 2, 2}).Contains(1, 1));
  EXPECT_FALSE((ScreenRect{0, 0, 2, 2}).Contains(2, 1));
}

}  // namespace
}  // namespace velmora
