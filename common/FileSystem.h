// Files by UTF-8 path: whether one is there, reading one whole, and
// replacing one whole without ever leaving it half written.
#pragma once

#include "common/Handles.h"

#include <cstdint>
#include <optional>
#include <string>

namespace velmora {

enum class FileState {
  kFile,     // a file is there
  kMissing,  // certainly no file: its folder is there without it, or it is a folder
  kUnknown,  // cannot tell: a drive or share that is not reachable, a name the
             // system refuses, a relative path, access denied
};

FileState QueryFile(const std::string& path);

// True when path names an existing file that is not a directory.
bool IsExistingFile(const std::string& path);
bool IsExistingFolder(const std::string& path);

// The whole file, or nullopt when it cannot be read or is larger than maxBytes.
std::optional<std::string> ReadWholeFile(const std::string& path,
                                         uint64_t maxBytes = uint64_t{64} << 20);

// A file mapped into memory for reading: its pages are read when touched and
// cost no memory of the program's own.
class MappedFile {
 public:
  // Empty when the file cannot be opened, is empty or larger than maxBytes.
  MappedFile(const std::string& path, uint64_t maxBytes);
  const uint8_t* data() const { return static_cast<const uint8_t*>(view_.get()); }
  size_t size() const { return size_; }
  explicit operator bool() const { return static_cast<bool>(view_); }

 private:
  UniqueFile file_;
  UniqueKernelHandle mapping_;
  UniqueMapView view_;
  size_t size_ = 0;
};

// Writes the bytes to a new file beside `path` and then puts it in place of
// `path` (common/SafeReplace): through a symbolic link to its target; never
// over a read-only file; a failure at any step leaves the old file as it was
// and no temporary file behind. False when the file could not be replaced.
bool ReplaceWholeFile(const std::string& path, const std::string& bytes);

// What tells one version of a file from another (its size and the time it was
// last written), or "" when it cannot be read.
std::string FileVersion(const std::string& path);

// What tells one version of a file from another without reading it, as the
// file a link leads to shows it: where it lies (its volume and index there,
// which a replacement changes), its size and when it was last written (in
// 100 ns units since 1601, as the file system keeps it: some keep it to a
// hundredth of a second, some to two seconds).
struct FileStamp {
  uint64_t volume = 0, index = 0, size = 0, lastWrite = 0;
  bool folder = false;
  bool operator==(const FileStamp& o) const {
    return volume == o.volume && index == o.index && size == o.size && lastWrite == o.lastWrite &&
           folder == o.folder;
  }
  bool operator!=(const FileStamp& o) const { return !(*this == o); }
};

enum class StampState { kStamped, kNothingThere, kUnknown };

// The stamp of `path`; `state` says whether there is one, nothing is there
// (the file or its folder is missing), or the file cannot be asked (access
// denied, a drive that cannot be reached).
StampState StampOf(const std::string& path, FileStamp& stamp);

// The time now, in the units of FileStamp::lastWrite.
uint64_t FileTimeNow();

}  // namespace velmora
