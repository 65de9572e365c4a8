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
// refused, and so is a folder that holds the desktop (by its path, or when
// `holdsDesktop` says so of it: another name for the same place); an item
// whose name is in use on the desktop (`taken`: a file or a folder) gets a
// name of its own; an item moved onto itself stays as it is.
std::vector<DropStep> PlanDrop(DropCommand command, const std::vector<std::string>& sources,
                               const std::string& desktop,
                               const std::function<bool(const std::string&)>& isFolder,
                               const std::function<bool(const std::string&)>& taken,
                               const std::function<bool(const std::string&)>& holdsDesktop = {});

// How many failed items a drop's message lists, and how long a line of it
// may be, in characters.
inline constexpr size_t kProblemLinesShown = 10;
inline constexpr size_t kProblemLineLength = 160;

// The message for the problems of a drop (one line an item, as the drop
// gives them): the first kProblemLinesShown lines, each cut to
// kProblemLineLength characters, and how many more there are, so that the
// message fits on any screen.
std::string DropProblemsMessage(const std::string& problems);

}  // namespace velmora
