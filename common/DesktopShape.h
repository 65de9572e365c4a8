// Where the program's windows go among the windows the shell has built for
// the desktop. The shell builds one of three trees (front to back among the
// top-level windows; "icon view" is the SHELLDLL_DefView window that holds
// the desktop's list of icons):
//
//   Windows 7 and 8, or 10 and 11 while the desktop is not raised:
//     "Program Manager" (Progman)
//       └─ icon view
//     -> children of "Program Manager", above the icon view.
//
//   Windows 10 and 11 before 24H2 once the desktop is raised (message 0x052C
//   to "Program Manager", sent by the shell for a slideshow wallpaper or by
//   other programs):
//     WorkerW                       (top-level, in front)
//       └─ icon view
//     WorkerW                       (top-level, empty: the wallpaper's)
//     "Program Manager"             (behind both: its children are hidden)
//     -> children of the WorkerW that holds the icon view, above it.
//
//   Windows 11 24H2 and later:
//     "Program Manager"
//       ├─ icon view
//       └─ WorkerW
//     -> children of "Program Manager", above the icon view.
//
// A "Program Manager" without an icon view (a shell still building its
// desktop) takes the windows as it did before; with no "Program Manager" at
// all the windows stay top-level.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

// A window as the walk sees it: an opaque id (0 is none), its class and
// title, and the classes of its direct children.
struct ShellWindow {
  std::uintptr_t id = 0;
  std::string className;
  std::string title;
  std::vector<std::string> childClasses;
};

enum class DesktopShapeKind {
  kNoShell,         // no "Program Manager": top-level windows
  kProgmanOnly,     // "Program Manager" with no icon view anywhere
  kIconsInProgman,  // Windows 7/8, 10/11 not raised
  kRaised,          // the icon view in a top-level WorkerW
  kIconsAndWorkerInProgman,  // 24H2: icon view and WorkerW in "Program Manager"
};

struct DesktopShape {
  DesktopShapeKind kind = DesktopShapeKind::kNoShell;
  std::uintptr_t parent = 0;  // the window to be children of; 0 for top-level
};

// The shell's class of the icon view and of its worker windows.
inline constexpr const char* kIconViewClass = "SHELLDLL_DefView";
inline constexpr const char* kWorkerClass = "WorkerW";
inline constexpr const char* kShellTitle = "Program Manager";

// The shape of the desktop from the shell's top-level windows ("Program
// Manager" and the WorkerWs; others change nothing), each kind front to back.
DesktopShape FindDesktopShape(const std::vector<ShellWindow>& topLevel);

}  // namespace velmora
