#include "iconlayer/PositionMemory.h"

#include "settings/SettingValues.h"

#include <set>
#include <utility>

namespace velmora {

std::string FormatPlacedItems(const PlacedItems& placed) {
  std::string text;
  for (const auto& [key, at] : placed)
    text += std::to_string(at.x) + "*" + std::to_string(at.y) + "*" + key + "\n";
  return text;
}

PlacedItems ParsePlacedItems(std::string_view text) {
  PlacedItems placed;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    const size_t a = line.find('*');
    const size_t b = a == std::string_view::npos ? a : line.find('*', a + 1);
    if (b == std::string_view::npos || b + 1 >= line.size()) continue;  // damaged: left out
    long x = 0, y = 0;
    if (!ReadNumber(line.substr(0, a), x) || !ReadNumber(line.substr(a + 1, b - a - 1), y)) continue;
    placed[std::string(line.substr(b + 1))] = {static_cast<int32_t>(x), static_cast<int32_t>(y)};
  }
  return placed;
}

std::vector<ItemPosition> PlaceItems(const std::vector<std::string>& keys,
                                     const PlacedItems& remembered, int32_t clientHeight,
                                     const LayerMetrics& m, ItemPosition gridOrigin) {
  std::vector<ItemPosition> positions(keys.size());
  std::set<std::pair<int32_t, int32_t>> taken;
  std::vector<size_t> newcomers;
  for (size_t i = 0; i < keys.size(); ++i) {
    const auto found = remembered.find(keys[i]);
    if (found == remembered.end()) {
      newcomers.push_back(i);
      continue;
    }
    positions[i] = found->second;
    taken.insert({found->second.x, found->second.y});
  }
  if (newcomers.empty()) return positions;
  // The grid's cells in its own order, as many as could be needed.
  std::vector<ItemPosition> grid =
      DefaultGrid(static_cast<int>(taken.size() + newcomers.size()), clientHeight, m);
  for (ItemPosition& p : grid) {
    p.x += gridOrigin.x;
    p.y += gridOrigin.y;
  }
  size_t cell = 0;
  for (size_t i : newcomers) {
    while (cell < grid.size() && taken.count({grid[cell].x, grid[cell].y})) ++cell;
    positions[i] = grid[cell];  // the grid holds more cells than are taken
    taken.insert({grid[cell].x, grid[cell].y});
  }
  return positions;
}

PlacedItems Remember(const std::vector<std::string>& keys,
                     const std::vector<ItemPosition>& positions) {
  PlacedItems placed;
  for (size_t i = 0; i < keys.size() && i < positions.size(); ++i) placed[keys[i]] = positions[i];
  return placed;
}

std::string LayerSizeName(int32_t width, int32_t height, int dpi) {
  std::string name = std::to_string(width) + "x" + std::to_string(height);
  if (dpi != kBaseDpi) name += "@" + std::to_string(dpi);
  return name;
}

}  // namespace velmora
