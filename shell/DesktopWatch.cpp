#include "shell/DesktopWatch.h"

#include "common/WinText.h"

namespace velmora {

DesktopWatch::DesktopWatch(HWND window, UINT message, const std::vector<std::string>& folders)
    : stop_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  constexpr DWORD kWhat = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                          FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE;
  for (const std::string& folder : folders) {
    if (folder.empty()) continue;
    UniqueChangeWatch watch(::FindFirstChangeNotificationW(SystemPath(folder).c_str(), FALSE, kWhat));
    if (watch) watches_.push_back(std::move(watch));
  }
  // The stop event and the watches together must fit one wait.
  if (stop_ && !watches_.empty() && watches_.size() < MAXIMUM_WAIT_OBJECTS)
    thread_ = std::thread([this, window, message] { Run(window, message); });
}

DesktopWatch::~DesktopWatch() {
  if (thread_.joinable()) {
    ::SetEvent(stop_.get());
    thread_.join();
  }
}

void DesktopWatch::Run(HWND window, UINT message) {
  std::vector<HANDLE> handles{stop_.get()};
  for (const UniqueChangeWatch& watch : watches_) handles.push_back(watch.get());
  for (;;) {
    const DWORD which = ::WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(),
                                                 FALSE, INFINITE);
    if (which == WAIT_OBJECT_0 || which < WAIT_OBJECT_0 || which >= WAIT_OBJECT_0 + handles.size())
      return;  // asked to stop, or the wait failed
    ::PostMessageW(window, message, 0, 0);
    if (!::FindNextChangeNotification(handles[which - WAIT_OBJECT_0])) return;
  }
}

}  // namespace velmora
