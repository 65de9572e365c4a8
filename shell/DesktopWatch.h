// Watches the desktop folders through the file system's own change
// notification (which also sees files made by other programs, and under
// Wine files made from Linux) and posts a message to a window for each
// change. The waiting happens on a thread of its own that does nothing but
// post; everything else stays on the window's thread.
//
// A folder that is missing (at the start, or gone later) or replaced by
// another of its name is looked for again every kFolderRecheck: when it is
// back it is watched again and a change is posted, so that its items show.
#pragma once

#include "common/FileIdentity.h"
#include "common/Handles.h"

#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace velmora {

class DesktopWatch {
 public:
  static constexpr std::chrono::milliseconds kFolderRecheck{2000};

  // Posts `message` to `window` when an entry of one of `folders` is added,
  // removed, renamed or written, and when one of them goes or comes back.
  DesktopWatch(HWND window, UINT message, const std::vector<std::string>& folders);
  DesktopWatch(const DesktopWatch&) = delete;
  DesktopWatch& operator=(const DesktopWatch&) = delete;
  ~DesktopWatch();

  // The folders being watched now.
  size_t FoldersWatched() const { return watched_.load(); }

 private:
  struct Folder {
    std::string path;
    std::optional<FileIdentity> identity;  // of the folder watched; none while missing
    UniqueChangeWatch watch;
  };
  void Run(HWND window, UINT message);
  // Looks whether the folder is still the one watched; watches it anew when
  // it came back or was replaced (or its watch ended). True when the folder
  // came, went or was replaced.
  bool Recheck(Folder& folder);
  void CountWatched();

  std::vector<Folder> folders_;
  std::atomic<size_t> watched_{0};
  UniqueKernelHandle stop_;
  std::thread thread_;
};

}  // namespace velmora
