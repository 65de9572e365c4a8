// Whole folders by UTF-8 path: walking, copying, measuring and removing
// them with everything below. None of these ever goes through a link (a
// symbolic link, a junction, any reparse point): what a folder only links
// to is neither copied, counted nor removed with it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace velmora {

struct FolderEntry {
  std::string name;
  bool folder = false;
  bool reparse = false;     // a reparse point: a link, or a file of another kind (cloud, dedup)
  DWORD reparseTag = 0;     // its tag, when the system gives it
  unsigned long long bytes = 0;
};

// Calls `visit` for every entry of `folder` but "." and "..".
void ForEachEntry(const std::string& folder, const std::function<void(const FolderEntry&)>& visit);

// Whether `entry` of `folder` is a link to another place: a folder that is a
// reparse point, a file reparse point of a link's kind, or an entry the file
// system resolves to somewhere other than where it is listed (a link the
// system does not mark as one).
bool IsLinkEntry(const std::string& folder, const FolderEntry& entry);

// Whether the file or folder at `path` is itself a link (as IsLinkEntry).
bool IsLink(const std::string& path);

// The first link below `folder`, as its path relative to `folder`; "" when
// it holds none.
std::string FindLinkInside(const std::string& folder);

// Removes a file, or a folder with everything in it (read-only files too).
// A link (the path itself, or one met on the way) is left where it is, with
// the folders above it;
// false when anything could not be removed.
bool RemoveTree(const std::string& path);

// Errors of the tree functions that the system has no words for.
inline constexpr DWORD kErrorLinkInside = 0x20000001;   // a link below: not copied
inline constexpr DWORD kErrorCopyInsideItself = 0x20000002;  // the copy met itself

// Copies a folder with everything in it to `to`, which must not exist yet,
// and checks that every file arrived whole. A link below the folder is not
// copied: the copy fails with kErrorLinkInside. A folder that turns out to be
// the copy itself fails it with kErrorCopyInsideItself. On failure what was
// made is taken back and the error returned; ERROR_SUCCESS when the whole
// folder was copied.
DWORD CopyTree(const std::string& from, const std::string& to);

// The number of files below a folder and the sum of their sizes (links not
// followed).
struct TreeSize {
  unsigned long long files = 0, bytes = 0;
  bool operator==(const TreeSize& o) const { return files == o.files && bytes == o.bytes; }
};
TreeSize MeasureTree(const std::string& folder);

// Copies one file to `to`, which must not exist yet, and checks that it
// arrived whole; what a failed copy left is removed. ERROR_SUCCESS or the
// error.
DWORD CopyWholeFile(const std::string& from, const std::string& to);

}  // namespace velmora
