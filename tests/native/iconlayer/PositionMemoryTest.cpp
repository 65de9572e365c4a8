// Where the user put each item, remembered by the item and the layer size.
#include "iconlayer/PositionMemory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora {
namespace {

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

TEST(PositionMemory, NewcomersTakeCellsOfTheGridWhereverItsCornerIs) {
  // The primary monitor right of an 800-pixel one: its grid starts at 800.
  const PlacedItems remembered = {{"a", {830, 0}}, {"b", {1300, 50}}};
  const std::vector<ItemPosition> placed = PlaceItems({"a", "new", "b"}, remembered, 738, LayerMetrics(), {800, 0});
  EXPECT_EQ(placed[0].x, 830);
  EXPECT_EQ(placed[1].x, 830);  // the grid's second cell, the first being taken
  EXPECT_EQ(placed[1].y, 72);
  EXPECT_EQ(placed[2].x, 1300);
}

}  // namespace
}  // namespace velmora
