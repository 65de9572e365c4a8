// The desktop items read again for the background window: at its load, on
// a refresh, and when the desktop folders change. The shell's directory
// updates come to the window through its notification filter, the watch of
// the folders through a message; changes close together make one rebuild
// (shell/ChangeBatch), which recomposes the layer and leaves the wallpaper
// running.
#pragma once

#include "shell/ChangeBatch.h"
#include "shell/DesktopInventory.h"
#include "shell/ShellNotify.h"

#include <windows.h>

#include <functional>

namespace velmora {

class ItemRebuild {
 public:
  // Gathers desktop changes into one rebuild.
  static constexpr UINT kTimerId = 2;

  struct Links {
    std::function<void()> itemsLoaded;         // the items were read again: icons follow
    std::function<void(bool redraw)> relaid;   // positions, with redraw a composition
  };
  ItemRebuild(DesktopInventory& items, Links links) : items_(items), links_(std::move(links)) {}

  // LoadShortMem: the items read again, their icons with them.
  void Load();
  // The items and their positions; with `redraw` the layer composed again.
  void Refresh(bool redraw);

  // The shell's notifications sent to `receipt` through `window`'s
  // notification filter, and the shell's registration for them; false when
  // the filter could not be put in place (nothing is registered then).
  bool Watch(HWND window, std::function<void(WPARAM, LPARAM)> receipt);
  void Unwatch(HWND window);
  // The shell came back: its registration taken again for `window`.
  void WatchNewShell(HWND window);

  // A change of the desktop folders: the rebuild is due a short while after
  // the last of a burst.
  void Changed(HWND window);
  // The rebuild timer of `window` went off.
  void OnTimer(HWND window);

 private:
  void ArmTimer(HWND window);

  DesktopInventory& items_;
  Links links_;
  DesktopNotifications notifications_;
  ChangeBatch changes_;
};

}  // namespace velmora
