// The shell's change notifications of the desktop: a registration that has
// the shell post WM_SHNOTIFY to a window whenever it reports a directory
// update anywhere below the desktop.
#pragma once

#include "common/Handles.h"

#include <shlobj.h>

namespace velmora {

class DesktopNotifications {
 public:
  DesktopNotifications() = default;
  DesktopNotifications(const DesktopNotifications&) = delete;
  DesktopNotifications& operator=(const DesktopNotifications&) = delete;
  ~DesktopNotifications() { UnregisterDesktopNotify(); }

  // Registers `window` (sources 0xFF, directory updates, recursive); true
  // when a new registration was made, false when one exists or the shell
  // refused it.
  bool RegisterDesktopNotify(HWND window);
  // Ends the registration; true when one was ended.
  bool UnregisterDesktopNotify();
  // The registration given up without the shell, which went away with it.
  void Abandon() {
    handle_ = 0;
    desktop_.reset();
  }
  bool Registered() const { return handle_ != 0; }

 private:
  ULONG handle_ = 0;
  UniqueTaskMemory<ITEMIDLIST> desktop_;  // kept while registered
};

// The absolute item-id list of a special folder, or empty.
UniqueTaskMemory<ITEMIDLIST> GetPidlFromFolderId(HWND owner, int csidl);

}  // namespace velmora
