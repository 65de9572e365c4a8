#include "iconlayer/MonitorItems.h"

#include <algorithm>
#include <set>
#include <utility>

namespace velmora {
namespace {

using Cell = std::pair<int32_t, int32_t>;

// The items marked as needing a place (`homeless`) given the first primary
// grid cells that no other item holds.
void PlaceHomeless(std::vector<ItemPosition>& positions, const std::vector<bool>& homeless,
                   const DesktopLayout& layout, const LayerMetrics& m) {
  std::set<Cell> taken;
  size_t needed = 0;
  for (size_t i = 0; i < positions.size(); ++i) {
    if (homeless[i])
      ++needed;
    else
      taken.insert({positions[i].x, positions[i].y});
  }
  if (needed == 0) return;
  const std::vector<ItemPosition> grid =
      PrimaryGrid(static_cast<int>(taken.size() + needed), layout, m);
  size_t cell = 0;
  for (size_t i = 0; i < positions.size(); ++i) {
    if (!homeless[i]) continue;
    while (cell < grid.size() && taken.count({grid[cell].x, grid[cell].y})) ++cell;
    positions[i] = grid[cell];  // the grid holds more cells than are taken
    taken.insert({grid[cell].x, grid[cell].y});
  }
}

// The monitor of `to` that is `from`'s monitor `index`, or -1.
int SameMonitor(const DesktopLayout& from, int index, const DesktopLayout& to) {
  const MonitorArea& was = from.monitors[static_cast<size_t>(index)];
  const ScreenRect wasOnScreen = was.monitor.Moved(from.window.left, from.window.top);
  for (size_t i = 0; i < to.monitors.size(); ++i) {
    const MonitorArea& m = to.monitors[i];
    if (!was.name.empty() ? m.name == was.name
                          : m.monitor.Moved(to.window.left, to.window.top) == wasOnScreen)
      return static_cast<int>(i);
  }
  return -1;
}

int32_t Clamp(long value, long low, long high) {
  return static_cast<int32_t>(std::max(low, std::min(value, std::max(low, high))));
}

}  // namespace

std::vector<ItemPosition> PrimaryGrid(int count, const DesktopLayout& layout, const LayerMetrics& m) {
  const ScreenRect& work = layout.Primary().work;
  std::vector<ItemPosition> grid = DefaultGrid(count, static_cast<int32_t>(work.Height()), m);
  for (ItemPosition& p : grid) {
    p.x += static_cast<int32_t>(work.left);
    p.y += static_cast<int32_t>(work.top);
  }
  return grid;
}

int MonitorOfItem(ItemPosition at, const DesktopLayout& layout) {
  for (size_t i = 0; i < layout.monitors.size(); ++i)
    if (layout.monitors[i].work.Contains(at.x, at.y)) return static_cast<int>(i);
  return -1;
}

std::vector<ItemPosition> KeepOnMonitors(std::vector<ItemPosition> positions,
                                         const DesktopLayout& layout, const LayerMetrics& m) {
  std::vector<bool> homeless(positions.size());
  for (size_t i = 0; i < positions.size(); ++i) homeless[i] = MonitorOfItem(positions[i], layout) < 0;
  PlaceHomeless(positions, homeless, layout, m);
  return positions;
}

std::vector<ItemPosition> CarryOver(const std::vector<ItemPosition>& positions,
                                    const DesktopLayout& from, const DesktopLayout& to,
                                    const LayerMetrics& m) {
  std::vector<ItemPosition> carried(positions.size());
  std::vector<bool> homeless(positions.size(), true);
  for (size_t i = 0; i < positions.size(); ++i) {
    const int was = MonitorOfItem(positions[i], from);
    const int now = was < 0 ? -1 : SameMonitor(from, was, to);
    if (now < 0) continue;
    const ScreenRect& a = from.monitors[static_cast<size_t>(was)].work;
    const ScreenRect& b = to.monitors[static_cast<size_t>(now)].work;
    carried[i] = {
        Clamp(b.left + positions[i].x - a.left, b.left, b.right - m.columnWidth),
        Clamp(b.top + positions[i].y - a.top, b.top, b.bottom - m.rowHeight)};
    homeless[i] = false;
  }
  PlaceHomeless(carried, homeless, to, m);
  return carried;
}

}  // namespace velmora
