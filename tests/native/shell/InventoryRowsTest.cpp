// The inventory as plain data: the rows of folder entries, the arrays made
// from them and the icon source of each item.
#include "shell/InventoryRows.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace velmora {
namespace {

TEST(InventoryRows, RowsForFilesAndFolders) {
  const auto file = RowForEntry("C:\\D\\", {"a.txt", false, 12, "2024/03/05"});
  EXPECT_EQ(file, (ShortcutList::Row{"C:\\D\\a.txt", "txt", "12", "2024/03/05", "a.txt"}));
  const auto noDot = RowForEntry("C:\\D\\", {"Makefile", false, 0, "2024/01/01"});
  EXPECT_EQ(noDot[1], "Makefile");
  const auto folder = RowForEntry("C:\\D\\", {"Stuff", true, 0, ""});
  EXPECT_EQ(folder, (ShortcutList::Row{"C:\\D\\Stuff", "dir", "0", "Stuff"}));
}

class ItemArraysTest : public ::testing::Test {
 protected:
  std::set<std::string> folders{"C:\\D\\Stuff", "C:\\Target"};
  std::map<std::string, std::string> targets{{"C:\\D\\dir.lnk", "C:\\Target"},
                                             {"C:\\D\\tool.lnk", "C:\\bin\\Tool.EXE"},
                                             {"C:\\D\\dead.lnk", ""}};
  std::map<std::string, std::string> classes{{".txt", "  txtfile"},
                                             {"txtfile\\DefaultIcon", "C:\\n.exe,1"},
                                             {".exe", "exefile"},
                                             {"exefile\\DefaultIcon", "%1"}};
  InventorySystem system{
      [this](const std::string& p) { return folders.count(p) > 0; },
      [this](const std::string& p) { return targets.count(p) ? targets.at(p) : std::string(); },
      [this](const std::string& k) { return classes.count(k) ? classes.at(k) : std::string(); },
      "C:\\sys"};
};

TEST_F(ItemArraysTest, SpecialItemsThenPathsNamesAndIconSources) {
  ShortcutList list;
  for (const SpecialItem& s : SpecialItems()) list.AddRow({s.shellName});
  for (const char* c : {"String", "String", "Number", "Date", "Date"}) list.AddColumn(c, "");
  // Rows as the scan makes them: a folder's type is "dir" and it has no name
  // column; a file named "x.dir" is a file.
  list.AddRow(RowForEntry("C:\\D\\", {"Stuff", true, 0, ""}));
  for (const char* name : {"a.txt", "dir.lnk", "tool.lnk", "x.unknown", "dead.lnk", "run.exe", "x.dir"})
    list.AddRow(RowForEntry("C:\\D\\", {name, false, 1, "2020/01/01"}));
  const ItemArrays a = BuildItemArrays(list, system);
  ASSERT_EQ(a.names.size(), 13u);
  EXPECT_EQ(a.icons[12], "C:\\sys\\shell32.dll,70");
  EXPECT_EQ(a.keys[2], "Recyle");
  EXPECT_EQ(a.names[0], "My Documents");
  EXPECT_EQ(a.icons[1], "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}");
  EXPECT_EQ(a.keys[5], "C:\\D\\Stuff");
  EXPECT_EQ(a.names[5], "Stuff");
  EXPECT_EQ(a.icons[5], "dirC:\\D\\Stuff");
  EXPECT_EQ(a.icons[6], "C:\\n.exe,1");  // class with leading blanks removed
  EXPECT_EQ(a.names[7], "dir.lnk");
  EXPECT_EQ(a.icons[7], "dirC:\\Target");
  EXPECT_EQ(a.icons[8], "C:\\bin\\Tool.EXE");  // "%1": the target file itself
  EXPECT_EQ(a.icons[9], "C:\\sys\\shell32.dll,70");
  EXPECT_EQ(a.icons[10], "C:\\sys\\shell32.dll,70");  // a shortcut to nothing
  EXPECT_EQ(a.icons[11], "C:\\D\\run.exe");
}

TEST_F(ItemArraysTest, AnEntryAddedWithoutAScanHasTheIconSourceTheScanGivesIt) {
  folders.insert("");  // a system that would take an empty path for a folder
  ShortcutList list;
  for (const SpecialItem& s : SpecialItems()) list.AddRow({s.shellName});
  for (const char* c : {"String", "String", "Number", "Date", "Date"}) list.AddColumn(c, "");
  const std::vector<FolderEntry> entries = {{"Stuff", true, 0, ""},         {"a.txt", false, 3, "2020/01/01"},
                                            {"dir.lnk", false, 1, "2020/01/01"}, {"tool.lnk", false, 1, "2020/01/01"},
                                            {"dead.lnk", false, 1, "2020/01/01"}, {"run.exe", false, 1, "2020/01/01"},
                                            {"aux.exe", false, 1, "2020/01/01"}};
  DesktopItems added;
  for (const FolderEntry& e : entries) {
    list.AddRow(RowForEntry("C:\\D\\", e));
    AppendEntry(added, "C:\\D\\" + e.name, e, system);
  }
  const ItemArrays scanned = BuildItemArrays(list, system);
  ASSERT_EQ(added.arrays.icons.size(), entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(added.arrays.icons[i], scanned.icons[kSpecialItemCount + i]) << entries[i].name;
    EXPECT_EQ(added.arrays.names[i], scanned.names[kSpecialItemCount + i]);
    EXPECT_EQ(added.arrays.keys[i], scanned.keys[kSpecialItemCount + i]);
  }
  // A shortcut without a target is no folder, whatever the system says of "".
  EXPECT_EQ(added.arrays.icons[4], "C:\\sys\\shell32.dll,70");
  EXPECT_EQ(IconSourceFor("C:\\D\\dead.lnk", false, system), "C:\\sys\\shell32.dll,70");
  // The added rows: path, type, size, and a file's date; no name column.
  EXPECT_EQ(added.list.Rows()[0], (ShortcutList::Row{"C:\\D\\Stuff", "dir", "0"}));
  EXPECT_EQ(added.list.Rows()[1], (ShortcutList::Row{"C:\\D\\a.txt", "txt", "3", "2020/01/01"}));
}

TEST_F(ItemArraysTest, AFileNamedLikeADeviceNeverGivesItsOwnIcon) {
  targets["C:\\D\\tool2.lnk"] = "C:\\bin\\com1.exe";
  ShortcutList list;
  for (const SpecialItem& s : SpecialItems()) list.AddRow({s.shellName});
  for (const char* c : {"String", "String", "Number", "Date", "Date"}) list.AddColumn(c, "");
  for (const char* name : {"aux.exe", "tool2.lnk", "auxiliary.exe"})
    list.AddRow(RowForEntry("C:\\D\\", {name, false, 1, "2020/01/01"}));
  const ItemArrays a = BuildItemArrays(list, system);
  EXPECT_EQ(a.icons[5], "C:\\sys\\shell32.dll,70");
  EXPECT_EQ(a.icons[6], "C:\\sys\\shell32.dll,70");
  EXPECT_EQ(a.icons[7], "C:\\D\\auxiliary.exe");
  EXPECT_EQ(DefaultIconFor("exe", "C:\\D\\lpt2.exe", system), "C:\\sys\\shell32.dll,70");
}

}  // namespace
}  // namespace velmora
