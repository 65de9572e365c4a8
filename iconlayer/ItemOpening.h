// Opening a desktop item with the shell.
#pragma once

#include "iconlayer/ItemRules.h"

#include <windows.h>

namespace velmora {

// Runs the command with the shell, the hourglass showing meanwhile. The
// result is not reported: an item that cannot be opened opens nothing, as
// on the desktop itself.
void RunOpenCommand(HWND owner, const OpenCommand& command);

}  // namespace velmora
