// The items' default grid, their saved edges and when a layout is built
// afresh.
#include "iconlayer/LayoutGrid.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace velmora {
namespace {

TEST(DefaultGrid, TenPerColumnOnA768PixelLayer) {
  const auto grid = DefaultGrid(25, 768);
  ASSERT_EQ(grid.size(), 25u);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(grid[i].x, 30) << i;
    EXPECT_EQ(grid[i].y, 72 * i) << i;
  }
  EXPECT_EQ(grid[9].y, 648);
  EXPECT_EQ(grid[10].x, 120);
  EXPECT_EQ(grid[10].y, 0);
  EXPECT_EQ(grid[19].y, 648);
  EXPECT_EQ(grid[20].x, 210);
}

TEST(DefaultGrid, CapacityFollowsTheHeight) {
  // 400 / 80 = 5: six per column; 79 / 80 = 0: one per column.
  auto grid = DefaultGrid(8, 400);
  EXPECT_EQ(grid[5].x, 30);
  EXPECT_EQ(grid[5].y, 360);
  EXPECT_EQ(grid[6].x, 120);
  grid = DefaultGrid(3, 79);
  EXPECT_EQ(grid[1].x, 120);
  EXPECT_EQ(grid[1].y, 0);
  EXPECT_EQ(grid[2].x, 210);
  EXPECT_TRUE(DefaultGrid(0, 768).empty());
}

TEST(SavedPositions, FormatAndParse) {
  EXPECT_EQ(FormatPositions({30, 30, 30}), "30*30*30*");
  EXPECT_EQ(FormatPositions({0, 72, -144}), "0*72*-144*");
  EXPECT_EQ(ParsePositions("0*72*144*"), (std::vector<int32_t>{0, 72, 144}));
  EXPECT_EQ(ParsePositions("1*x*3"), (std::vector<int32_t>{1, 0}));
  bool repaired = true;
  const auto p = PositionsFromTexts("30*120*210*", "0*72*144*", 3, 1024, 738, &repaired);
  ASSERT_EQ(p.size(), 3u);
  EXPECT_EQ(p[1].x, 120);
  EXPECT_EQ(p[1].y, 72);
  EXPECT_FALSE(repaired);
}

TEST(SavedPositions, LayoutsThatCannotBeTheUsersFallBackToTheGrid) {
  const std::vector<ItemPosition> grid = DefaultGrid(4, 738);
  auto same = [](const std::vector<ItemPosition>& a, const std::vector<ItemPosition>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
      if (a[i].x != b[i].x || a[i].y != b[i].y) return false;
    return true;
  };
  bool repaired = false;
  // Too few or too many positions, or lists of different lengths.
  for (auto [x, y] : {std::pair{"30*120*", "0*72*"}, {"1*2*3*4*5*", "1*2*3*4*5*"},
                      {"300*400*500*600*", "10*20*30*"}, {"", ""}}) {
    EXPECT_TRUE(same(PositionsFromTexts(x, y, 4, 1024, 738, &repaired), grid)) << x;
    EXPECT_TRUE(repaired);
  }
  // Every item on one spot.
  EXPECT_TRUE(same(PositionsFromTexts("0*0*0*0*", "0*0*0*0*", 4, 1024, 738, &repaired), grid));
  EXPECT_TRUE(repaired);
  // Two items sharing a cell are the user's choice.
  auto shared = PositionsFromTexts("300*300*30*30*", "10*10*144*216*", 4, 1024, 738, &repaired);
  EXPECT_FALSE(repaired);
  EXPECT_EQ(shared[1].x, 300);
  // Only the items off the layer go back to their grid places.
  auto off = PositionsFromTexts("300*-90*99999*120*", "10*20*30*738*", 4, 1024, 738, &repaired);
  EXPECT_TRUE(repaired);
  EXPECT_EQ(off[0].x, 300);
  EXPECT_EQ(off[0].y, 10);
  for (int i : {1, 2, 3}) {
    EXPECT_EQ(off[i].x, grid[i].x) << i;
    EXPECT_EQ(off[i].y, grid[i].y) << i;
  }
}

TEST(LayoutNeedsRebuild, AnyChangeOfSizeOrCountOrNoSavedEdges) {
  SavedLayout saved{"30*30*", "0*72*", 1024, 768, 2};
  EXPECT_FALSE(LayoutNeedsRebuild(saved, 1024, 768, 2));
  EXPECT_TRUE(LayoutNeedsRebuild(saved, 1280, 768, 2));
  EXPECT_TRUE(LayoutNeedsRebuild(saved, 1024, 767, 2));
  EXPECT_TRUE(LayoutNeedsRebuild(saved, 1024, 768, 3));
  saved.tempx.clear();
  EXPECT_TRUE(LayoutNeedsRebuild(saved, 1024, 768, 2));
  EXPECT_TRUE(LayoutNeedsRebuild(SavedLayout{}, 1024, 768, 0));  // first run
}

}  // namespace
}  // namespace velmora
