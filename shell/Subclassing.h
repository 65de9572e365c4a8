// Replacing a window's procedure with another that passes messages on
// ("subclassing"): the shell's change-notification filter of the background
// window, and filters laid on top of it (the item menu's).
#pragma once

#include <windows.h>

#include <functional>

namespace velmora {

// The private message on which the shell delivers change notifications.
inline constexpr UINT WM_SHNOTIFY = WM_USER + 1;

// Installs the notification filter on `window`: WM_SHNOTIFY goes to
// `receipt` (wParam, lParam), then every message to the window's own
// procedure, kept in the property "OldWndProc". False (with the message box
// "Unable to successfully subclass &H...") when it could not be installed or
// is installed already.
bool InstallNotificationFilter(HWND window, std::function<void(WPARAM, LPARAM)> receipt);

// Puts the window's own procedure back; true when it was.
bool RemoveNotificationFilter(HWND window);

// Lays `replacement` over the window's current procedure (the notification
// filter, on the background window), keeping what it replaced for
// `ReplacedProcedure`; with an owner object, its address goes to the
// property "ObjectPtr". False, with a message box, when it could not.
bool SubclassWindow(HWND window, WNDPROC replacement, void* ownerObject = nullptr);

// Puts back what SubclassWindow replaced; true when it did.
bool UnsubclassWindow(HWND window);

// The procedure SubclassWindow replaced on `window` (for the replacement to
// pass messages on with CallWindowProc), or null.
WNDPROC ReplacedProcedure(HWND window);

}  // namespace velmora
