// The entries of the desktop menu that FrmMenus shows, by their fixed
// index: a stored arrange order is one of them, which the inventory sorts
// by without the menu window's header.
#pragma once

namespace velmora {

// Indexes of the desktop menu (Rightmenus).
enum MenuIndex : int {
  kMenuRefresh = 2,
  kMenuByName = 4,
  kMenuBySize = 5,
  kMenuByType = 6,
  kMenuByModified = 7,
  kMenuAutoArrange = 9,
  kMenuLockIcons = 10,
  kMenuProperties = 12,
  kMenuWallpaperSetting = 13,
  kMenuExit = 15,
};

// One of the four arrange entries.
inline bool IsArrangeIndex(int index) { return index >= kMenuByName && index <= kMenuByModified; }

}  // namespace velmora
