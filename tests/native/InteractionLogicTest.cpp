// The plain rules behind the desktop's answers to the user: hit boxes, the
// keep box and the drop grid, the arrange orders, the remembered positions,
// the batching of desktop changes.
#include "iconlayer/PointerRules.h"
#include "iconlayer/PositionMemory.h"
#include "shell/ChangeBatch.h"
#include "shell/ItemSort.h"

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

ShortcutList Desktop() {
  ShortcutList list;
  for (const char* c : {"String", "String", "Number", "Date", "Date"}) list.AddColumn(c, "");
  list.AddRow({"::{special 1}"});
  list.AddRow({"::{special 2}"});
  list.AddRow({"D:\\big.txt", "txt", "2048", "2005/01/02", "big.txt"});
  list.AddRow({"D:\\Zeta", "dir", "0", "Zeta"});
  list.AddRow({"D:\\small.png", "png", "512", "2004/12/31", "small.png"});
  list.AddRow({"D:\\Alpha", "dir", "0", "Alpha"});
  list.AddRow({"D:\\apple.doc", "doc", "512", "2004/12/31", "apple.doc"});
  return list;
}

std::vector<std::string> Order(const ShortcutList& list) {
  std::vector<std::string> paths;
  for (size_t i = 0; i < list.Rows().size(); ++i) paths.push_back(list.Cell(i, 0));
  return paths;
}

TEST(ItemSort, EachArrangeOrder) {
  ShortcutList bySize = Desktop();
  SotrListView(bySize, "NUMBER");  // 512 before 2048 (as text "2048" < "512")
  EXPECT_EQ(Order(bySize), (std::vector<std::string>{"::{special 1}", "::{special 2}", "D:\\Zeta",
                                                      "D:\\Alpha", "D:\\small.png", "D:\\apple.doc",
                                                      "D:\\big.txt"}));
  ShortcutList byDate = Desktop();
  SotrListView(byDate, "date");
  // Folders hold their name where files hold the date: no date, right after
  // the special items; 2004/12/31 before 2005/01/02; equal keys stay in order.
  EXPECT_EQ(Order(byDate), (std::vector<std::string>{"::{special 1}", "::{special 2}", "D:\\Zeta",
                                                      "D:\\Alpha", "D:\\small.png", "D:\\apple.doc",
                                                      "D:\\big.txt"}));
  ShortcutList byName = Desktop();
  SotrListView(byName, "");
  // Folders (no name column) in scan order, then files by name, any case.
  EXPECT_EQ(Order(byName), (std::vector<std::string>{"::{special 1}", "::{special 2}", "D:\\Zeta",
                                                      "D:\\Alpha", "D:\\apple.doc", "D:\\big.txt",
                                                      "D:\\small.png"}));
  ShortcutList byType = Desktop();
  SotrListView(byType, "STRING");
  EXPECT_EQ(Order(byType), (std::vector<std::string>{"::{special 1}", "::{special 2}", "D:\\Zeta",
                                                      "D:\\Alpha", "D:\\apple.doc", "D:\\small.png",
                                                      "D:\\big.txt"}));
  // The cells are as they were.
  EXPECT_EQ(bySize.Cell(6, 2), "2048");
  EXPECT_EQ(byDate.Cell(4, 3), "2004/12/31");
}

TEST(ItemSort, NumberAndDateKeys) {
  EXPECT_EQ(SortKey("NUMBER", "512"), std::string(27, '0') + "512." + std::string(30, '0'));
  EXPECT_LT(SortKey("NUMBER", "512"), SortKey("NUMBER", "2048"));
  EXPECT_LT(SortKey("NUMBER", "-5"), SortKey("NUMBER", "0"));
  EXPECT_LT(SortKey("NUMBER", "-50"), SortKey("NUMBER", "-5"));  // larger magnitude first
  EXPECT_EQ(SortKey("NUMBER", "-5")[0], '&');
  EXPECT_EQ(SortKey("NUMBER", "abc"), "");
  EXPECT_EQ(SortKey("NUMBER", ""), "");
  EXPECT_EQ(SortKey("DATE", "2004/12/31"), "20041231000000");
  EXPECT_EQ(SortKey("DATE", "2005-01-02 13:04:05"), "20050102130405");
  EXPECT_EQ(SortKey("DATE", "Projects"), "");
  EXPECT_EQ(SortKey("DATE", "2005/13/02"), "");
  EXPECT_EQ(ToSortableNumber("-0123.45"), " 9876.54");
  EXPECT_EQ(SortColumn("number"), 2u);
  EXPECT_EQ(SortColumn("Name"), 4u);
}

