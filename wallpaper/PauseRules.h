// When the wallpaper rests: a program showing full screen over it, the
// session locked, the display off, the desktop not shown at all. Plain rules,
// the window queries are the background window's.
#pragma once

#include <string_view>

namespace velmora {

// A rectangle of screen pixels, right and bottom exclusive.
struct ScreenBox {
  long left = 0, top = 0, right = 0, bottom = 0;
};

// Whether a window of rectangle `window` hides all of `monitor`: a full-screen
// program's window is the monitor's size or larger (borders pushed off it).
bool CoversMonitor(const ScreenBox& window, const ScreenBox& monitor);

// The shell's own desktop and taskbar windows, which never pause anything.
bool IsShellWindowClass(std::string_view className);

// Each reason on its own pauses the wallpaper; it plays again when none is left.
struct PauseReasons {
  bool fullScreen = false;
  bool locked = false;
  bool displayOff = false;
  bool desktopHidden = false;
  bool Any() const { return fullScreen || locked || displayOff || desktopHidden; }
};

}  // namespace velmora
