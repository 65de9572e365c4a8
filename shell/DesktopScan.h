// Reading the desktop folders: entries, dates, shortcut targets, registered
// icons. The system side of the item inventory (shell/DesktopInventory).
#pragma once

#include "shell/InventoryRows.h"
#include "shell/ShortcutList.h"

#include <string>

namespace velmora {

// Appends the rows of one folder (path ending in "\"), hidden and system
// entries included; with `addSpecial` the five fixed items come first.
void ScanDir(ShortcutList& list, const std::string& folder, bool addSpecial);

// The last-modified date of a file as "yyyy/mm/dd" (local time), or "".
std::string GetFileModifiedDate(const std::string& path);

// One property of a shortcut file: "TARGET", "NAME", "ICON", "START" or
// "KEY" (any case); "" for other names or an unreadable shortcut.
std::string GetShortcutProperty(const std::string& shortcut, const std::string& property);

// The inventory's view of this system: folders, shortcut targets, the
// registry's file types, the system directory.
InventorySystem LiveInventorySystem();

// Both desktop folders scanned into `list` (cleared first).
void ScanDesktops(ShortcutList& list);

}  // namespace velmora