TEST(PositionMemory, ItemsKeepTheirPlacesAndNewOnesTakeFreeCells) {
  // Five items on a layer of ten rows; the user moved "b" to (120, 0).
  const std::vector<std::string> keys = {"s0", "s1", "a", "b", "c"};
  PlacedItems remembered = Remember(keys, {{30, 0}, {30, 72}, {30, 144}, {120, 0}, {30, 288}});
  EXPECT_EQ(ParsePlacedItems(FormatPlacedItems(remembered)).size(), 5u);
  EXPECT_EQ(ParsePlacedItems(FormatPlacedItems(remembered)).at("b").x, 120);
  // "new" arrives before "c": it takes the first free cell (30, 216) and
  // nobody else moves.
  const std::vector<ItemPosition> added =
      PlaceItems({"s0", "s1", "a", "b", "new", "c"}, remembered, 768);
  EXPECT_EQ(added[3].x, 120);
  EXPECT_EQ(added[4].x, 30);
  EXPECT_EQ(added[4].y, 216);
  EXPECT_EQ(added[5].y, 288);
  // "a" removed: its cell is free for the next newcomer.
  const std::vector<ItemPosition> swapped = PlaceItems({"s0", "s1", "b", "c", "d"}, remembered, 768);
  EXPECT_EQ(swapped[4].x, 30);
  EXPECT_EQ(swapped[4].y, 144);
  // Two newcomers never share a cell.
  const std::vector<ItemPosition> two = PlaceItems({"x", "y"}, {}, 768);
  EXPECT_EQ(two[0].y, 0);
  EXPECT_EQ(two[1].y, 72);
  // A damaged line is left out; the rest is read.
  const PlacedItems parsed = ParsePlacedItems("30*0*C:\\a b.txt\nbroken\n90*x*C:\\c\n120*72*::{X}\n");
  EXPECT_EQ(parsed.size(), 2u);
  EXPECT_EQ(parsed.at("::{X}").y, 72);
  EXPECT_EQ(LayerSizeName(1024, 738), "1024x738");
}

TEST(ChangeBatch, ABurstBecomesOneRebuildAndNoneWaitsLong) {
  using namespace std::chrono_literals;
  ChangeBatch batch(250ms, 900ms);
  const auto t0 = ChangeBatch::Clock::time_point{} + 10s;
  EXPECT_FALSE(batch.Due(t0));
  EXPECT_EQ(batch.Changed(t0), t0 + 250ms);
  // Changes every 100 ms: the quiet time never passes, the batch ends 900 ms
  // after its first change.
  int rebuilds = 0;
  for (auto t = t0 + 100ms; t <= t0 + 3s; t += 100ms) {
    if (t < t0 + 2s) batch.Changed(t);
    if (batch.Due(t)) ++rebuilds;
  }
  EXPECT_EQ(rebuilds, 2);  // at 0.9 s, and at 1.9 s: 900 ms after the next batch began
  EXPECT_FALSE(batch.Pending());
  batch.Changed(t0 + 5s);
  EXPECT_FALSE(batch.Due(t0 + 5s + 249ms));
  EXPECT_EQ(batch.Remaining(t0 + 5s + 200ms), std::chrono::milliseconds(50));
  EXPECT_TRUE(batch.Due(t0 + 5s + 250ms));
}

}  // namespace
}  // namespace velmora
