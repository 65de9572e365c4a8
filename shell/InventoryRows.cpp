#include "shell/InventoryRows.h"

#include "common/PathText.h"

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

std::string DefaultIconFor(const std::string& extension, const std::string& file,
                           const InventorySystem& system) {
  std::string cls = system.classesRootValue("." + extension);
  cls.erase(0, cls.find_first_not_of(' ') == std::string::npos ? cls.size()
                                                                : cls.find_first_not_of(' '));
  std::string icon = cls.empty() ? std::string() : system.classesRootValue(cls + "\\DefaultIcon");
  if (icon.empty()) icon = system.systemDirectory + "\\shell32.dll,70";
  if (icon == "%1") icon = file;
  return icon;
}

void AddItemColumns(ShortcutList& list) {
  const char* const texts[] = {"String", "String", "Number", "Date", "Date"};
  const char* const tags[] = {"PATH", "STRING", "NUMBER", "DATE", "NAME"};
  for (int i = 0; i < 5; ++i) list.AddColumn(texts[i], tags[i]);
  list.SetColumnWidth(3, 50);
}

ItemArrays BuildItemArrays(const ShortcutList& list, const InventorySystem& system) {
  ItemArrays a;
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
    if (system.isFolder(path)) {
      a.icons[i] = "dir" + path;
      continue;
    }
    const std::string extension = ExtensionOf(a.names[i]);
    if (ToLower(extension) == "lnk") {
      const std::string target = system.shortcutTarget(path);
      if (!target.empty() && system.isFolder(target)) {
        a.icons[i] = "dir" + target;
      } else {
        a.icons[i] = DefaultIconFor(ToLower(ExtensionOf(GetFileNamePart(target))), target, system);
      }
    } else {
      a.icons[i] = DefaultIconFor(extension, path, system);
    }
  }
  return a;
}

}  // namespace velmora
