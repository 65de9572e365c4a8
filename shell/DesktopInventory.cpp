#include "shell/DesktopInventory.h"

#include "common/FileSystem.h"
#include "common/WinText.h"
#include "settings/ProgramValues.h"
#include "shell/DesktopScan.h"
#include "shell/ItemSort.h"
#include "shell/MenuIndex.h"

namespace velmora {

DesktopInventory::DesktopInventory() { AddItemColumns(items_.list); }

void DesktopInventory::Rebuild() {
  ++rebuilds_;
  items_.arrays = ItemArrays{};
  ScanDesktops(items_.list);
  const int arrange = static_cast<int>(ReadProgramValues().arrange);
  if (IsArrangeIndex(arrange)) SotrListView(items_.list, ArrangeSortType(arrange));
  items_.arrays = BuildItemArrays(items_.list, LiveInventorySystem());
}

void DesktopInventory::Add(const std::string& path) {
  FolderEntry entry;
  entry.isDirectory = IsExistingFolder(path);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (::GetFileAttributesExW(SystemPath(path).c_str(), GetFileExInfoStandard, &data))
    entry.size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  if (!entry.isDirectory) entry.modified = GetFileModifiedDate(path);
  AppendEntry(items_, path, entry, LiveInventorySystem());
}

void DesktopInventory::Clear() {
  items_.list.Clear();
  items_.arrays = ItemArrays{};
}

}  // namespace velmora
