#include "shell/DesktopInventory.h"

#include "common/Handles.h"
#include "iconlayer/ItemRules.h"
#include "settings/Registry.h"
#include "startup/DesktopHost.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>

namespace velmora {
namespace {

// A COM interface pointer released by its owner.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() {
    if (p_) p_->Release();
  }
  T* operator->() const { return p_; }
  T* get() const { return p_; }
  void** put() { return reinterpret_cast<void**>(&p_); }

 private:
  T* p_ = nullptr;
};

bool IsFolder(const std::string& path) {
  const DWORD a = ::GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::string GetFileModifiedDate(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return {};
  FILETIME local{};
  SYSTEMTIME t{};
  if (!::FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) ||
      !::FileTimeToSystemTime(&local, &t))
    return {};
  char text[16];
  std::snprintf(text, sizeof text, "%04u/%02u/%02u", t.wYear, t.wMonth, t.wDay);
  return text;
}

void ScanDir(ShortcutList& list, const std::string& folder, bool addSpecial) {
  const HCURSOR previous = ::SetCursor(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));
  if (addSpecial)
    for (const SpecialItem& item : SpecialItems()) list.AddRow({item.shellName});
  WIN32_FIND_DATAA found;
  const HANDLE search = ::FindFirstFileA((folder + "*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      FolderEntry entry;
      entry.name = name;
      entry.isDirectory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      entry.size = (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
      if (!entry.isDirectory) entry.modified = GetFileModifiedDate(folder + name);
      list.AddRow(RowForEntry(folder, entry));
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
  }
  ::SetCursor(previous);
}

std::string GetShortcutProperty(const std::string& shortcut, const std::string& property) {
  const std::string which = ToLower(property);
  if (which == "name") return shortcut;
  ComPtr<IShellLinkA> link;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.put())))
    return {};
  ComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.put()))) return {};
  wchar_t wide[MAX_PATH * 2] = {};
  if (!::MultiByteToWideChar(CP_ACP, 0, shortcut.c_str(), -1, wide, MAX_PATH * 2) ||
      FAILED(file->Load(wide, STGM_READ)))
    return {};
  char text[MAX_PATH * 2] = {};
  if (which == "target") {
    WIN32_FIND_DATAA data{};
    if (FAILED(link->GetPath(text, sizeof text, &data, 0))) return {};
  } else if (which == "icon") {
    int index = 0;
    if (FAILED(link->GetIconLocation(text, sizeof text, &index))) return {};
    return std::string(text) + "," + std::to_string(index);
  } else if (which == "start") {
    if (FAILED(link->GetWorkingDirectory(text, sizeof text))) return {};
  } else if (which == "key") {
    WORD key = 0;
    if (FAILED(link->GetHotkey(&key)) || key == 0) return {};
    return std::to_string(key);
  } else {
    return {};
  }
  return text;
}

InventorySystem LiveInventorySystem() {
  InventorySystem system;
  system.isFolder = IsFolder;
  system.shortcutTarget = [](const std::string& p) { return GetShortcutProperty(p, "TARGET"); };
  system.classesRootValue = [](const std::string& key) {
    return GetRegString(HKEY_CLASSES_ROOT, key, "");
  };
  system.systemDirectory = GetSpecialDir(1);
  return system;
}

void ScanDesktops(ShortcutList& list) {
  list.Clear();
  // A desktop folder the shell cannot name is not scanned (its rows would
  // be the root of the current drive otherwise).
  const std::string common = GetSpecialDir(19), own = GetSpecialDir(3);
  for (const SpecialItem& item : SpecialItems()) list.AddRow({item.shellName});
  if (!common.empty()) ScanDir(list, common + "\\", false);
  if (!own.empty()) ScanDir(list, own + "\\", false);
}

}  // namespace velmora
