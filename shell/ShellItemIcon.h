// The icon the shell itself shows for a desktop item.
#pragma once

#include <windows.h>

#include <string>

namespace velmora {

// The shell's large icon for an item given by path or by "::{CLSID}" name:
// for the items whose own icon source yields none (a system without the
// file the icon is taken from). Null when the shell has none either; the
// caller destroys it.
HICON ShellItemIcon(const std::string& text);

}  // namespace velmora
