#include "common/FolderTree.h"

#include "common/FileSystem.h"
#include "common/Handles.h"
#include "common/WinText.h"

namespace velmora {

void ForEachEntry(const std::string& folder, const std::function<void(const FolderEntry&)>& visit) {
  WIN32_FIND_DATAW found;
  const UniqueFind search(::FindFirstFileW(SystemPath(folder + "\\*").c_str(), &found));
  if (!search) return;
  do {
    FolderEntry entry;
    entry.name = Utf8(found.cFileName);
    if (entry.name == "." || entry.name == "..") continue;
    entry.folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.bytes = (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    visit(entry);
  } while (::FindNextFileW(search.get(), &found));
}

void RemoveTree(const std::string& path) {
  const std::wstring wide = SystemPath(path);
  const DWORD attributes = ::GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    ::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(wide.c_str());
    return;
  }
  ForEachEntry(path, [&](const FolderEntry& entry) { RemoveTree(path + "\\" + entry.name); });
  ::RemoveDirectoryW(wide.c_str());
}

DWORD CopyTree(const std::string& from, const std::string& to) {
  if (!::CreateDirectoryW(SystemPath(to).c_str(), nullptr)) return ::GetLastError();
  DWORD error = ERROR_SUCCESS;
  ForEachEntry(from, [&](const FolderEntry& entry) {
    if (error != ERROR_SUCCESS) return;
    const std::string source = from + "\\" + entry.name, target = to + "\\" + entry.name;
    if (entry.folder)
      error = CopyTree(source, target);
    else if (!::CopyFileW(SystemPath(source).c_str(), SystemPath(target).c_str(), TRUE))
      error = ::GetLastError();
  });
  if (error != ERROR_SUCCESS) RemoveTree(to);
  return error;
}

TreeSize MeasureTree(const std::string& folder) {
  TreeSize size;
  ForEachEntry(folder, [&](const FolderEntry& entry) {
    if (entry.folder) {
      const TreeSize inner = MeasureTree(folder + "\\" + entry.name);
      size.files += inner.files;
      size.bytes += inner.bytes;
    } else {
      ++size.files;
      size.bytes += entry.bytes;
    }
  });
  return size;
}

}  // namespace velmora
