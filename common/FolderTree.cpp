#include "common/FolderTree.h"

#include "common/FileIdentity.h"
#include "common/FileSystem.h"
#include "common/Handles.h"
#include "common/PathText.h"
#include "common/WinText.h"

#include <optional>

namespace velmora {
namespace {

// The size of a file as its folder lists it; nullopt when it cannot be read.
std::optional<unsigned long long> SizeOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(SystemPath(path).c_str(), GetFileExInfoStandard, &data))
    return std::nullopt;
  return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Paths compared as the file system compares names: case not counted, in
// every alphabet.
bool SamePath(const std::string& a, const std::string& b) {
  return ::CompareStringOrdinal(Wide(a).c_str(), -1, Wide(b).c_str(), -1, TRUE) == CSTR_EQUAL;
}

// A folder being walked, with its final path asked for once, when first
// needed.
class WalkedFolder {
 public:
  explicit WalkedFolder(const std::string& path) : path_(path) {}
  const std::string& path() const { return path_; }
  bool EntryIsLink(const FolderEntry& entry);

 private:
  std::string path_;
  std::optional<std::string> final_;
};

bool WalkedFolder::EntryIsLink(const FolderEntry& entry) {
  // A folder reparse point is a junction, a mount point or a link; a file
  // reparse point is one when its tag says it stands for another name (an
  // unknown tag is taken for one).
  if (entry.reparse)
    return entry.folder || entry.reparseTag == 0 || IsReparseTagNameSurrogate(entry.reparseTag);
  // Not marked, yet resolved elsewhere (Wine lists a Unix link to a file as a
  // plain file).
  if (!final_) final_ = FinalPathOf(path_);
  const std::string there = FinalPathOf(path_ + "\\" + entry.name);
  if (final_->empty() || there.empty()) return false;
  return !SamePath(there, *final_ + (final_->back() == '\\' ? "" : "\\") + entry.name);
}

// Removes what is known not to be a link, and what lies below it but links.
bool RemoveChecked(const std::string& path, bool folder) {
  const std::wstring wide = SystemPath(path);
  if (!folder) {
    ::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    return ::DeleteFileW(wide.c_str()) != FALSE;
  }
  bool whole = true;
  WalkedFolder walked(path);
  ForEachEntry(path, [&](const FolderEntry& entry) {
    if (walked.EntryIsLink(entry) || !RemoveChecked(path + "\\" + entry.name, entry.folder))
      whole = false;
  });
  return whole && ::RemoveDirectoryW(wide.c_str());
}

DWORD CopyInto(const std::string& from, const std::string& to, const FileIdentity& copyRoot);

// One entry of a folder being copied.
DWORD CopyEntry(WalkedFolder& from, const std::string& to, const FolderEntry& entry,
                const FileIdentity& copyRoot) {
  const std::string source = from.path() + "\\" + entry.name, target = to + "\\" + entry.name;
  if (from.EntryIsLink(entry)) return kErrorLinkInside;
  if (!entry.folder) return CopyWholeFile(source, target);
  // The copy growing inside its own source: stop before it goes round.
  if (IdentityOf(source) == copyRoot) return kErrorCopyInsideItself;
  if (!::CreateDirectoryW(SystemPath(target).c_str(), nullptr)) return ::GetLastError();
  return CopyInto(source, target, copyRoot);
}

DWORD CopyInto(const std::string& from, const std::string& to, const FileIdentity& copyRoot) {
  DWORD error = ERROR_SUCCESS;
  WalkedFolder folder(from);
  ForEachEntry(from, [&](const FolderEntry& entry) {
    if (error == ERROR_SUCCESS) error = CopyEntry(folder, to, entry, copyRoot);
  });
  return error;
}

}  // namespace

void ForEachEntry(const std::string& folder, const std::function<void(const FolderEntry&)>& visit) {
  WIN32_FIND_DATAW found;
  const UniqueFind search(::FindFirstFileW(SystemPath(folder + "\\*").c_str(), &found));
  if (!search) return;
  do {
    FolderEntry entry;
    entry.name = Utf8(found.cFileName);
    if (entry.name == "." || entry.name == "..") continue;
    entry.folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.reparse = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    entry.reparseTag = entry.reparse ? found.dwReserved0 : 0;
    entry.bytes = (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    visit(entry);
  } while (::FindNextFileW(search.get(), &found));
}

bool IsLinkEntry(const std::string& folder, const FolderEntry& entry) {
  return WalkedFolder(folder).EntryIsLink(entry);
}

bool IsLink(const std::string& path) {
  // The link itself is asked, not what it leads to.
  const UniqueFile file(::CreateFileW(SystemPath(path).c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (!file || !::GetFileInformationByHandleEx(file.get(), FileAttributeTagInfo, &tag, sizeof tag)) {
    // Not to be asked: the attributes alone tell.
    tag.FileAttributes = ::GetFileAttributesW(SystemPath(path).c_str());
    if (tag.FileAttributes == INVALID_FILE_ATTRIBUTES) return false;
    tag.ReparseTag = 0;
  }
  FolderEntry entry;
  entry.name = GetFileNamePart(path);
  entry.folder = (tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  entry.reparse = (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  entry.reparseTag = entry.reparse ? tag.ReparseTag : 0;
  return IsLinkEntry(ParentFolder(path), entry);
}

std::string FindLinkInside(const std::string& folder) {
  std::string found;
  WalkedFolder walked(folder);
  ForEachEntry(folder, [&](const FolderEntry& entry) {
    if (!found.empty()) return;
    if (walked.EntryIsLink(entry)) {
      found = entry.name;
    } else if (entry.folder) {
      const std::string inner = FindLinkInside(folder + "\\" + entry.name);
      if (!inner.empty()) found = entry.name + "\\" + inner;
    }
  });
  return found;
}

bool RemoveTree(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(SystemPath(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;  // nothing to remove
  }
  // A link is not removed: removing one through the system's calls may reach
  // what it links to (Wine deletes a linked file's target).
  if (IsLink(path)) return false;
  return RemoveChecked(path, (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
}

DWORD CopyWholeFile(const std::string& from, const std::string& to) {
  const std::optional<unsigned long long> size = SizeOf(from);
  if (!::CopyFileW(SystemPath(from).c_str(), SystemPath(to).c_str(), TRUE)) {
    const DWORD error = ::GetLastError();
    // What a copy cut short left is of no use (unless it was there before).
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) RemoveTree(to);
    return error;
  }
  // A copy the system calls done but that is short is no copy.
  if (!size || SizeOf(to) != size) {
    RemoveTree(to);
    return ERROR_WRITE_FAULT;
  }
  return ERROR_SUCCESS;
}

DWORD CopyTree(const std::string& from, const std::string& to) {
  if (!::CreateDirectoryW(SystemPath(to).c_str(), nullptr)) return ::GetLastError();
  const std::optional<FileIdentity> root = IdentityOf(to);
  DWORD error = root ? CopyInto(from, to, *root) : ::GetLastError();
  if (error == ERROR_SUCCESS && !(MeasureTree(from) == MeasureTree(to))) error = ERROR_WRITE_FAULT;
  if (error != ERROR_SUCCESS) RemoveTree(to);
  return error;
}

TreeSize MeasureTree(const std::string& folder) {
  TreeSize size;
  ForEachEntry(folder, [&](const FolderEntry& entry) {
    if (entry.reparse && entry.folder) return;  // a linked folder is not this one's
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
