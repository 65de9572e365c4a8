#include "iconlayer/PointerRules.h"

#include <cmath>

namespace velmora {

int HitItem(const std::vector<ItemPosition>& positions, size_t count, double x, double y,
            const LayerMetrics& m) {
  const size_t n = std::min(count, positions.size());
  for (size_t i = 0; i < n; ++i) {
    const ItemPosition& p = positions[i];
    if (p.x < x && x < p.x + m.hitWidth && p.y < y && y < p.y + m.hitHeight) return static_cast<int>(i);
  }
  return -1;
}

bool InKeepBox(ItemPosition item, double x, double y, const LayerMetrics& m) {
  return item.x <= x && x <= item.x + m.keepBox && item.y <= y && y <= item.y + m.keepBox;
}

ItemPosition DropCell(double x, double y, const LayerMetrics& m) {
  const auto column = static_cast<int32_t>(std::floor(x / m.columnWidth));
  const auto row = static_cast<int32_t>(std::floor(y / m.dropRow));
  return {column * m.columnWidth + m.gridLeft, row * m.rowHeight};
}

HoverState::Step HoverState::Moved(int item, bool picture) {
  Step step;
  if (item == index_ && item != kNone) return step;
  index_ = item;
  if (item == kNone) {
    step.hidePreview = previewOf_ != kNone;
  } else {
    step.selectRow = true;
    step.showPreview = picture;
    step.hidePreview = !picture && previewOf_ != kNone;
  }
  previewOf_ = step.showPreview ? item : kNone;
  return step;
}

bool HoverState::Forget() {
  index_ = kNone;
  const bool shown = previewOf_ != kNone;
  previewOf_ = kNone;
  return shown;
}

}  // namespace velmora
