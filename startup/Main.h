#pragma once

#include "wallpaper/FrmShortcutBG.h"

#include <memory>

namespace velmora {

// The start of the program: display and single-instance checks, the
// resource files, then the background window. Returns the shown background
// window, or null when the program is to end at once.
std::unique_ptr<FrmShortcutBG> Main();

// The name of the single-instance mutex.
inline constexpr const char* kInstanceMutexName = "Velmora";

}  // namespace velmora
