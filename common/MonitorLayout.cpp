#include "common/MonitorLayout.h"

#include <algorithm>

namespace velmora {

ScreenRect Intersection(const ScreenRect& a, const ScreenRect& b) {
  ScreenRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
               std::min(a.bottom, b.bottom)};
  return r.Empty() ? ScreenRect{} : r;
}

ScreenRect BoundingBox(const ScreenRect& a, const ScreenRect& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

DesktopLayout LayoutOfMonitors(std::vector<MonitorArea> monitors, const ScreenRect& fallback) {
  monitors.erase(std::remove_if(monitors.begin(), monitors.end(),
                                [](const MonitorArea& m) { return m.monitor.Empty(); }),
                 monitors.end());
  if (monitors.empty()) monitors.push_back({fallback, fallback, true, ""});
  // One primary, first; the others keep the system's order.
  auto primary = std::find_if(monitors.begin(), monitors.end(),
                              [](const MonitorArea& m) { return m.primary; });
  if (primary == monitors.end()) primary = monitors.begin();
  std::rotate(monitors.begin(), primary, primary + 1);
  DesktopLayout layout;
  for (size_t i = 0; i < monitors.size(); ++i) {
    MonitorArea& m = monitors[i];
    m.primary = i == 0;
    m.work = Intersection(m.work, m.monitor);
    if (m.work.Empty()) m.work = m.monitor;
    layout.window = BoundingBox(layout.window, m.work);
  }
  for (MonitorArea& m : monitors) {
    m.monitor = m.monitor.Moved(-layout.window.left, -layout.window.top);
    m.work = m.work.Moved(-layout.window.left, -layout.window.top);
  }
  layout.monitors = std::move(monitors);
  return layout;
}

std::vector<WallpaperTile> WallpaperTiles(const DesktopLayout& layout, long spread) {
  std::vector<WallpaperTile> tiles;
  if (spread == kSpanMonitors) {
    ScreenRect all;
    for (const MonitorArea& m : layout.monitors) all = BoundingBox(all, m.monitor);
    tiles.push_back({{0, 0, layout.window.Width(), layout.window.Height()}, all});
    return tiles;
  }
  for (const MonitorArea& m : layout.monitors) tiles.push_back({m.work, m.monitor});
  return tiles;
}

std::string ArrangementName(const DesktopLayout& layout) {
  if (layout.monitors.size() < 2) return {};
  std::string name;
  for (const MonitorArea& m : layout.monitors) {
    // In screen coordinates, so that the name does not depend on the window.
    const ScreenRect w = m.work.Moved(layout.window.left, layout.window.top);
    if (!name.empty()) name += ";";
    name += std::to_string(w.Width()) + "x" + std::to_string(w.Height()) + "+" +
            std::to_string(w.left) + "+" + std::to_string(w.top) + "@" + m.name;
  }
  return name;
}

}  // namespace velmora
