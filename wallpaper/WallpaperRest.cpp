#include "wallpaper/WallpaperRest.h"

#include "common/DesktopHost.h"
#include "common/SystemNotifications.h"

namespace velmora {
namespace {

// The monitors hidden by the window in front when it belongs to another
// program, is not one of the shell's own and covers whole monitors (a
// game, a video, a presentation); the count of all monitors in `total`.
std::vector<ScreenBox> MonitorsHiddenInFront(size_t& total) {
  total = 0;
  const HWND front = ::GetForegroundWindow();
  if (!front || !::IsWindowVisible(front) || ::IsIconic(front)) return {};
  // The desktop itself is in front when nothing else is.
  if (front == ::GetDesktopWindow() || front == ::GetShellWindow()) return {};
  DWORD process = 0;
  ::GetWindowThreadProcessId(front, &process);
  if (process == ::GetCurrentProcessId()) return {};
  char className[64] = {};
  ::GetClassNameA(::GetAncestor(front, GA_ROOT), className, sizeof className);
  if (IsShellWindowClass(className)) return {};
  RECT window{};
  if (!::GetWindowRect(front, &window)) return {};
  std::vector<ScreenBox> monitors;
  for (const MonitorArea& area : QueryMonitors()) monitors.push_back(area.monitor);
  total = monitors.size();
  return MonitorsHiddenBy({window.left, window.top, window.right, window.bottom}, monitors);
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
  size_t monitors = 0;
  now.hiddenMonitors = MonitorsHiddenInFront(monitors);
  now.fullScreen = !now.hiddenMonitors.empty() && now.hiddenMonitors.size() == monitors;
  // Inside the shell's desktop window: hidden with it.
  const HWND parent = ::GetAncestor(window, GA_PARENT);
  now.desktopHidden = parent && parent != ::GetDesktopWindow() && !::IsWindowVisible(parent);
  if (now.fullScreen == reasons_.fullScreen && now.hiddenMonitors == reasons_.hiddenMonitors &&
      now.desktopHidden == reasons_.desktopHidden)
    return;
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
