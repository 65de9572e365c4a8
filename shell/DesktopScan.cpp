#include "shell/DesktopScan.h"

#include "common/BoundedRead.h"
#include "common/FileSystem.h"
#include "common/Handles.h"
#include "common/WinText.h"
#include "common/PathText.h"
#include "settings/Registry.h"
#include "common/DesktopHost.h"

#include <shlobj.h>
#include <shobjidl.h>
#include <shlwapi.h>

#include <cstdio>
#include <iterator>

namespace velmora {

std::string GetFileModifiedDate(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(SystemPath(path).c_str(), GetFileExInfoStandard, &data)) return {};
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
  const BusyPointer busy;
  if (addSpecial)
    for (const SpecialItem& item : SpecialItems()) list.AddRow({item.shellName});
  WIN32_FIND_DATAW found;
  const UniqueFind search(::FindFirstFileW(SystemPath(folder + "*").c_str(), &found));
  if (search) {
    do {
      const std::string name = Utf8(found.cFileName);
      if (name == "." || name == "..") continue;
      FolderEntry entry;
      entry.name = name;
      entry.isDirectory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      entry.size = (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
      if (!entry.isDirectory) entry.modified = GetFileModifiedDate(folder + name);
      list.AddRow(RowForEntry(folder, entry));
    } while (::FindNextFileW(search.get(), &found));
  }
}

namespace {

// A shortcut file is small; a larger one is not read.
constexpr uint64_t kMostShortcutBytes = 1u << 20;

// The shortcut object of a shortcut file, read by the program itself (the
// file's bytes, on a disk, within the patience for desktop items) and handed
// to the object from memory: the object never opens the name itself (which
// could be a device's) and the window thread never waits for long.
ComPtr<IShellLinkW> LoadShortcut(const std::string& shortcut) {
  const std::optional<std::string> bytes =
      ReadSmallFileWithin(shortcut, kMostShortcutBytes, kItemReadPatience);
  if (!bytes || bytes->empty()) return {};
  const ComPtr<IStream> stream(::SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes->data()),
                                                   static_cast<UINT>(bytes->size())));
  ComPtr<IShellLinkW> link;
  if (!stream || FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IShellLinkW, reinterpret_cast<void**>(link.put()))))
    return {};
  const ComPtr<IPersistStream> persist = QueryAs<IPersistStream>(link.get(), IID_IPersistStream);
  if (!persist || FAILED(persist->Load(stream.get()))) return {};
  return link;
}

}  // namespace

std::string GetShortcutProperty(const std::string& shortcut, const std::string& property) {
  const std::string which = ToLower(property);
  if (which == "name") return shortcut;
  const ComPtr<IShellLinkW> link = LoadShortcut(shortcut);
  if (!link) return {};
  wchar_t text[MAX_PATH * 2] = {};
  const int size = static_cast<int>(std::size(text));
  if (which == "target") {
    WIN32_FIND_DATAW data{};
    if (FAILED(link->GetPath(text, size, &data, 0))) return {};
  } else if (which == "icon") {
    int index = 0;
    if (FAILED(link->GetIconLocation(text, size, &index))) return {};
    return Utf8(text) + "," + std::to_string(index);
  } else if (which == "start") {
    if (FAILED(link->GetWorkingDirectory(text, size))) return {};
  } else if (which == "key") {
    WORD key = 0;
    if (FAILED(link->GetHotkey(&key)) || key == 0) return {};
    return std::to_string(key);
  } else {
    return {};
  }
  return Utf8(text);
}

InventorySystem LiveInventorySystem() {
  InventorySystem system;
  system.isFolder = IsExistingFolder;
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
