#include "wallpaper/ItemRebuild.h"

#include "shell/Subclassing.h"

#include <algorithm>
#include <chrono>

namespace velmora {

void ItemRebuild::Load() {
  items_.Rebuild();
  if (links_.itemsLoaded) links_.itemsLoaded();
}

void ItemRebuild::Refresh(bool redraw) {
  Load();
  if (links_.relaid) links_.relaid(redraw);
}

bool ItemRebuild::Watch(HWND window, std::function<void(WPARAM, LPARAM)> receipt) {
  const bool filtered = InstallNotificationFilter(window, std::move(receipt));
  if (filtered) notifications_.RegisterDesktopNotify(window);
  return filtered;
}

void ItemRebuild::Unwatch(HWND window) {
  if (window) ::KillTimer(window, kTimerId);
  notifications_.UnregisterDesktopNotify();
  if (window) RemoveNotificationFilter(window);
}

void ItemRebuild::WatchNewShell(HWND window) {
  // The shell's registration went with the old shell.
  if (!notifications_.UnregisterDesktopNotify()) notifications_.Abandon();
  notifications_.RegisterDesktopNotify(window);
}

void ItemRebuild::ArmTimer(HWND window) {
  const auto wait =
      std::chrono::ceil<std::chrono::milliseconds>(changes_.Remaining(ChangeBatch::Clock::now()));
  ::SetTimer(window, kTimerId, static_cast<UINT>(std::max<long long>(1, wait.count())), nullptr);
}

void ItemRebuild::Changed(HWND window) {
  if (!window) return;
  changes_.Changed(ChangeBatch::Clock::now());
  ArmTimer(window);
}

void ItemRebuild::OnTimer(HWND window) {
  if (!changes_.Due(ChangeBatch::Clock::now())) {
    ArmTimer(window);
    return;
  }
  ::KillTimer(window, kTimerId);
  Refresh(true);  // recomposed; the wallpaper plays on
}

}  // namespace velmora
