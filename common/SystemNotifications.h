// The session's lock and the display's power state, told to a window: the
// registrations are taken from the system at run time, so a system without
// them (or Wine's stubs) just tells nothing.
#pragma once

#include "common/Handles.h"

#include <windows.h>

namespace velmora {

// WM_WTSSESSION_CHANGE with WTS_SESSION_LOCK / WTS_SESSION_UNLOCK.
constexpr UINT kSessionChangeMessage = 0x02B1;
constexpr WPARAM kSessionLocked = 0x7, kSessionUnlocked = 0x8;

UniqueSessionNotify RegisterSessionNotifications(HWND window);
// WM_POWERBROADCAST / PBT_POWERSETTINGCHANGE for the console display's state.
UniquePowerNotify RegisterDisplayNotifications(HWND window);

// From a WM_POWERBROADCAST: whether it tells the display's state, and if so
// whether the display is off (dimmed counts as on).
bool ReadDisplayState(WPARAM wParam, LPARAM lParam, bool& displayOff);

}  // namespace velmora
