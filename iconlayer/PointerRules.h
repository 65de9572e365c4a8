// What the pointer touches on the icon layer: the item under a point, the
// box within which a release leaves an item where it is, and the grid cell
// an item dropped at a point goes to.
#pragma once

#include "iconlayer/LayoutGrid.h"

#include <cstddef>
#include <vector>

namespace velmora {

// The first item (lowest index) whose hit box holds (x, y): left < x <
// left + 33 and top < y < top + 72, strictly. -1 when none does.
int HitItem(const std::vector<ItemPosition>& positions, size_t count, double x, double y);

// Whether a release at (x, y) lies in the item's keep box: left <= x <=
// left + 35 and top <= y <= top + 35.
bool InKeepBox(ItemPosition item, double x, double y);

// The cell an item dropped at (x, y) goes to: columns of 90 pixels from 30,
// rows counted in 70 pixels and placed 72 apart.
ItemPosition DropCell(double x, double y);

}  // namespace velmora
