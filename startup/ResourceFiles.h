// The four pictures and the blank movie that the program refreshes in its
// own directory at every start.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

struct ResourceFile {
  const char* sourceName;       // e.g. "\\0011.bak", in the source directory
  const char* destinationName;  // e.g. "\\Blank.png", in the application directory
  int embeddedId;               // the copy built into the executable
};

// The four files, in the order they are refreshed.
const std::vector<ResourceFile>& RefreshedResourceFiles();

// Where the bytes of one file come from; nullopt when there is no source.
using ResourceSource = std::function<std::optional<std::string>(const ResourceFile&)>;

// Source directory first (an installer may place newer copies there), then
// the copy built into the executable.
ResourceSource InstalledOrEmbeddedSource(const std::string& sourceDirectory);

// Writes every file that has a source to appDirectory, overwriting what is
// there. A missing source or a destination that cannot be written (locked,
// read-only, a full disk) is skipped silently and leaves nothing behind.
// Returns how many files were written.
int RefreshResourceFiles(const ResourceSource& source, const std::string& appDirectory);

}  // namespace velmora
