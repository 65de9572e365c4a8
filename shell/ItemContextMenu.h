// The shell's own menu of a desktop item (the menu the shell shows for the
// file, folder or special item), with the program's entry "&Velmora" on
// top. The shell carries out its commands; the program only opens its
// settings for its own entry.
#pragma once

#include "common/Handles.h"

#include <shlobj.h>

#include <functional>
#include <string>

namespace velmora {

// The own entry's command: outside the range 1..0x7FFF handed to the shell,
// so that no shell command can be taken for it.
inline constexpr UINT kOwnMenuEntryId = 0x8000;

struct ItemMenuLinks {
  std::function<void()> properties;   // "&Velmora": the settings dialog
  std::function<void()> commandDone;  // a shell command ran: rebuild and redraw
  // Picks a command of the filled menu instead of the user (tests); empty:
  // the menu is tracked.
  std::function<UINT(HMENU)> chooser;
};

// ShellContextMenu: the menu of the item whose row text is `text` (a path,
// or a special item's "::{CLSID}" name) at a screen point, owned by
// `owner`. True when a command was chosen.
bool ShellContextMenu(HWND owner, const std::string& text, POINT screen, const ItemMenuLinks& links);

// ShowShellContextMenu: the menu of `count` items of `folder`.
bool ShowShellContextMenu(HWND owner, IShellFolder* folder, UINT count, PCUITEMID_CHILD_ARRAY items,
                          POINT screen, const ItemMenuLinks& links);

// The shell's allocator (cached), which the item-id lists come from.
IMalloc* GetShellMalloc();
// The absolute list of a path or of a "::{CLSID}" name; empty on failure.
UniqueTaskMemory<ITEMIDLIST> GetPidlFromPath(HWND owner, const std::string& path);
// The folder holding the list's last item; empty on failure.
ComPtr<IShellFolder> GetParentShellFolder(PCIDLIST_ABSOLUTE list);

}  // namespace velmora
