#include "wallpaper/PauseRules.h"

#include "common/PathText.h"

namespace velmora {

bool CoversMonitor(const ScreenBox& window, const ScreenBox& monitor) {
  if (monitor.right <= monitor.left || monitor.bottom <= monitor.top) return false;
  return window.left <= monitor.left && window.top <= monitor.top && window.right >= monitor.right &&
         window.bottom >= monitor.bottom;
}

std::vector<ScreenBox> MonitorsHiddenBy(const ScreenBox& front, const std::vector<ScreenBox>& monitors) {
  std::vector<ScreenBox> hidden;
  for (const ScreenBox& monitor : monitors)
    if (CoversMonitor(front, monitor)) hidden.push_back(monitor);
  return hidden;
}

bool TileHidden(const ScreenBox& tile, const std::vector<ScreenBox>& hidden) {
  if (tile.Empty()) return false;
  long long covered = 0;
  for (const ScreenBox& monitor : hidden) {
    const ScreenRect part = Intersection(tile, monitor);
    if (!part.Empty()) covered += static_cast<long long>(part.Width()) * part.Height();
  }
  return covered >= static_cast<long long>(tile.Width()) * tile.Height();
}

PowerState PowerStateOf(unsigned acLineStatus, unsigned systemStatusFlag) {
  constexpr unsigned kOffline = 0, kSaverOn = 1;
  return {acLineStatus == kOffline, systemStatusFlag == kSaverOn};
}

bool RestsForPower(const PowerState& power, bool settingOn) {
  return settingOn && power.onBattery && power.saverOn;
}

bool IsShellWindowClass(std::string_view className) {
  // Window class names are compared without regard to case, as the system does.
  const std::string name = ToLower(className);
  for (std::string_view shell : {"progman", "workerw", "shell_traywnd", "shell_secondarytraywnd"})
    if (name == shell) return true;
  return false;
}

}  // namespace velmora
