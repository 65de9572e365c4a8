// What a file or folder is, apart from the name it is reached by: the
// volume's serial number and the file's id on it. Two names of one place (a
// second drive letter, the "\\?\" form, a short name, a path through a link)
// give the same identity; path text cannot tell that.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace velmora {

struct FileIdentity {
  uint64_t volume = 0;
  std::array<uint8_t, 16> id{};
  bool operator==(const FileIdentity& o) const { return volume == o.volume && id == o.id; }
  bool operator!=(const FileIdentity& o) const { return !(*this == o); }
};

// The identity of what `path` shows (a link is followed to its target);
// nullopt when nothing is there or it cannot be opened.
std::optional<FileIdentity> IdentityOf(const std::string& path);

// The path the file system resolves `path` to, links followed, without the
// "\\?\" prefix (a share as "\\server\share\..."); "" when unknown.
std::string FinalPathOf(const std::string& path);

// Whether the folder `outer` is `inner` itself or lies above it, whatever
// names either is given by: the folders above `inner` by its own path and by
// its final path are compared with `outer` by identity.
bool FolderHolds(const std::string& outer, const std::string& inner);

}  // namespace velmora
