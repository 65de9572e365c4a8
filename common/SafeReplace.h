// Replacing a file whole without ever leaving it half written, as steps over
// the file system the caller supplies (no system call here):
//   1. find where the bytes go: through a symbolic link to its target, so
//      the link stays a link;
//   2. refuse a read-only file (the user's choice) or a folder in its place;
//   3. write the bytes to a temporary file beside it, under the first of
//      its temporary names that can be made (a stale folder or a locked
//      file of that name is passed over);
//   4. on any failure remove the temporary file (a partial copy would take
//      the space a later write needs); else move it into the file's place.
// A failure at any step leaves the old file as it was and reports false.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

class ReplaceSteps {
 public:
  enum class Kind { kNothing, kFile, kReadOnlyFile, kFolder, kUnknown };

  // A file being written; closed when destroyed.
  class Output {
   public:
    virtual ~Output() = default;
    virtual bool Write(std::string_view bytes) = 0;  // all of them, or false
    virtual bool Flush() = 0;                        // on the disk
  };

  virtual ~ReplaceSteps() = default;
  // The file `path` stands for (a link's target; `path` itself when it is no
  // link or nothing is there); nullopt for a link whose target is not there.
  virtual std::optional<std::string> Target(const std::string& path) = 0;
  virtual Kind KindOf(const std::string& path) = 0;
  // A new file, or one that is there emptied; null when it cannot be made.
  virtual std::unique_ptr<Output> Create(const std::string& path) = 0;
  virtual bool Remove(const std::string& path) = 0;
  // Puts `from` in place of `to`, replacing a file that is there.
  virtual bool Move(const std::string& from, const std::string& to) = 0;
};

// How many temporary names are tried before the write gives up.
inline constexpr int kTemporaryNameTries = 10;

// The temporary name of attempt 0, 1, ...: "NAME.new", "NAME.new1", ...
std::string TemporaryName(const std::string& target, int attempt);

bool ReplaceWholeFile(ReplaceSteps& steps, const std::string& path, std::string_view bytes);

}  // namespace velmora
