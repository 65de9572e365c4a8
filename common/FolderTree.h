// Whole folders by UTF-8 path: walking, copying, measuring and removing
// them with everything below.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace velmora {

struct FolderEntry {
  std::string name;
  bool folder = false;
  unsigned long long bytes = 0;
};

// Calls `visit` for every entry of `folder` but "." and "..".
void ForEachEntry(const std::string& folder, const std::function<void(const FolderEntry&)>& visit);

// Removes a file, or a folder with everything in it (read-only files too).
void RemoveTree(const std::string& path);

// Copies a folder with everything in it to `to`, which must not exist yet.
// On failure what was made is taken back and the system's error returned;
// ERROR_SUCCESS when the whole folder was copied.
DWORD CopyTree(const std::string& from, const std::string& to);

// The number of files below a folder and the sum of their sizes.
struct TreeSize {
  unsigned long long files = 0, bytes = 0;
  bool operator==(const TreeSize& o) const { return files == o.files && bytes == o.bytes; }
};
TreeSize MeasureTree(const std::string& folder);

}  // namespace velmora
