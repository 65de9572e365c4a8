#pragma once

#include "startup/DesktopSession.h"

#include <memory>

namespace velmora {

// The start of the program: display and single-instance checks, the
// resource files, then the desktop session with its windows. Returns the
// running session, or null when the program is to end at once.
std::unique_ptr<DesktopSession> Main();

// The name of the single-instance mutex.
inline constexpr const wchar_t* kInstanceMutexName = L"Velmora";

}  // namespace velmora
