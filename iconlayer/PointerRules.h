// What the pointer touches on the icon layer: the item under a point, the
// box within which a release leaves an item where it is, and the grid cell
// an item dropped at a point goes to.
#pragma once

#include "iconlayer/LayoutGrid.h"

#include <cstddef>
#include <vector>

namespace velmora {

// The measures below are those at 96 DPI; at another the ones of `m`.

// The first item (lowest index) whose hit box holds (x, y): left < x <
// left + 33 and top < y < top + 72, strictly. -1 when none does.
int HitItem(const std::vector<ItemPosition>& positions, size_t count, double x, double y,
            const LayerMetrics& m = LayerMetrics());

// Whether a release at (x, y) lies in the item's keep box: left <= x <=
// left + 35 and top <= y <= top + 35.
bool InKeepBox(ItemPosition item, double x, double y, const LayerMetrics& m = LayerMetrics());

// The cell an item dropped at (x, y) goes to: columns of 90 pixels from 30,
// rows counted in 70 pixels and placed 72 apart.
ItemPosition DropCell(double x, double y, const LayerMetrics& m = LayerMetrics());

// What the pointer is over on the layer (HoverIndex) and whose preview is
// on the screen. A preview belongs to the item under the pointer: it goes
// when the pointer moves off that item, leaves the layer, a menu opens or
// the items are rebuilt (an index may then name another item).
class HoverState {
 public:
  static constexpr int kNone = -1;

  // What a pointer move asks of the layer.
  struct Step {
    bool selectRow = false;    // the item's list row becomes the selected one
    bool showPreview = false;  // compose with the preview of the item
    bool hidePreview = false;  // compose without the preview shown now
  };
  // The pointer moved onto `item` (kNone: no item there); `picture`: the
  // item gets a preview. Nothing happens while it stays on the same item.
  Step Moved(int item, bool picture);
  // Nothing is under the pointer any more (it left the layer, a menu
  // opened, the items were rebuilt). True when a preview is shown, which
  // must then go.
  bool Forget();
  // A composition without the preview was handed to the system.
  void PreviewDropped() { previewOf_ = kNone; }

  int Index() const { return index_; }
  int PreviewOf() const { return previewOf_; }

 private:
  int index_ = 0;  // 0 until the pointer has been somewhere
  int previewOf_ = kNone;
};

}  // namespace velmora
