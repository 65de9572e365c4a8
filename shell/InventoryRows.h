// The desktop item inventory as plain data: the five fixed shell items, the
// rows made from folder entries, and the arrays derived from the rows.
#pragma once

#include "wallpaper/ShortcutList.h"

#include <functional>
#include <string>
#include <vector>

namespace velmora {

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
// missing registration gives shell32.dll's icon 70.
std::string DefaultIconFor(const std::string& extension, const std::string& file,
                           const InventorySystem& system);

ItemArrays BuildItemArrays(const ShortcutList& list, const InventorySystem& system);

}  // namespace velmora
