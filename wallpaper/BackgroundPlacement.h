// Where the background window goes: the screen outside the taskbar band,
// over every monitor.
#pragma once

#include "common/MonitorLayout.h"
#include "common/TaskbarEdge.h"
#include "common/Units.h"

#include <optional>
#include <vector>

namespace velmora {

struct TwipsRect {
  long left, top, width, height;
};

// The placement for a taskbar band (its thickness in pixels at `dpi`) on a
// screen of the given size (twips), or nullopt when the band is on no
// recognised edge (the window then stays).
std::optional<TwipsRect> BackgroundPlacement(const TaskbarBand& band, long screenWidthTwips,
                                             long screenHeightTwips, int dpi = 96);

// The desktop the background window covers: the monitors the system
// reports (LayoutOfMonitors), the primary's work area outside the shell's
// taskbar band (the band lies on the primary monitor). A band on no
// recognised edge keeps `previousPrimaryWork` (screen coordinates) while it
// lies on the primary monitor, so that the window stays; otherwise the
// system's work area.
DesktopLayout BackgroundLayout(std::vector<MonitorArea> monitors, const ScreenRect& primaryScreen,
                               const TaskbarBand& band,
                               const std::optional<ScreenRect>& previousPrimaryWork);

}  // namespace velmora
