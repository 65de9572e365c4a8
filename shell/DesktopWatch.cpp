#include "shell/DesktopWatch.h"

#include "common/WinText.h"

namespace velmora {
namespace {

constexpr DWORD kWhat = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                        FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE;

}  // namespace

DesktopWatch::DesktopWatch(HWND window, UINT message, const std::vector<std::string>& folders)
    : stop_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  for (const std::string& path : folders) {
    if (path.empty()) continue;
    Folder folder;
    folder.path = path;
    Recheck(folder);
    folders_.push_back(std::move(folder));
  }
  CountWatched();
  // The stop event and the watches together must fit one wait.
  if (stop_ && !folders_.empty() && folders_.size() < MAXIMUM_WAIT_OBJECTS)
    thread_ = std::thread([this, window, message] { Run(window, message); });
}

DesktopWatch::~DesktopWatch() {
  if (thread_.joinable()) {
    ::SetEvent(stop_.get());
    thread_.join();
  }
}

bool DesktopWatch::Recheck(Folder& folder) {
  const std::optional<FileIdentity> now = IdentityOf(folder.path);
  // Come, gone, or another folder in its place: the old watch sees nothing
  // of the new one.
  const bool moved = now != folder.identity;
  if (moved) {
    folder.watch.reset();
    folder.identity = now;
  }
  if (folder.identity && !folder.watch)
    folder.watch.reset(::FindFirstChangeNotificationW(SystemPath(folder.path).c_str(), FALSE, kWhat));
  return moved;
}

void DesktopWatch::CountWatched() {
  size_t n = 0;
  for (const Folder& folder : folders_) n += folder.watch ? 1 : 0;
  watched_ = n;
}

void DesktopWatch::Run(HWND window, UINT message) {
  for (;;) {
    std::vector<HANDLE> handles{stop_.get()};
    std::vector<Folder*> owners{nullptr};
    for (Folder& folder : folders_)
      if (folder.watch) {
        handles.push_back(folder.watch.get());
        owners.push_back(&folder);
      }
    const DWORD which = ::WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(),
                                                 FALSE, static_cast<DWORD>(kFolderRecheck.count()));
    if (which == WAIT_OBJECT_0 || which == WAIT_FAILED) return;  // asked to stop, or the wait failed
    bool changed = false;
    if (which > WAIT_OBJECT_0 && which < WAIT_OBJECT_0 + handles.size()) {
      changed = true;
      Folder& folder = *owners[which - WAIT_OBJECT_0];
      // A watch that cannot go on (its folder gone) is made anew below.
      if (!::FindNextChangeNotification(folder.watch.get())) folder.watch.reset();
    }
    for (Folder& folder : folders_) changed = Recheck(folder) || changed;
    CountWatched();
    if (changed) ::PostMessageW(window, message, 0, 0);
  }
}

}  // namespace velmora
