#include "shell/ItemContextMenu.h"

#include "common/WinText.h"
#include "shell/ItemIdList.h"
#include "shell/Subclassing.h"

namespace velmora {
namespace {

// The menu being shown, for the messages its owner-drawn submenus ("Send
// To") send to the owner window; empty at all other times.
ComPtr<IContextMenu2>& ActiveContextMenu2() {
  static ComPtr<IContextMenu2> menu;
  return menu;
}

// Passes the owner window's menu messages to the shell's menu while it is
// open, and every message on.
LRESULT CALLBACK MenuMessageForwarding(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const WNDPROC previous = ReplacedProcedure(window);
  switch (message) {
    case WM_INITMENUPOPUP:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
      if (ActiveContextMenu2()) ActiveContextMenu2()->HandleMenuMsg(message, wParam, lParam);
      break;
    case WM_DESTROY: {
      const LRESULT result = ::CallWindowProcA(previous, window, message, wParam, lParam);
      UnsubclassWindow(window);
      return result;
    }
  }
  return previous ? ::CallWindowProcA(previous, window, message, wParam, lParam)
                  : ::DefWindowProcA(window, message, wParam, lParam);
}

// An item-id list of the shell's allocator, as the owner frees it.
UniqueTaskMemory<ITEMIDLIST> CopyItem(PCIDLIST_ABSOLUTE list, int n) {
  IMalloc* malloc = GetShellMalloc();
  if (!malloc) return {};
  return UniqueTaskMemory<ITEMIDLIST>(reinterpret_cast<ITEMIDLIST*>(GetItemIdCopy(
      reinterpret_cast<const uint8_t*>(list), n, [malloc](size_t size) { return malloc->Alloc(size); })));
}

}  // namespace

IMalloc* GetShellMalloc() {
  // The shell's allocator is the task allocator, which the owners of item-id
  // lists free with; it lives as long as the process.
  static IMalloc* const malloc = [] {
    IMalloc* m = nullptr;
    return SUCCEEDED(::SHGetMalloc(&m)) ? m : nullptr;
  }();
  return malloc;
}

UniqueTaskMemory<ITEMIDLIST> GetPidlFromPath(HWND owner, const std::string& path) {
  UniqueTaskMemory<ITEMIDLIST> list;
  ComPtr<IShellFolder> desktop;
  if (FAILED(::SHGetDesktopFolder(desktop.put())) || !desktop) return list;
  std::wstring name = Wide(path);
  ULONG eaten = 0;
  if (FAILED(desktop->ParseDisplayName(owner, nullptr, name.data(), &eaten, list.put(), nullptr)))
    list.reset();
  return list;
}

ComPtr<IShellFolder> GetParentShellFolder(PCIDLIST_ABSOLUTE list) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(list);
  const int count = GetItemIdCount(bytes);
  if (!IsDesktopPidl(bytes) && count == 0) return {};
  ComPtr<IShellFolder> folder;
  if (FAILED(::SHGetDesktopFolder(folder.put()))) return {};
  for (int i = 1; i < count; ++i) {
    const UniqueTaskMemory<ITEMIDLIST> item = CopyItem(list, i);
    ComPtr<IShellFolder> inner;
    if (!item || FAILED(folder->BindToObject(item.get(), nullptr, IID_IShellFolder,
                                             reinterpret_cast<void**>(inner.put()))) || !inner)
      return {};
    folder = std::move(inner);
  }
  return folder;
}

bool ShowShellContextMenu(HWND owner, IShellFolder* folder, UINT count, PCUITEMID_CHILD_ARRAY items,
                          POINT screen, const ItemMenuLinks& links) {
  ComPtr<IContextMenu> menu;
  if (!folder || FAILED(folder->GetUIObjectOf(owner, count, items, IID_IContextMenu, nullptr,
                                              reinterpret_cast<void**>(menu.put()))) ||
      !menu)
    return false;
  ActiveContextMenu2() = QueryAs<IContextMenu2>(menu.get(), IID_IContextMenu2);
  bool chosen = false;
  UniqueMenu popup(::CreatePopupMenu());
  IContextMenu* filler = ActiveContextMenu2() ? ActiveContextMenu2().get() : menu.get();
  if (popup && SUCCEEDED(filler->QueryContextMenu(static_cast<HMENU>(popup.get()), 0, 1, 0x7FFF,
                                                  CMF_EXPLORE))) {
    MENUITEMINFOW own{};
    own.cbSize = sizeof own;
    own.fMask = MIIM_ID | MIIM_TYPE;
    own.fType = MFT_STRING;
    own.wID = kOwnMenuEntryId;
    wchar_t caption[] = L"&Velmora";
    own.dwTypeData = caption;
    own.cch = static_cast<UINT>(std::size(caption) - 1);
    ::InsertMenuItemW(static_cast<HMENU>(popup.get()), 0, TRUE, &own);
    UINT id = 0;
    if (links.chooser) {
      id = links.chooser(static_cast<HMENU>(popup.get()));
    } else {
      // The menu closes on a click elsewhere or Esc only while its owner is
      // in the foreground.
      ::SetForegroundWindow(owner);
      id = static_cast<UINT>(::TrackPopupMenu(static_cast<HMENU>(popup.get()),
                                              TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y,
                                              0, owner, nullptr));
      ::PostMessageW(owner, WM_NULL, 0, 0);
    }
    chosen = id != 0;
    if (id == kOwnMenuEntryId) {
      if (links.properties) links.properties();  // no shell command runs
    } else if (id != 0) {
      CMINVOKECOMMANDINFO invoke{};
      invoke.cbSize = sizeof invoke;
      invoke.hwnd = owner;
      invoke.lpVerb = MAKEINTRESOURCEA(id - 1);
      invoke.nShow = SW_SHOWNORMAL;
      if (ActiveContextMenu2()) {
        ActiveContextMenu2()->InvokeCommand(&invoke);
        if (links.commandDone) links.commandDone();
      } else {
        menu->InvokeCommand(&invoke);
      }
    }
  }
  ActiveContextMenu2().reset();
  return chosen;
}

bool ShellContextMenu(HWND owner, const std::string& text, POINT screen, const ItemMenuLinks& links) {
  if (text.empty()) return false;
  const UniqueTaskMemory<ITEMIDLIST> absolute = GetPidlFromPath(owner, text);
  if (!absolute) return false;
  const ComPtr<IShellFolder> folder = GetParentShellFolder(absolute.get());
  if (!folder) return false;
  const UniqueTaskMemory<ITEMIDLIST> relative = CopyItem(absolute.get(), -1);
  if (!relative) return false;
  // The shell's owner-drawn submenus send their messages to the owner.
  const bool forwarding = SubclassWindow(owner, MenuMessageForwarding);
  PCUITEMID_CHILD child = relative.get();
  const bool chosen = ShowShellContextMenu(owner, folder.get(), 1, &child, screen, links);
  if (forwarding) UnsubclassWindow(owner);
  return chosen;
}

}  // namespace velmora
