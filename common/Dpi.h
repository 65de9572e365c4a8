// Display scaling: the program declares itself aware of each monitor's DPI
// (the manifest says so too; this is for systems that read only the call),
// and asks the DPI of a window and the system's measures at a DPI. The newer
// functions are taken at run time; older systems get the answers of their
// one system-wide DPI.
#pragma once

#include <windows.h>

namespace velmora {

// How far the declaration got: per-monitor v2, per-monitor, the system's
// DPI, or nothing (the process was aware already, or the system refused).
enum class DpiAwareness { kNone, kSystem, kPerMonitor, kPerMonitorV2 };

// Called before the first window: the best awareness the system accepts.
DpiAwareness DeclareDpiAwareness();

// The DPI `window` is laid out at (its monitor's for a per-monitor-aware
// process), or the screen's when the system cannot tell; 96 at the least
// sign of trouble.
int DpiOfWindow(HWND window);

// The DPI of the monitor that holds `point` (the nearest one), for a window
// about to open there; the screen's when the system cannot tell.
int DpiAtPoint(POINT point);

// GetSystemMetrics at `dpi` (SM_CXICON: the large icon's size there).
int SystemMetricForDpi(int index, int dpi);

// WM_DPICHANGED: the window's new DPI in wParam, its suggested rectangle in
// lParam.
constexpr UINT kDpiChangedMessage = 0x02E0;

}  // namespace velmora
