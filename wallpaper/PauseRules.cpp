#include "wallpaper/PauseRules.h"

#include <cctype>

namespace velmora {

bool CoversMonitor(const ScreenBox& window, const ScreenBox& monitor) {
  if (monitor.right <= monitor.left || monitor.bottom <= monitor.top) return false;
  return window.left <= monitor.left && window.top <= monitor.top && window.right >= monitor.right &&
         window.bottom >= monitor.bottom;
}

bool IsShellWindowClass(std::string_view className) {
  // Window class names are compared without regard to case, as the system does.
  auto same = [](std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
      if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
    return true;
  };
  for (std::string_view shell : {"Progman", "WorkerW", "Shell_TrayWnd", "Shell_SecondaryTrayWnd"})
    if (same(className, shell)) return true;
  return false;
}

}  // namespace velmora
