#include "iconlayer/LayoutGrid.h"

#include "settings/EntryList.h"
#include "settings/SettingValues.h"

namespace velmora {

std::vector<ItemPosition> DefaultGrid(int count, int32_t clientHeight, const LayerMetrics& m) {
  std::vector<ItemPosition> grid;
  if (count <= 0) return grid;
  grid.push_back({m.gridLeft, 0});
  int32_t x = m.gridLeft, y = m.rowHeight;
  int rows = 0;
  for (int i = 1; i < count; ++i) {
    ++rows;
    if (clientHeight / m.rowCount < rows) {
      x += m.columnWidth;
      rows = 0;
      y = 0;
    }
    grid.push_back({x, y});
    y += m.rowHeight;
  }
  return grid;
}

std::string FormatPositions(const std::vector<int32_t>& values) {
  std::string text;
  for (int32_t v : values) text += std::to_string(v) + "*";
  return text;
}

std::vector<int32_t> ParsePositions(std::string_view text) {
  std::vector<int32_t> values;
  for (const std::string& piece : SplitEntryPieces(text))
    values.push_back(static_cast<int32_t>(NumberOr(piece, 0)));
  return values;
}

bool LayoutNeedsRebuild(const SavedLayout& saved, int32_t clientWidth, int32_t clientHeight,
                        int itemCount, int dpi) {
  const long savedDpi = saved.dpi > 0 ? saved.dpi : kBaseDpi;
  return saved.scaleX != clientWidth || saved.scaleY != clientHeight ||
         saved.desktopC != itemCount || saved.tempx.empty() || savedDpi != dpi;
}

std::vector<ItemPosition> PositionsFromTexts(std::string_view tempx, std::string_view tempy,
                                             int count, int32_t clientWidth,
                                             int32_t clientHeight, bool* repaired,
                                             const LayerMetrics& m) {
  const std::vector<int32_t> xs = ParsePositions(tempx), ys = ParsePositions(tempy);
  std::vector<ItemPosition> grid = DefaultGrid(count, clientHeight, m);
  if (repaired) *repaired = true;
  if (count <= 0 || xs.size() != grid.size() || ys.size() != grid.size()) return grid;
  bool oneSpot = count >= 2;
  for (size_t i = 1; i < xs.size() && oneSpot; ++i) oneSpot = xs[i] == xs[0] && ys[i] == ys[0];
  if (oneSpot) return grid;
  bool changed = false;
  for (size_t i = 0; i < grid.size(); ++i) {
    if (xs[i] < 0 || ys[i] < 0 || xs[i] >= clientWidth || ys[i] >= clientHeight) {
      changed = true;  // off the layer: its grid place
      continue;
    }
    grid[i] = {xs[i], ys[i]};
  }
  if (repaired) *repaired = changed;
  return grid;
}

}  // namespace velmora
