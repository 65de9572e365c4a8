// The one owner of the desktop items (the hidden item list ShortcutList and
// the arrays ItemKeys, ItemNames, ItemIcons): both desktop folders read into
// them in the stored arrange order, an entry added, a row selected, all of
// it emptied at the end. The session holds it; the background window, the
// menus and the icon layer call it, and read the items from it.
#pragma once

#include "shell/InventoryRows.h"

#include <string>

namespace velmora {

class DesktopInventory {
 public:
  DesktopInventory();  // the list's columns made, no items yet
  DesktopInventory(const DesktopInventory&) = delete;
  DesktopInventory& operator=(const DesktopInventory&) = delete;

  const DesktopItems& Items() const { return items_; }

  // The fixed items and both desktop folders read again, the rows sorted in
  // the order the desktop menu last stored (none: as the folders list them),
  // the arrays made for them.
  void Rebuild();
  // How many rebuilds there were.
  int Rebuilds() const { return rebuilds_; }

  // Appends one desktop entry (a folder dropped) without reading the
  // folders again.
  void Add(const std::string& path);

  // The row of the item the user works with (-1: none).
  void Select(int row) { items_.list.SelectRow(row); }

  // No items (the shut-down); the columns stay.
  void Clear();

 private:
  DesktopItems items_;
  int rebuilds_ = 0;
};

}  // namespace velmora
