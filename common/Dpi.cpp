#include "common/Dpi.h"

#include "common/Handles.h"
#include "common/SystemFunction.h"

namespace velmora {
namespace {

using SetContextFn = BOOL(WINAPI*)(HANDLE);
using SetAwarenessFn = HRESULT(WINAPI*)(int);
using SetAwareFn = BOOL(WINAPI*)();
using DpiForWindowFn = UINT(WINAPI*)(HWND);
using MetricForDpiFn = int(WINAPI*)(int, UINT);
using DpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2 and _PER_MONITOR_AWARE.
const HANDLE kPerMonitorV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
const HANDLE kPerMonitor = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3));
constexpr int kProcessPerMonitor = 2;  // PROCESS_PER_MONITOR_DPI_AWARE
constexpr int kMinimumDpi = 96;

HMODULE User32() { return ::GetModuleHandleW(L"user32.dll"); }

int ScreenDpi() {
  const WindowDc screen = GetWindowDc(nullptr);
  const int dpi = screen ? ::GetDeviceCaps(screen.get().dc, LOGPIXELSX) : 0;
  return dpi >= kMinimumDpi ? dpi : kMinimumDpi;
}

}  // namespace

DpiAwareness DeclareDpiAwareness() {
  // Windows 10 1703 and later, then 8.1 (shcore), then Vista.
  if (const auto setContext = FindSystemFunction<SetContextFn>(User32(), "SetProcessDpiAwarenessContext")) {
    if (setContext(kPerMonitorV2)) return DpiAwareness::kPerMonitorV2;
    if (setContext(kPerMonitor)) return DpiAwareness::kPerMonitor;
  }
  const UniqueLibrary shcore(::LoadLibraryW(L"shcore.dll"));
  const auto setAwareness =
      FindSystemFunction<SetAwarenessFn>(static_cast<HMODULE>(shcore.get()), "SetProcessDpiAwareness");
  if (setAwareness && SUCCEEDED(setAwareness(kProcessPerMonitor))) return DpiAwareness::kPerMonitor;
  if (const auto setAware = FindSystemFunction<SetAwareFn>(User32(), "SetProcessDPIAware"))
    if (setAware()) return DpiAwareness::kSystem;
  return DpiAwareness::kNone;
}

int DpiOfWindow(HWND window) {
  if (const auto forWindow = FindSystemFunction<DpiForWindowFn>(User32(), "GetDpiForWindow"))
    if (window) {
      const UINT dpi = forWindow(window);
      if (dpi >= kMinimumDpi) return static_cast<int>(dpi);
    }
  return ScreenDpi();
}

int DpiAtPoint(POINT point) {
  // Windows 8.1 and later; MDT_EFFECTIVE_DPI.
  const UniqueLibrary shcore(::LoadLibraryW(L"shcore.dll"));
  const auto forMonitor =
      FindSystemFunction<DpiForMonitorFn>(static_cast<HMODULE>(shcore.get()), "GetDpiForMonitor");
  const HMONITOR monitor = ::MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST);
  UINT x = 0, y = 0;
  if (forMonitor && monitor && SUCCEEDED(forMonitor(monitor, 0, &x, &y)) && x >= kMinimumDpi)
    return static_cast<int>(x);
  return ScreenDpi();
}

int SystemMetricForDpi(int index, int dpi) {
  if (const auto forDpi = FindSystemFunction<MetricForDpiFn>(User32(), "GetSystemMetricsForDpi"))
    return forDpi(index, static_cast<UINT>(dpi));
  return ::GetSystemMetrics(index);
}

}  // namespace velmora
