// The desktop item inventory as plain data: the five fixed shell items, the
// rows made from folder entries, and the arrays derived from the rows.
#pragma once

#include "shell/ShortcutList.h"

#include <functional>
#include <string>
#include <vector>

namespace velmora {

// The number of fixed shell items at the start of the item list.
inline constexpr int kSpecialItemCount = 5;

struct SpecialItem {
  const char* shellName;  // row text and icon source
  const char* key;
  const char* name;
};

// The five fixed items, always the first rows.
const SpecialItem (&SpecialItems())[5];

struct FolderEntry {
  std::string name;
  bool isDirectory = false;
  unsigned long long size = 0;
  std::string modified;  // "yyyy/mm/dd", files only
};

// The row of one folder entry: path, type, size, then date and name for a
// file, or the name for a folder (whose date column is absent).
ShortcutList::Row RowForEntry(const std::string& folder, const FolderEntry& entry);

// The arrays that go with the rows, index i for row i.
struct ItemArrays {
  std::vector<std::string> keys;   // fixed words, then full paths
  std::vector<std::string> names;  // display names
  std::vector<std::string> icons;  // icon sources
};

// What the arrays need to know about the system.
struct InventorySystem {
  std::function<bool(const std::string& path)> isFolder;
  std::function<std::string(const std::string& shortcut)> shortcutTarget;
  // The default value of a key under HKEY_CLASSES_ROOT ("" when missing).
  std::function<std::string(const std::string& key)> classesRootValue;
  std::string systemDirectory;
};

// The icon source registered for an extension; "%1" stands for `file`, and a
// missing registration (or "%1" for a file named like a device, which is
// never opened) gives shell32.dll's icon 70.
std::string DefaultIconFor(const std::string& extension, const std::string& file,
                           const InventorySystem& system);

// The icon source of a desktop entry that is no fixed item: a folder's own
// ("dir" + path); a shortcut's ("lnk" in any case) that of its target, "dir"
// + target for a folder, else the target's registered icon (a shortcut
// without a target path takes the icon registered for no extension); any
// other file's the icon registered for its extension.
std::string IconSourceFor(const std::string& path, bool isFolder, const InventorySystem& system);

ItemArrays BuildItemArrays(const ShortcutList& list, const InventorySystem& system);

// The row of an entry added without a rescan (a folder dropped onto the
// desktop): path, type, size, and for a file its date; no name column.
ShortcutList::Row RowForAddedEntry(const std::string& path, const FolderEntry& entry);



// The desktop items: the hidden item list (row i + 1 is item i) and the
// arrays that go with its rows. Their one owner is shell/DesktopInventory.
struct DesktopItems {
  ShortcutList list;  // ShortcutList
  ItemArrays arrays;  // ItemKeys, ItemNames, ItemIcons
  size_t Count() const { return arrays.names.size(); }
  // The text of an item's row (its path, or a special item's shell name).
  const std::string& RowText(size_t item) const { return list.Cell(item, 0); }
};

// Appends that entry to the items: its row and its key, name and icon source.
void AppendEntry(DesktopItems& items, const std::string& path, const FolderEntry& entry,
                 const InventorySystem& system);

// The five columns of the item list, with the tags that drive sorting.
void AddItemColumns(ShortcutList& list);

}  // namespace velmora
