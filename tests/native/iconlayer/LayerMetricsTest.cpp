// The layer's measures at 96, 120 and 144 DPI, and the grid and pointer
// rules that use them.
#include "iconlayer/LayerMetrics.h"
#include "iconlayer/LayoutGrid.h"
#include "iconlayer/PointerRules.h"
#include "iconlayer/PositionMemory.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

struct Box {
  int32_t left, top, right, bottom;
  bool Meets(const Box& o) const { return left < o.right && o.left < right && top < o.bottom && o.top < bottom; }
};

TEST(LayerMetrics, EveryMeasureGrowsWithTheDpi) {
  EXPECT_EQ(ScaleToDpi(90, 96), 90);
  EXPECT_EQ(ScaleToDpi(90, 120), 113);  // 112.5, halves up
  EXPECT_EQ(ScaleToDpi(90, 144), 135);
  EXPECT_EQ(ScaleToDpi(-30, 144), -45);
  const LayerMetrics at96 = LayerMetrics::ForDpi(96);
  EXPECT_EQ(at96.columnWidth, 90);
  EXPECT_EQ(at96.iconSize, 32);
  EXPECT_FLOAT_EQ(at96.labelPoints, 8.0f);
  const LayerMetrics at144 = LayerMetrics::ForDpi(144, 48);
  EXPECT_EQ(at144.gridLeft, 45);
  EXPECT_EQ(at144.columnWidth, 135);
  EXPECT_EQ(at144.rowHeight, 108);
  EXPECT_EQ(at144.labelWidth, 135);
  EXPECT_EQ(at144.labelTop, 53);
  EXPECT_EQ(at144.arrowSize, 17);
  EXPECT_EQ(at144.iconSize, 48);
  EXPECT_FLOAT_EQ(at144.labelPoints, 12.0f);
  // The system's icon size wins over the scaled one; no DPI is 96.
  EXPECT_EQ(LayerMetrics::ForDpi(120, 40).iconSize, 40);
  EXPECT_EQ(LayerMetrics::ForDpi(120).iconSize, 40);
  EXPECT_EQ(LayerMetrics::ForDpi(0).columnWidth, 90);
}

TEST(LayerMetrics, NoLabelReachesAnotherItemsIconOnTheGridAtAnyDpi) {
  for (int dpi : {96, 120, 144, 192}) {
    const LayerMetrics m = LayerMetrics::ForDpi(dpi);
    const int32_t height = ScaleToDpi(738, dpi);
    const std::vector<ItemPosition> grid = DefaultGrid(40, height, m);
    for (size_t i = 0; i < grid.size(); ++i) {
      const Box label{grid[i].x - m.labelLeft, grid[i].y + m.labelTop, grid[i].x - m.labelLeft + m.labelWidth,
                      grid[i].y + m.labelTop + m.labelTwoLines};
      for (size_t j = 0; j < grid.size(); ++j) {
        const Box icon{grid[j].x, grid[j].y, grid[j].x + m.iconSize, grid[j].y + m.iconSize};
        if (i != j) EXPECT_FALSE(label.Meets(icon)) << dpi << " DPI: label " << i << " on icon " << j;
      }
      // The label starts below its own icon and the item is on the layer.
      EXPECT_GE(label.top, grid[i].y + m.iconSize) << dpi;
      EXPECT_LT(grid[i].y, height) << dpi;
    }
  }
}

TEST(LayerMetrics, TheGridAndThePointerRulesFollowTheDpi) {
  const LayerMetrics m = LayerMetrics::ForDpi(144);
  // The same cells as at 96 DPI, half as large again.
  const std::vector<ItemPosition> at96 = DefaultGrid(12, 738);
  const std::vector<ItemPosition> at144 = DefaultGrid(12, 1107, m);
  ASSERT_EQ(at96.size(), at144.size());
  for (size_t i = 0; i < at96.size(); ++i) {
    EXPECT_EQ(at144[i].x, at96[i].x * 3 / 2) << i;
    EXPECT_EQ(at144[i].y, at96[i].y * 3 / 2) << i;
  }
  // A drop at the same place relative to the grid lands in the same cell.
  EXPECT_EQ(DropCell(200, 150).x, 210);
  EXPECT_EQ(DropCell(300, 225, m).x, 315);
  EXPECT_EQ(DropCell(300, 225, m).y, 216);
  // The hit box and the keep box are larger.
  const std::vector<ItemPosition> one{{45, 0}};
  EXPECT_EQ(HitItem(one, 1, 45 + 40, 100), -1);
  EXPECT_EQ(HitItem(one, 1, 45 + 40, 100, m), 0);
  EXPECT_FALSE(InKeepBox({45, 0}, 45 + 45, 45));
  EXPECT_TRUE(InKeepBox({45, 0}, 45 + 45, 45, m));
  // New items go to the free cells of the DPI's grid.
  const std::vector<ItemPosition> placed = PlaceItems({"a", "b"}, {{"a", {45, 0}}}, 1107, m);
  EXPECT_EQ(placed[1].x, 45);
  EXPECT_EQ(placed[1].y, 108);
}

TEST(LayerMetrics, APlaceRememberedAtOneDpiIsNotUsedAtAnother) {
  EXPECT_EQ(LayerSizeName(1024, 738), "1024x738");
  EXPECT_EQ(LayerSizeName(1024, 738, 144), "1024x738@144");
  EXPECT_NE(LayerSizeName(1024, 738, 120), LayerSizeName(1024, 738, 144));
  SavedLayout saved{"30*", "0*", 1024, 738, 1, 0};
  EXPECT_FALSE(LayoutNeedsRebuild(saved, 1024, 738, 1)) << "saved before the DPI was kept: 96";
  EXPECT_TRUE(LayoutNeedsRebuild(saved, 1024, 738, 1, 144));
  saved.dpi = 144;
  EXPECT_FALSE(LayoutNeedsRebuild(saved, 1024, 738, 1, 144));
  EXPECT_TRUE(LayoutNeedsRebuild(saved, 1024, 738, 1, 96));
}

}  // namespace
}  // namespace velmora
