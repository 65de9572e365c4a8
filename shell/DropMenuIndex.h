// The items of the drop menu that FrmMenus shows, by their index: what the
// icon layer turns the chosen one into, without the menu window's header.
#pragma once

namespace velmora {

// Indexes of the drop menu (Dragemenus).
enum DropMenuIndex : int { kDropCopy = 0, kDropMove = 1, kDropShortcut = 2, kDropCancel = 4 };

}  // namespace velmora
