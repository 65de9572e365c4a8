// The hit box, the keep box, the drop grid and whose preview is shown.
#include "iconlayer/PointerRules.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(PointerRules, HitBoxIsStrictAndTheLowestIndexWins) {
  const std::vector<ItemPosition> items = {{30, 0}, {30, 72}, {40, 10}};
  EXPECT_EQ(HitItem(items, 3, 30, 10), -1);    // on the left edge
  EXPECT_EQ(HitItem(items, 3, 31, 0), -1);     // on the top edge
  EXPECT_EQ(HitItem(items, 3, 62, 71), 0);     // 32 right, 71 down: inside
  EXPECT_EQ(HitItem(items, 3, 63, 11), 2);     // past item 0, inside item 2
  EXPECT_EQ(HitItem(items, 3, 45, 20), 0);     // both hold it: the lower index
  EXPECT_EQ(HitItem(items, 3, 45, 73), 1);
  EXPECT_EQ(HitItem(items, 2, 63, 11), -1);    // only the items counted
  EXPECT_EQ(HitItem(items, 3, 500, 500), -1);
}

TEST(PointerRules, KeepBoxIsInclusiveAndTheDropGridDividesBy70AndPlacesBy72) {
  EXPECT_TRUE(InKeepBox({30, 0}, 30, 0));
  EXPECT_TRUE(InKeepBox({30, 0}, 65, 35));
  EXPECT_FALSE(InKeepBox({30, 0}, 65.5, 35));
  EXPECT_FALSE(InKeepBox({30, 0}, 40, 36));
  const ItemPosition cell = DropCell(200, 150);
  EXPECT_EQ(cell.x, 210);
  EXPECT_EQ(cell.y, 144);
  EXPECT_EQ(DropCell(89.9, 69.9).x, 30);
  EXPECT_EQ(DropCell(89.9, 69.9).y, 0);
  EXPECT_EQ(DropCell(90, 70).x, 120);
  EXPECT_EQ(DropCell(90, 70).y, 72);
}

TEST(PointerRules, APreviewBelongsToTheItemUnderThePointer) {
  HoverState hover;
  EXPECT_EQ(hover.Index(), 0);
  HoverState::Step step = hover.Moved(0, false);  // HoverIndex starts at 0: nothing
  EXPECT_FALSE(step.selectRow || step.showPreview || step.hidePreview);
  step = hover.Moved(5, true);
  EXPECT_TRUE(step.selectRow && step.showPreview && !step.hidePreview);
  EXPECT_EQ(hover.PreviewOf(), 5);
  step = hover.Moved(5, true);  // still on it: drawn once
  EXPECT_FALSE(step.selectRow || step.showPreview || step.hidePreview);
  // Off the item onto empty space: the preview goes; back on it, it comes.
  step = hover.Moved(HoverState::kNone, false);
  EXPECT_TRUE(step.hidePreview && !step.selectRow && !step.showPreview);
  EXPECT_EQ(hover.Index(), HoverState::kNone);
  EXPECT_FALSE(hover.Moved(HoverState::kNone, false).hidePreview);  // gone already
  EXPECT_TRUE(hover.Moved(5, true).showPreview);
  // Straight onto an item without a preview: that row, and the preview goes.
  step = hover.Moved(2, false);
  EXPECT_TRUE(step.selectRow && step.hidePreview && !step.showPreview);
  EXPECT_FALSE(hover.Moved(3, false).hidePreview);  // nothing shown to hide
  EXPECT_EQ(hover.PreviewOf(), HoverState::kNone);
  // A rebuild (or a menu, or the pointer leaving the layer) forgets the
  // item: the one that now has index 5 gets its preview at once.
  EXPECT_TRUE(hover.Moved(5, true).showPreview);
  EXPECT_TRUE(hover.Forget());
  EXPECT_FALSE(hover.Forget());  // nothing shown any more
  EXPECT_TRUE(hover.Moved(5, true).showPreview);
  // A composition without the preview (a click) leaves the pointer where
  // it is and nothing to hide.
  hover.PreviewDropped();
  EXPECT_EQ(hover.Index(), 5);
  EXPECT_FALSE(hover.Moved(HoverState::kNone, false).hidePreview);
}

}  // namespace
}  // namespace velmora
