// What a drop onto the desktop does with each dropped item: where a copy,
// a moved item or a shortcut goes, under a name that is free (nothing on
// the desktop is ever replaced), and which items are refused.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace velmora {

enum class DropCommand { kCopy, kMove, kShortcut };

struct DropStep {
  std::string source;
  std::string target;     // "" when nothing is done
  bool folder = false;
  std::string refusal;    // why it is refused, for the message; "" when
                          // there is nothing to do (a move onto itself)
};

// The first free name in `folder` (ending in "\") for an item called `name`
// (a folder when `isFolder`): the name itself, then, the way the shell
// names copies, "stem - Copy.ext", "stem - Copy (2).ext", ... For a
// shortcut (`shortcut`): "stem.lnk", then "stem (2).lnk", ... `taken` says
// whether a name is in use.
std::string FreeName(const std::string& folder, const std::string& name, bool isFolder,
                     bool shortcut, const std::function<bool(const std::string&)>& taken);

// The steps of a drop: one per dropped path, in order. A drive root is
// refused; a file already on the desktop copied (or shortcut) gets a name
// of its own; an item moved onto itself stays as it is.
std::vector<DropStep> PlanDrop(DropCommand command, const std::vector<std::string>& sources,
                               const std::string& desktop,
                               const std::function<bool(const std::string&)>& isFolder,
                               const std::function<bool(const std::string&)>& taken);

}  // namespace velmora
