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

// WM_POWERBROADCAST for the power source (AC or battery) and the battery
// saver (its older and its newer setting): one registration each; the
// systems that lack one just tell nothing of it.
struct PowerSourceNotify {
  UniquePowerNotify source, saver, energySaver;
};
PowerSourceNotify RegisterPowerSourceNotifications(HWND window);

// From a WM_POWERBROADCAST: whether it tells that the power source or the
// battery saver may have changed (the power status to be read again).
bool IsPowerStatusNotice(WPARAM wParam, LPARAM lParam);

// The system's power status now (GetSystemPowerStatus's AC line and status
// flag); false when the system cannot tell.
bool ReadPowerStatus(unsigned& acLineStatus, unsigned& systemStatusFlag);

// From a WM_POWERBROADCAST: whether it tells the display's state, and if so
// whether the display is off (dimmed counts as on).
bool ReadDisplayState(WPARAM wParam, LPARAM lParam, bool& displayOff);

}  // namespace velmora
