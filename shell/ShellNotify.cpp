#include "shell/ShellNotify.h"

#include "common/SystemFunction.h"
#include "shell/Subclassing.h"

namespace velmora {
namespace {

// The two functions shell32 exports by ordinal only.
using RegisterFunction = ULONG(WINAPI*)(HWND, int, LONG, UINT, int, const SHChangeNotifyEntry*);
using DeregisterFunction = BOOL(WINAPI*)(ULONG);
constexpr WORD kRegisterOrdinal = 2, kDeregisterOrdinal = 4;

// A function of shell32 by ordinal.
template <typename Function>
Function Shell32Function(WORD ordinal) {
  static const UniqueLibrary shell32(::LoadLibraryW(L"shell32.dll"));
  return FindSystemFunction<Function>(shell32.get(), MAKEINTRESOURCEA(ordinal));
}

}  // namespace

UniqueTaskMemory<ITEMIDLIST> GetPidlFromFolderId(HWND owner, int csidl) {
  UniqueTaskMemory<ITEMIDLIST> list;
  if (::SHGetSpecialFolderLocation(owner, csidl, list.put()) != S_OK) list.reset();
  return list;
}

bool DesktopNotifications::RegisterDesktopNotify(HWND window) {
  if (handle_) return false;
  desktop_ = GetPidlFromFolderId(nullptr, CSIDL_DESKTOP);
  if (!desktop_) return false;
  const auto registerNotify = Shell32Function<RegisterFunction>(kRegisterOrdinal);
  if (!registerNotify) return false;
  SHChangeNotifyEntry entry{};
  entry.pidl = desktop_.get();
  entry.fRecursive = TRUE;
  handle_ = registerNotify(window, 0xFF, SHCNE_UPDATEDIR, WM_SHNOTIFY, 1, &entry);
  if (!handle_) desktop_.reset();
  return handle_ != 0;
}

bool DesktopNotifications::UnregisterDesktopNotify() {
  if (!handle_) return false;
  const auto deregister = Shell32Function<DeregisterFunction>(kDeregisterOrdinal);
  if (!deregister || !deregister(handle_)) return false;  // the handle and the list are kept
  handle_ = 0;
  desktop_.reset();
  return true;
}

}  // namespace velmora
