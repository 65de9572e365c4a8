#include "wallpaper/BackgroundPlacement.h"

namespace velmora {

std::optional<TwipsRect> BackgroundPlacement(const TaskbarBand& band, long w, long h, int dpi) {
  const long t = PixelsToTwips(band.thickness, dpi);
  switch (band.edge) {
    case 'B': return TwipsRect{0, 0, w, h - t};
    case 'T': return TwipsRect{0, t, w, h - t};
    case 'L': return TwipsRect{t, 0, w - t, h};
    case 'R': return TwipsRect{0, 0, w - t, h};
    default: return std::nullopt;
  }
}

DesktopLayout BackgroundLayout(std::vector<MonitorArea> monitors, const ScreenRect& primaryScreen,
                               const TaskbarBand& band,
                               const std::optional<ScreenRect>& previousPrimaryWork) {
  // Cleaned first (the primary known and first), then back in screen
  // coordinates for the primary's new work area.
  DesktopLayout layout = LayoutOfMonitors(std::move(monitors), primaryScreen);
  const long dx = layout.window.left, dy = layout.window.top;
  for (MonitorArea& m : layout.monitors) {
    m.monitor = m.monitor.Moved(dx, dy);
    m.work = m.work.Moved(dx, dy);
  }
  MonitorArea& primary = layout.monitors.front();
  const ScreenRect& screen = primary.monitor;
  const auto placed = BackgroundPlacement(band, screen.Width() * kTwipsPerPixel,
                                          screen.Height() * kTwipsPerPixel);
  if (placed) {
    const ScreenRect r{placed->left / kTwipsPerPixel, placed->top / kTwipsPerPixel,
                       (placed->left + placed->width) / kTwipsPerPixel,
                       (placed->top + placed->height) / kTwipsPerPixel};
    primary.work = r.Moved(screen.left, screen.top);
  } else if (previousPrimaryWork && !previousPrimaryWork->Empty() &&
             Intersection(*previousPrimaryWork, screen) == *previousPrimaryWork) {
    primary.work = *previousPrimaryWork;
  }
  return LayoutOfMonitors(std::move(layout.monitors), primaryScreen);
}

}  // namespace velmora
