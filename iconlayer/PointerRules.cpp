#include "iconlayer/PointerRules.h"

#include <cmath>

namespace velmora {

int HitItem(const std::vector<ItemPosition>& positions, size_t count, double x, double y) {
  const size_t n = std::min(count, positions.size());
  for (size_t i = 0; i < n; ++i) {
    const ItemPosition& p = positions[i];
    if (p.x < x && x < p.x + 33 && p.y < y && y < p.y + 72) return static_cast<int>(i);
  }
  return -1;
}

bool InKeepBox(ItemPosition item, double x, double y) {
  return item.x <= x && x <= item.x + 35 && item.y <= y && y <= item.y + 35;
}

ItemPosition DropCell(double x, double y) {
  const auto column = static_cast<int32_t>(std::floor(x / 90));
  const auto row = static_cast<int32_t>(std::floor(y / 70));
  return {column * 90 + 30, row * 72};
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
