// Watches the desktop folders through the file system's own change
// notification (which also sees files made by other programs, and under
// Wine files made from Linux) and posts a message to a window for each
// change. The waiting happens on a thread of its own that does nothing but
// post; everything else stays on the window's thread.
#pragma once

#include "common/Handles.h"

#include <string>
#include <thread>
#include <vector>

namespace velmora {

class DesktopWatch {
 public:
  // Posts `message` to `window` when an entry of one of `folders` is added,
  // removed, renamed or written. Folders that cannot be watched are left out.
  DesktopWatch(HWND window, UINT message, const std::vector<std::string>& folders);
  DesktopWatch(const DesktopWatch&) = delete;
  DesktopWatch& operator=(const DesktopWatch&) = delete;
  ~DesktopWatch();

  size_t FoldersWatched() const { return watches_.size(); }

 private:
  void Run(HWND window, UINT message);

  std::vector<UniqueChangeWatch> watches_;
  UniqueKernelHandle stop_;
  std::thread thread_;
};

}  // namespace velmora
