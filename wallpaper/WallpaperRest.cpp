#include "wallpaper/WallpaperRest.h"

#include "common/SystemNotifications.h"

namespace velmora {
namespace {

// Whether the window in front belongs to another program, is not one of the
// shell's own and hides the whole monitor it is on (a game, a video, a
// presentation).
bool ForeignFullScreenInFront() {
  const HWND front = ::GetForegroundWindow();
  if (!front || !::IsWindowVisible(front) || ::IsIconic(front)) return false;
  // The desktop itself is in front when nothing else is.
  if (front == ::GetDesktopWindow() || front == ::GetShellWindow()) return false;
  DWORD process = 0;
  ::GetWindowThreadProcessId(front, &process);
  if (process == ::GetCurrentProcessId()) return false;
  char className[64] = {};
  ::GetClassNameA(::GetAncestor(front, GA_ROOT), className, sizeof className);
  if (IsShellWindowClass(className)) return false;
  RECT window{};
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!::GetWindowRect(front, &window) ||
      !::GetMonitorInfoA(::MonitorFromWindow(front, MONITOR_DEFAULTTONEAREST), &monitor))
    return false;
  const RECT& m = monitor.rcMonitor;
  return CoversMonitor({window.left, window.top, window.right, window.bottom}, {m.left, m.top, m.right, m.bottom});
}

PowerState SystemPower() {
  unsigned line = 0, flag = 0;
  if (!ReadPowerStatus(line, flag)) return {};
  return PowerStateOf(line, flag);
}

}  // namespace

void WallpaperRest::Start(HWND window) {
  sessionNotify_ = RegisterSessionNotifications(window);
  displayNotify_ = RegisterDisplayNotifications(window);
  powerNotify_ = RegisterPowerSourceNotifications(window);
  ReadPower();
  ::SetTimer(window, kCheckTimerId, kCheckInterval, nullptr);
}

void WallpaperRest::Stop(HWND window) {
  if (window) ::KillTimer(window, kCheckTimerId);
  sessionNotify_.reset();
  displayNotify_.reset();
  powerNotify_ = {};
}

void WallpaperRest::SetPowerRule(bool on) {
  if (on == powerRule_) return;
  powerRule_ = on;
  ReadPower();
}

void WallpaperRest::SetPowerSource(std::function<PowerState()> source) {
  powerSource_ = std::move(source);
  ReadPower();
}

void WallpaperRest::ReadPower() {
  const PowerState power = powerSource_ ? powerSource_() : SystemPower();
  PauseReasons now = reasons_;
  now.batterySaving = RestsForPower(power, powerRule_);
  if (now.batterySaving != reasons_.batterySaving) Set(now);
}

void WallpaperRest::Set(const PauseReasons& now) {
  reasons_ = now;
  if (changed_) changed_();
}

void WallpaperRest::Check(HWND window) {
  if (!window) return;
  PauseReasons now = reasons_;
  now.fullScreen = ForeignFullScreenInFront();
  // Inside the shell's desktop window: hidden with it.
  const HWND parent = ::GetAncestor(window, GA_PARENT);
  now.desktopHidden = parent && parent != ::GetDesktopWindow() && !::IsWindowVisible(parent);
  if (now.fullScreen == reasons_.fullScreen && now.desktopHidden == reasons_.desktopHidden) return;
  Set(now);
}

bool WallpaperRest::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                  LRESULT& result) {
  switch (message) {
    case WM_TIMER:
      if (wParam != kCheckTimerId) return false;
      Check(window);
      result = 0;
      return true;
    case kSessionChangeMessage:
      if (wParam == kSessionLocked || wParam == kSessionUnlocked) {
        PauseReasons now = reasons_;
        now.locked = wParam == kSessionLocked;
        Set(now);
      }
      result = 0;
      return true;
    case WM_POWERBROADCAST: {
      bool displayOff = false;
      if (ReadDisplayState(wParam, lParam, displayOff)) {
        PauseReasons now = reasons_;
        now.displayOff = displayOff;
        Set(now);
      } else if (IsPowerStatusNotice(wParam, lParam)) {
        ReadPower();
      }
      result = TRUE;
      return true;
    }
    default:
      return false;
  }
}

}  // namespace velmora
