// Carrying out a drop onto the desktop: copying, moving or linking each
// dropped item into the desktop folder under a free name, so that nothing
// there is replaced and nothing is lost when a step fails.
//
// The program's own file code (not the shell's file operation): it names
// copies the way the shell does but never asks, replaces nothing, shows an
// item under its name only once it is whole, moves across drives only after
// the copy is complete, follows no link, and reports every failure in one
// message of its own.
#pragma once

#include "shell/DropPlan.h"

#include <functional>
#include <string>
#include <vector>

namespace velmora {

struct DropOutcome {
  std::vector<std::string> made;     // what is new on the desktop
  std::vector<std::string> folders;  // of those, the moved folders
  std::string problems;              // one line a failed item: its name and why; "" for none
};

DropOutcome CarryOutDrop(DropCommand command, const std::vector<std::string>& sources,
                         const std::string& desktop);

// CreateDesktopShortcut: a shortcut to `target` at `link`, its working
// folder the target's folder. A target longer than a shortcut can hold is
// given by its short form; the saved shortcut is read back and kept only
// when it leads to the target. "" when it was made, else why not.
std::string CreateDesktopShortcut(const std::string& link, const std::string& description,
                                  const std::string& target);

}  // namespace velmora
