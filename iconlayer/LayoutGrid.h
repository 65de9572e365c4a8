// Where desktop items go: the default column grid, the saved-position text
// format, and when a saved layout must be thrown away.
#pragma once

#include "iconlayer/LayerMetrics.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

struct ItemPosition {
  int32_t x = 0, y = 0;
};

// The default grid for `count` items on a layer `clientHeight` pixels high:
// at 96 DPI columns from (30, 0), 72 pixels down, 90 across; a column takes a
// new item while its row counter does not exceed clientHeight / 80. At
// another DPI the measures of `m`.
std::vector<ItemPosition> DefaultGrid(int count, int32_t clientHeight, const LayerMetrics& m = LayerMetrics());

// "30*30*120*": each value in decimal followed by "*".
std::string FormatPositions(const std::vector<int32_t>& values);

// The values of such a text; the empty piece after the last "*" is not a
// value, and a piece that is not a number reads as 0.
std::vector<int32_t> ParsePositions(std::string_view text);

struct SavedLayout {
  std::string tempx, tempy;
  long scaleX = 0, scaleY = 0, desktopC = 0;
  long dpi = 0;  // the DPI it was laid out at; 0 (never stored) is 96
};

// True when the saved layout no longer fits: another layer size, another
// number of items, another DPI, or no saved left edges.
bool LayoutNeedsRebuild(const SavedLayout& saved, int32_t clientWidth, int32_t clientHeight,
                        int itemCount, int dpi = kBaseDpi);

// The positions of `count` items from a saved layout, repaired where it
// cannot be the user's: lists that do not hold exactly one position per item,
// or (for two items or more) every item on one spot, give the default grid;
// an item whose top-left corner lies outside the layer takes its grid place.
// `repaired` tells whether anything differs from the saved texts.
std::vector<ItemPosition> PositionsFromTexts(std::string_view tempx, std::string_view tempy,
                                             int count, int32_t clientWidth,
                                             int32_t clientHeight, bool* repaired = nullptr,
                                             const LayerMetrics& m = LayerMetrics());

}  // namespace velmora
