// The program's place inside the shell's desktop window, and the small
// environment queries every part shares.
#pragma once

#include "common/MonitorLayout.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace velmora {

// The top-level window with this title (any class), or null.
HWND FindWindowByTitle(const std::string& title);

// The window the program's windows belong in, by the shape of the shell's
// desktop windows (common/DesktopShape.h): "Program Manager", or the WorkerW
// that holds the icon view once the desktop is raised; null without a shell.
HWND DesktopParent();

// Makes `window` a child of DesktopParent(), at the top of its children
// (above the shell's icon view); without a shell the window stays top-level.
void SetDesktopParent(HWND window);

// Once both are children of the shell's window: the layer first among its
// children, the background window right under it, the icon view below both
// (what the system does to a window while it changes parents may leave the
// background window under the icon view).
void StackOnDesktop(HWND background, HWND layer);

// Whether `window` is no longer where DesktopParent() says it belongs (the
// desktop was raised, or a new shell window appeared).
bool DesktopParentChanged(HWND window);

// "thickness*edge" for the taskbar (edge B, T, L or R), or "" when the query
// fails or the taskbar lies on no recognised edge.
std::string GetTaskbarEdge();

// The monitors attached to the desktop now, in the system's order, in screen
// coordinates (EnumDisplayMonitors and GetMonitorInfo).
std::vector<MonitorArea> QueryMonitors();
// Their layout (common/MonitorLayout); the primary screen's size when the
// system lists none.
DesktopLayout CurrentDesktopLayout();

// Places `window` at `screen` (screen coordinates), converted to its
// parent's client coordinates when it is a child (the shell's desktop
// window starts at the virtual screen's corner, which may be negative).
void PlaceOnScreen(HWND window, const ScreenRect& screen);

// Bits per pixel of the screen.
int GetColorDepth();

// A system or shell folder by kind (0 Windows, 1 System, 2 Temp, 3 Desktop,
// ... 19 All users' desktop), without trailing backslash except kind 2 as the
// system gives it; "" for an unknown kind or a folder that does not exist.
std::string GetSpecialDir(int kind);

// Keeps a top-level window of the desktop below every other window: called
// on its WM_WINDOWPOSCHANGING, any move in the z-order becomes a move to the
// bottom, or right under `under` when one is given (the background window
// under the icon layer). A child of the shell's desktop window is left alone.
void KeepAtTheBottom(HWND window, LPARAM windowPos, HWND under = nullptr);

// The screen pointer during a long operation: the hourglass for the life of
// the object, then the pointer that was shown before it (the arrow after
// the outermost one). Every busy pointer of the program is one of these.
class BusyPointer {
 public:
  BusyPointer();
  ~BusyPointer();
  BusyPointer(const BusyPointer&) = delete;
  BusyPointer& operator=(const BusyPointer&) = delete;

 private:
  HCURSOR previous_;
};

// Dispatches the window messages waiting in this thread's queue. A quit
// request is left in the queue for the message loop.
void DispatchPendingMessages();

// Waits while dispatching window messages. Returns early, with milliseconds
// set to 0, when `stop` says so (it is asked after each dispatch); returns at
// once (posting it again) when the message loop is asked to quit.
void WaitMilliseconds(long& milliseconds, const std::function<bool()>& stop = {});

}  // namespace velmora
