// Carrying out a drop onto the desktop: copying, moving or linking each
// dropped item into the desktop folder under a free name, so that nothing
// there is replaced and nothing is lost when a step fails.
//
// The program's own file code (not the shell's file operation): it names
// copies the way the shell does but never asks, replaces nothing, moves a
// folder across drives only after its copy is complete, and reports every
// failure in one message of its own.
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
// folder the target's folder. False when it could not be written.
bool CreateDesktopShortcut(const std::string& link, const std::string& description,
                           const std::string& target);

}  // namespace velmora
