#include "iconlayer/LayoutGrid.h"

#include "settings/EntryList.h"
#include "settings/SettingValues.h"

namespace velmora {

std::vector<ItemPosition> DefaultGrid(int count, int32_t clientHeight) {
  std::vector<ItemPosition> grid;
  if (count <= 0) return grid;
  grid.push_back({30, 0});
  int32_t x = 30, y = 72;
  int rows = 0;
  for (int i = 1; i < count; ++i) {
    ++rows;
    if (clientHeight / 80 < rows) {
      x += 90;
      rows = 0;
      y = 0;
    }
    grid.push_back({x, y});
    y += 72;
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
                        int itemCount) {
  return saved.scaleX != clientWidth || saved.scaleY != clientHeight ||
         saved.desktopC != itemCount || saved.tempx.empty();
}

std::vector<ItemPosition> PositionsFromTexts(std::string_view tempx, std::string_view tempy,
                                             int count) {
  const std::vector<int32_t> xs = ParsePositions(tempx), ys = ParsePositions(tempy);
  std::vector<ItemPosition> positions(static_cast<size_t>(count > 0 ? count : 0));
  for (size_t i = 0; i < positions.size(); ++i) {
    if (i < xs.size()) positions[i].x = xs[i];
    if (i < ys.size()) positions[i].y = ys[i];
  }
  return positions;
}

}  // namespace velmora
