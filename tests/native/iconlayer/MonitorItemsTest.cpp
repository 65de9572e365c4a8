// Desktop items over several monitors: the grid on the primary, items kept
// on a monitor, and items carried over when monitors come, go or move.
#include "iconlayer/MonitorItems.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

const ScreenRect kFallback{0, 0, 1024, 768};

// The primary 1024 x 738 (a taskbar at the bottom) with a second monitor of
// 800 x 600 on its left or right.
DesktopLayout TwoMonitors(bool secondOnTheLeft) {
  const ScreenRect second = secondOnTheLeft ? ScreenRect{-800, 0, 0, 600} : ScreenRect{1024, 0, 1824, 600};
  return LayoutOfMonitors({{{0, 0, 1024, 768}, {0, 0, 1024, 738}, true, "P"},
                           {second, second, false, "S"}},
                          kFallback);
}

DesktopLayout PrimaryOnly() {
  return LayoutOfMonitors({{{0, 0, 1024, 768}, {0, 0, 1024, 738}, true, "P"}}, kFallback);
}

bool Same(const std::vector<ItemPosition>& a, const std::vector<ItemPosition>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i].x != b[i].x || a[i].y != b[i].y) return false;
  return true;
}

TEST(MonitorItems, TheDefaultGridLivesOnThePrimary) {
  // One monitor: the grid of the layer as it always was.
  EXPECT_TRUE(Same(PrimaryGrid(12, PrimaryOnly()), DefaultGrid(12, 738)));
  // The primary right of a second monitor: the same grid moved onto it.
  const std::vector<ItemPosition> grid = PrimaryGrid(12, TwoMonitors(true));
  const std::vector<ItemPosition> plain = DefaultGrid(12, 738);
  ASSERT_EQ(grid.size(), plain.size());
  for (size_t i = 0; i < grid.size(); ++i) {
    EXPECT_EQ(grid[i].x, plain[i].x + 800) << i;
    EXPECT_EQ(grid[i].y, plain[i].y) << i;
    EXPECT_EQ(MonitorOfItem(grid[i], TwoMonitors(true)), 0) << i;
  }
}

TEST(MonitorItems, ItemsOffEveryMonitorComeBackToFreeCellsOfThePrimary) {
  const DesktopLayout layout = TwoMonitors(false);
  // On the primary, on the second, below the second (the gap under its
  // 600 rows, which no monitor shows), beyond everything, and on the
  // primary grid's first cell again.
  const std::vector<ItemPosition> kept = KeepOnMonitors(
      {{30, 72}, {1100, 50}, {1100, 650}, {5000, 5000}, {30, 0}}, layout);
  EXPECT_TRUE(Same(kept, {{30, 72}, {1100, 50}, {30, 144}, {30, 216}, {30, 0}}));
  EXPECT_EQ(MonitorOfItem({1100, 50}, layout), 1);
  EXPECT_EQ(MonitorOfItem({1100, 650}, layout), -1);
  // Nothing off a monitor: nothing moves.
  EXPECT_TRUE(Same(KeepOnMonitors({{200, 300}, {1500, 500}}, layout), {{200, 300}, {1500, 500}}));
}

TEST(MonitorItems, ARemovedMonitorsItemsComeBackToThePrimary) {
  // Four items: two on the primary (one moved by the user), two on the second.
  const std::vector<ItemPosition> before{{30, 0}, {300, 400}, {1100, 50}, {1300, 300}};
  const std::vector<ItemPosition> after = CarryOver(before, TwoMonitors(false), PrimaryOnly());
  ASSERT_EQ(after.size(), before.size());  // no item lost
  EXPECT_TRUE(Same(after, {{30, 0}, {300, 400}, {30, 72}, {30, 144}}));
  // Every item on the remaining monitor, none on another's place.
  for (const ItemPosition& p : after) EXPECT_EQ(MonitorOfItem(p, PrimaryOnly()), 0);
  // The second monitor back: nothing is where no monitor is.
  const std::vector<ItemPosition> back = CarryOver(after, PrimaryOnly(), TwoMonitors(false));
  EXPECT_TRUE(Same(back, after));
  // Of three monitors in a row the middle one goes: the third keeps its
  // items, the middle one's come back to the primary.
  const DesktopLayout three = LayoutOfMonitors({{{0, 0, 1024, 768}, {0, 0, 1024, 738}, true, "P"},
                                                {{1024, 0, 1824, 600}, {1024, 0, 1824, 600}, false, "S"},
                                                {{1824, 0, 2624, 600}, {1824, 0, 2624, 600}, false, "T"}},
                                               kFallback);
  const DesktopLayout two = LayoutOfMonitors({{{0, 0, 1024, 768}, {0, 0, 1024, 738}, true, "P"},
                                              {{1824, 0, 2624, 600}, {1824, 0, 2624, 600}, false, "T"}},
                                             kFallback);
  EXPECT_TRUE(Same(CarryOver({{1100, 50}, {1900, 50}}, three, two), {{30, 0}, {1900, 50}}));
}

TEST(MonitorItems, ItemsFollowTheirMonitorWhenTheArrangementChanges) {
  // The second monitor moves from the right of the primary to its left: the
  // window's origin moves with it, and every item stays on its monitor.
  const DesktopLayout right = TwoMonitors(false), left = TwoMonitors(true);
  const std::vector<ItemPosition> moved = CarryOver({{30, 0}, {1100, 50}}, right, left);
  EXPECT_TRUE(Same(moved, {{830, 0}, {76, 50}}));
  EXPECT_EQ(MonitorOfItem(moved[0], left), 0);
  EXPECT_EQ(MonitorOfItem(moved[1], left), 1);
  // A monitor made smaller keeps its items, moved in just enough.
  const DesktopLayout small = LayoutOfMonitors(
      {{{0, 0, 1024, 768}, {0, 0, 1024, 738}, true, "P"},
       {{1024, 0, 1664, 480}, {1024, 0, 1664, 480}, false, "S"}},
      kFallback);
  const std::vector<ItemPosition> squeezed = CarryOver({{1700, 550}}, right, small);
  EXPECT_TRUE(Same(squeezed, {{1664 - LayerMetrics().columnWidth, 480 - LayerMetrics().rowHeight}}));
  // Monitors without names are known by their rectangles.
  const DesktopLayout a = LayoutOfMonitors({{{0, 0, 1024, 768}, {0, 0, 1024, 768}, true, ""},
                                            {{1024, 0, 1824, 600}, {1024, 0, 1824, 600}, false, ""}},
                                           kFallback);
  const DesktopLayout b = LayoutOfMonitors({{{0, 0, 1024, 768}, {0, 0, 1024, 768}, true, ""},
                                            {{1024, 0, 1824, 600}, {1024, 0, 1824, 570}, false, ""}},
                                           kFallback);
  EXPECT_TRUE(Same(CarryOver({{1100, 50}}, a, b), {{1100, 50}}));
  // An item of no monitor before (a hand-edited place) finds a free cell.
  EXPECT_TRUE(Same(CarryOver({{30, 0}, {-50, -50}}, a, b), {{30, 0}, {30, 72}}));
}

}  // namespace
}  // namespace velmora
