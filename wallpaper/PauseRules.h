// When the wallpaper rests: a program showing full screen over it, the
// session locked, the display off, the desktop not shown at all. Plain rules,
// the window queries are the background window's.
#pragma once

#include "common/MonitorLayout.h"

#include <string_view>
#include <vector>

namespace velmora {

// A rectangle of screen pixels, right and bottom exclusive.
using ScreenBox = ScreenRect;

// Whether a window of rectangle `window` hides all of `monitor`: a full-screen
// program's window is the monitor's size or larger (borders pushed off it).
bool CoversMonitor(const ScreenBox& window, const ScreenBox& monitor);

// Of `monitors`, those the full-screen window `front` hides.
std::vector<ScreenBox> MonitorsHiddenBy(const ScreenBox& front, const std::vector<ScreenBox>& monitors);

// Whether none of `tile` can be seen: all of it lies on the `hidden`
// monitors (monitors do not overlap). An empty tile is not hidden.
bool TileHidden(const ScreenBox& tile, const std::vector<ScreenBox>& hidden);

// The shell's own desktop and taskbar windows, which never pause anything.
bool IsShellWindowClass(std::string_view className);

// The system's power as the power rule needs it.
struct PowerState {
  bool onBattery = false;  // running from the battery, not plugged in
  bool saverOn = false;    // the battery saver is on
};

// From the system's power status: the AC line (0 offline, 1 online, 255
// unknown) and the status flag (1: battery saver on). An unknown line
// counts as plugged in.
PowerState PowerStateOf(unsigned acLineStatus, unsigned systemStatusFlag);

// Whether the movie rests to spare the battery: on battery with the saver
// on, while the setting asks for it. Plugged in, or with the saver off, it
// plays.
bool RestsForPower(const PowerState& power, bool settingOn);

// Each reason on its own pauses the wallpaper; it plays again when none is
// left. Saving the battery rests the movie only: the slideshow's slow pace
// costs next to nothing, so it goes on. A full-screen program on some of
// the monitors rests only the movies shown there (hiddenMonitors); on all
// of them it is a reason for everything (fullScreen).
struct PauseReasons {
  bool fullScreen = false;
  std::vector<ScreenBox> hiddenMonitors;
  bool locked = false;
  bool displayOff = false;
  bool desktopHidden = false;
  bool batterySaving = false;
  // Everything rests: the movie and the slides.
  bool Any() const { return fullScreen || locked || displayOff || desktopHidden; }
  bool MovieRests() const { return Any() || batterySaving; }
};

}  // namespace velmora
