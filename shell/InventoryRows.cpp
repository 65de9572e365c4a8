#include "shell/InventoryRows.h"

#include "common/PathText.h"

#include <map>

namespace velmora {

const SpecialItem (&SpecialItems())[5] {
  static const SpecialItem items[5] = {
      {"::{450D8FBA-AD25-11D0-98A8-0800361B1103}", "Document", "My Documents"},
      {"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "Computer", "My Computer"},
      {"::{645FF040-5081-101B-9F08-00AA002F954E}", "Recyle", "Recyle bin"},
      {"::{208D2C60-3AEA-1069-A2D7-08002B30309D}", "Network", "Network"},
      {"::{871C5380-42A0-1069-A2EA-08002B30309D}", "Internet Explorer", "Internet Explorer"},
  };
  return items;
}

ShortcutList::Row RowForEntry(const std::string& folder, const FolderEntry& entry) {
  ShortcutList::Row row{folder + entry.name, entry.isDirectory ? "dir" : ExtensionOf(entry.name),
                        std::to_string(entry.size)};
  if (!entry.isDirectory) row.push_back(entry.modified);
  row.push_back(entry.name);
  return row;
}

namespace {

std::string FallbackIcon(const InventorySystem& system) {
  return system.systemDirectory + "\\shell32.dll,70";
}

// The icon registered for an extension, "%1" left as it is.
std::string RegisteredIcon(const std::string& extension, const InventorySystem& system) {
  std::string cls = system.classesRootValue("." + extension);
  cls.erase(0, cls.find_first_not_of(' ') == std::string::npos ? cls.size()
                                                                : cls.find_first_not_of(' '));
  std::string icon = cls.empty() ? std::string() : system.classesRootValue(cls + "\\DefaultIcon");
  if (icon.empty()) icon = FallbackIcon(system);
  return icon;
}

// "%1" is the file itself, unless its name is a device's: extracting an
// icon from "aux.exe" would open the device.
std::string ForFile(std::string icon, const std::string& file, const InventorySystem& system) {
  if (icon != "%1") return icon;
  return IsReservedDeviceName(GetFileNamePart(file)) ? FallbackIcon(system) : file;
}

using RegisteredFor = std::function<std::string(const std::string& extension)>;

// The one rule of IconSourceFor, with the registry's answers from `registered`.
std::string IconSource(const std::string& path, bool isFolder, const InventorySystem& system,
                       const RegisteredFor& registered) {
  if (isFolder) return "dir" + path;
  const std::string extension = ExtensionOf(GetFileNamePart(path));
  if (ToLower(extension) != "lnk") return ForFile(registered(extension), path, system);
  const std::string target = system.shortcutTarget(path);
  if (!target.empty() && system.isFolder(target)) return "dir" + target;
  return ForFile(registered(ToLower(ExtensionOf(GetFileNamePart(target)))), target, system);
}

// Row i is a folder: the scan gave it the type "dir" and no name column (a
// file named "x.dir" has its name there).
bool RowIsFolder(const ShortcutList& list, size_t i) {
  return list.Cell(i, 1) == "dir" && list.Cell(i, 4).empty();
}

}  // namespace

std::string DefaultIconFor(const std::string& extension, const std::string& file,
                           const InventorySystem& system) {
  return ForFile(RegisteredIcon(extension, system), file, system);
}

std::string IconSourceFor(const std::string& path, bool isFolder, const InventorySystem& system) {
  return IconSource(path, isFolder, system,
                    [&](const std::string& extension) { return RegisteredIcon(extension, system); });
}

ShortcutList::Row RowForAddedEntry(const std::string& path, const FolderEntry& entry) {
  ShortcutList::Row row{path, entry.isDirectory ? "dir" : ExtensionOf(GetFileNamePart(path)),
                        std::to_string(entry.size)};
  if (!entry.isDirectory) row.push_back(entry.modified);
  return row;
}

void AppendEntry(DesktopItems& items, const std::string& path, const FolderEntry& entry,
                 const InventorySystem& system) {
  items.list.AddRow(RowForAddedEntry(path, entry));
  items.arrays.keys.push_back(path);
  items.arrays.names.push_back(GetFileNamePart(path));
  items.arrays.icons.push_back(IconSourceFor(path, entry.isDirectory, system));
}

void AddItemColumns(ShortcutList& list) {
  const char* const texts[] = {"String", "String", "Number", "Date", "Date"};
  const char* const tags[] = {"PATH", "STRING", "NUMBER", "DATE", "NAME"};
  for (int i = 0; i < 5; ++i) list.AddColumn(texts[i], tags[i]);
  list.SetColumnWidth(3, 50);
}

ItemArrays BuildItemArrays(const ShortcutList& list, const InventorySystem& system) {
  ItemArrays a;
  // Many files share a type: each type's registration is read once.
  std::map<std::string, std::string> icons;  // extension -> registered icon
  const RegisteredFor registered = [&](const std::string& extension) {
    auto found = icons.find(extension);
    if (found == icons.end()) found = icons.emplace(extension, RegisteredIcon(extension, system)).first;
    return found->second;
  };
  const size_t count = list.Rows().size();
  a.keys.resize(count);
  a.names.resize(count);
  a.icons.resize(count);
  for (size_t i = 0; i < count; ++i) {
    if (i < kSpecialItemCount) {
      a.keys[i] = SpecialItems()[i].key;
      a.names[i] = SpecialItems()[i].name;
      a.icons[i] = SpecialItems()[i].shellName;
      continue;
    }
    const std::string& path = list.Cell(i, 0);
    a.keys[i] = path;
    a.names[i] = GetFileNamePart(path);
    a.icons[i] = IconSource(path, RowIsFolder(list, i), system, registered);
  }
  return a;
}

}  // namespace velmora
