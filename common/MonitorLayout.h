// The desktop over several monitors as plain data: the monitors the system
// reports, the one rectangle the background window and the icon layer cover
// (the bounding box of the work areas), and where the wallpaper goes in it,
// once on each monitor or once across all of them. No system call.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace velmora {

struct ScreenRect {
  long left = 0, top = 0, right = 0, bottom = 0;
  long Width() const { return right - left; }
  long Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  bool Contains(long x, long y) const { return x >= left && x < right && y >= top && y < bottom; }
  ScreenRect Moved(long dx, long dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
  bool operator==(const ScreenRect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
  bool operator!=(const ScreenRect& o) const { return !(*this == o); }
};

ScreenRect Intersection(const ScreenRect& a, const ScreenRect& b);
ScreenRect BoundingBox(const ScreenRect& a, const ScreenRect& b);

// One monitor: its whole rectangle, the part outside taskbars and other
// bars docked on it, and its device name (what identifies it when the
// arrangement changes).
struct MonitorArea {
  ScreenRect monitor;
  ScreenRect work;
  bool primary = false;
  std::string name;
  bool operator==(const MonitorArea& o) const {
    return monitor == o.monitor && work == o.work && primary == o.primary && name == o.name;
  }
};

// The desktop the windows cover: `window` in screen coordinates, the
// monitors with their rectangles relative to the window's top-left corner,
// the primary first.
struct DesktopLayout {
  ScreenRect window;
  std::vector<MonitorArea> monitors;
  const MonitorArea& Primary() const { return monitors.front(); }
  bool operator==(const DesktopLayout& o) const {
    return window == o.window && monitors == o.monitors;
  }
  bool operator!=(const DesktopLayout& o) const { return !(*this == o); }
};

// The layout of the monitors the system reports (screen coordinates, in any
// order): monitors without an area are left out, a work area is clipped to
// its monitor (an empty one is the whole monitor), the primary goes first
// (the first listed when none or several say so). An empty list gives a
// layout of one monitor of `fallback` (the primary screen's size).
DesktopLayout LayoutOfMonitors(std::vector<MonitorArea> monitors, const ScreenRect& fallback);

// How the movie or the slideshow covers several monitors (the key's values).
enum MonitorSpread : long { kEachMonitor = 0, kSpanMonitors = 1 };

// Where one copy of the wallpaper goes, relative to the window: a stretched
// picture or a movie fills `work`; a fitted picture is centred on `monitor`
// (the part under a taskbar is hidden, as the system's own wallpaper).
struct WallpaperTile {
  ScreenRect work;
  ScreenRect monitor;
  bool operator==(const WallpaperTile& o) const { return work == o.work && monitor == o.monitor; }
};

// Each monitor's tile, the primary's first; or one tile across the whole
// window, fitted against the bounding box of the monitors.
std::vector<WallpaperTile> WallpaperTiles(const DesktopLayout& layout, long spread);

// The name the item positions of a layout are remembered by: "" for a
// single monitor (the layer's size names it, as it always did), otherwise
// every monitor's work area and name, the primary first.
std::string ArrangementName(const DesktopLayout& layout);

}  // namespace velmora
