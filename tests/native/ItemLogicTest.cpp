#include "iconlayer/ItemRules.h"
#include "iconlayer/LayoutGrid.h"
#include "shell/InventoryRows.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <set>

namespace velmora {
namespace {

TEST(DefaultGrid, TenPerColumnOnA768PixelLayer) {
  const auto grid = DefaultGrid(25, 768);
  ASSERT_EQ(grid.size(), 25u);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(grid[i].x, 30) << i;
    EXPECT_EQ(grid[i].y, 72 * i) << i;
  }
  EXPECT_EQ(grid[9].y, 648);
  EXPECT_EQ(grid[10].x, 120);
  EXPECT_EQ(grid[10].y, 0);
  EXPECT_EQ(grid[19].y, 648);
  EXPECT_EQ(grid[20].x, 210);
}

TEST(DefaultGrid, CapacityFollowsTheHeight) {
  // 400 / 80 = 5: six per column; 79 / 80 = 0: one per column.
  auto grid = DefaultGrid(8, 400);
  EXPECT_EQ(grid[5].x, 30);
  EXPECT_EQ(grid[5].y, 360);
  EXPECT_EQ(grid[6].x, 120);
  grid = DefaultGrid(3, 79);
  EXPECT_EQ(grid[1].x, 120);
  EXPECT_EQ(grid[1].y, 0);
  EXPECT_EQ(grid[2].x, 210);
  EXPECT_TRUE(DefaultGrid(0, 768).empty());
}

TEST(SavedPositions, FormatAndParse) {
  EXPECT_EQ(FormatPositions({30, 30, 30}), "30*30*30*");
  EXPECT_EQ(FormatPositions({0, 72, -144}), "0*72*-144*");
  EXPECT_EQ(ParsePositions("0*72*144*"), (std::vector<int32_t>{0, 72, 144}));
  EXPECT_EQ(ParsePositions("1*x*3"), (std::vector<int32_t>{1, 0}));
  bool repaired = true;
  const auto p = PositionsFromTexts("30*120*210*", "0*72*144*", 3, 1024, 738, &repaired);
  ASSERT_EQ(p.size(), 3u);
  EXPECT_EQ(p[1].x, 120);
  EXPECT_EQ(p[1].y, 72);
  EXPECT_FALSE(repaired);
}

TEST(SavedPositions, LayoutsThatCannotBeTheUsersFallBackToTheGrid) {
  const std::vector<ItemPosition> grid = DefaultGrid(4, 738);
  auto same = [](const std::vector<ItemPosition>& a, const std::vector<ItemPosition>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
      if (a[i].x != b[i].x || a[i].y != b[i].y) return false;
    return true;
  };
  bool repaired = false;
  // Too few or too many positions, or lists of different lengths.
  for (auto [x, y] : {std::pair{"30*120*", "0*72*"}, {"1*2*3*4*5*", "1*2*3*4*5*"},
                      {"300*400*500*600*", "10*20*30*"}, {"", ""}}) {
    EXPECT_TRUE(same(PositionsFromTexts(x, y, 4, 1024, 738, &repaired), grid)) << x;
    EXPECT_TRUE(repaired);
  }
  // Every item on one spot.
  EXPECT_TRUE(same(PositionsFromTexts("0*0*0*0*", "0*0*0*0*", 4, 1024, 738, &repaired), grid));
  EXPECT_TRUE(repaired);
  // Two items sharing a cell are the user's choice.
  auto shared = PositionsFromTexts("300*300*30*30*", "10*10*144*216*", 4, 1024, 738, &repaired);
  EXPECT_FALSE(repaired);
  EXPECT_EQ(shared[1].x, 300);
  // Only the items off the layer go back to their grid places.
  auto off = PositionsFromTexts("300*-90*99999*120*", "10*20*30*738*", 4, 1024, 738, &repaired);
  EXPECT_TRUE(repaired);
  EXPECT_EQ(off[0].x, 300);
  EXPECT_EQ(off[0].y, 10);
  for (int i : {1, 2, 3}) {
    EXPECT_EQ(off[i].x, grid[i].x) << i;
    EXPECT_EQ(off[i].y, grid[i].y) << i;
  }
}

TEST(LayoutNeedsRebuild, AnyChangeOfSizeOrCountOrNoSavedEdges) {
  SavedLayout saved{"30*30*", "0*72*", 1024, 768, 2};
  EXPECT_FALSE(LayoutNeedsRebuild(saved, 1024, 768, 2));
  EXPECT_TRUE(LayoutNeedsRebuild(saved, 1280, 768, 2));
  EXPECT_TRUE(LayoutNeedsRebuild(saved, 1024, 767, 2));
  EXPECT_TRUE(LayoutNeedsRebuild(saved, 1024, 768, 3));
  saved.tempx.clear();
  EXPECT_TRUE(LayoutNeedsRebuild(saved, 1024, 768, 2));
  EXPECT_TRUE(LayoutNeedsRebuild(SavedLayout{}, 1024, 768, 0));  // first run
}

TEST(IconLocationFor, FixedItemsAndSources) {
  const std::string sys = "C:\\windows\\system32", win = "C:\\windows";
  auto loc = IconLocationFor(0, "::{x}", sys, win);
  EXPECT_EQ(loc.file, sys + "\\Shell32.dll");
  EXPECT_EQ(loc.index, 126);
  EXPECT_EQ(IconLocationFor(1, "", sys, win).file, "C:\\windows\\Explorer.exe");
  EXPECT_EQ(IconLocationFor(2, "", sys, win).index, 32);
  EXPECT_EQ(IconLocationFor(3, "", sys, win).index, 17);
  EXPECT_EQ(IconLocationFor(4, "", sys, win).file,
            "C:\\program files\\internet explorer\\iexplore.exe");
  loc = IconLocationFor(5, "dirC:\\Users\\a\\Desktop\\Stuff", sys, win);
  EXPECT_EQ(loc.file, sys + "\\Shell32.dll");
  EXPECT_EQ(loc.index, 3);
  loc = IconLocationFor(6, "C:\\app\\x.exe,-101", sys, win);
  EXPECT_EQ(loc.file, "C:\\app\\x.exe");
  EXPECT_EQ(loc.index, -101);  // a resource id, passed as it is
  EXPECT_EQ(IconLocationFor(6, "a.dll,2.5", sys, win).index, 2);  // halves to even
  EXPECT_EQ(IconLocationFor(6, "a.dll,3.5", sys, win).index, 4);
  EXPECT_EQ(IconLocationFor(6, "a.dll,1.6,extra", sys, win).index, 2);
  EXPECT_EQ(IconLocationFor(6, "a.dll,", sys, win).index, 0);
  loc = IconLocationFor(7, "C:\\pics\\own.ico", sys, win);
  EXPECT_EQ(loc.file, "C:\\pics\\own.ico");
  EXPECT_EQ(loc.index, 0);
  // Quotes and variables are not removed or expanded.
  EXPECT_EQ(IconLocationFor(7, "\"%SystemRoot%\\a.dll\",1", sys, win).file,
            "\"%SystemRoot%\\a.dll\"");
}

TEST(LabelText, FixedTextsAndShortcutNames) {
  EXPECT_EQ(LabelText(0, "My Documents"), "My Documents");
  EXPECT_EQ(LabelText(1, "anything"), "My Computer");
  EXPECT_EQ(LabelText(2, "Recyle bin"), "Recycle Bin");
  EXPECT_EQ(LabelText(3, "Network"), "Network");
  EXPECT_EQ(LabelText(5, "Notes.txt"), "Notes.txt");
  EXPECT_EQ(LabelText(5, "photo.JPG"), "photo.JPG");
  EXPECT_EQ(LabelText(5, "Editor.lnk"), "Editor");
  EXPECT_EQ(LabelText(5, "Tool v1.2.LNK"), "Tool v1");  // up to the first dot
  EXPECT_EQ(LabelText(5, "README"), "README");
}

TEST(LabelBoxHeight, PlainLongLabelsAreLimited) {
  EXPECT_EQ(LabelBoxHeight("123456789012", false), 0);
  EXPECT_EQ(LabelBoxHeight("1234567890123", false), 27);
  EXPECT_EQ(LabelBoxHeight("1234567890123", true), 0);
  EXPECT_EQ(LabelBoxHeight("  123456789012  ", false), 0);  // blanks around not counted
}

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

TEST(OpenCommandFor, SpecialItemsShortcutsAndFiles) {
  const auto target = [] { return std::string("C:\\Tools\\edit.exe"); };
  using Target = std::function<std::optional<std::string>()>;
  auto open = [&](int row, const std::string& text, const std::string& type, bool folder = false,
                  Target t = {}) {
    return OpenCommandFor({row, text, type, folder}, t ? t : Target(target), "C:\\WINDOWS", "C:\\App");
  };
  EXPECT_FALSE(open(0, "x", "txt").has_value());
  const auto computer = open(2, "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "");
  EXPECT_EQ(computer->verb, "open");
  EXPECT_EQ(computer->file, "explorer");
  EXPECT_EQ(computer->parameters, "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}");
  EXPECT_EQ(computer->show, OpenCommand::kShow);
  EXPECT_EQ(open(5, "::{871C5380-42A0-1069-A2EA-08002B30309D}", "")->file,
            "C:\\Program Files\\Internet Explorer\\iexplore.exe");
  const auto file = open(6, "C:\\Desk\\\xE5\x86\x99\xE7\x9C\x9F.txt", "txt");
  EXPECT_EQ(file->verb, "Open");
  EXPECT_EQ(file->file, "C:\\Desk\\\xE5\x86\x99\xE7\x9C\x9F.txt");
  EXPECT_EQ(file->directory, "C:\\App");
  EXPECT_EQ(open(7, "C:\\Desk\\Tools.lnk", "lnk")->file, "C:\\Tools\\edit.exe");
  // A folder named like a shortcut, and a shortcut without a path, open as they are.
  EXPECT_EQ(open(8, "C:\\Desk\\odd.lnk", "lnk", true)->file, "C:\\Desk\\odd.lnk");
  EXPECT_EQ(open(9, "C:\\Desk\\Web.lnk", "lnk", false, [] { return std::string(); })->file,
            "C:\\Desk\\Web.lnk");
  // A shortcut that must not be followed, and names the shell would open as
  // devices, open nothing.
  const auto refused = [] { return std::optional<std::string>(); };
  EXPECT_FALSE(open(10, "C:\\Desk\\Loop.lnk", "lnk", false, refused).has_value());
  EXPECT_FALSE(open(11, "C:\\Desk\\aux.txt", "txt").has_value());
  EXPECT_FALSE(open(12, "C:\\Desk\\com1.lnk", "lnk", false, [] { return std::string(); }).has_value());
  EXPECT_FALSE(open(13, "C:\\Desk\\x.lnk", "lnk", false, [] { return std::string("C:\\nul.exe"); })
                   .has_value());
  EXPECT_EQ(open(14, "C:\\Desk\\auxiliary.txt", "txt")->file, "C:\\Desk\\auxiliary.txt");
}

TEST(FollowShortcutChain, EndsWhereTheChainEndsAndNeverGoesRound) {
  // Shortcuts and where each leads (case as a user may write it).
  const std::map<std::string, std::string> leads = {
      {"D\\self.lnk", "D\\SELF.LNK"}, {"D\\a.lnk", "D\\b.lnk"}, {"D\\b.lnk", "D\\a.lnk"},
      {"D\\c.lnk", "D\\d.lnk"},       {"D\\d.lnk", "D\\tool.exe"}, {"D\\plain.lnk", "D\\x.txt"},
      {"D\\web.lnk", ""},              {"D\\toweb.lnk", "D\\web.lnk"},
      {"D\\p.lnk", "D\\q.lnk"},       {"D\\q.lnk", "D\\r.lnk"},  {"D\\r.lnk", "D\\q.lnk"}};
  int reads = 0;
  const auto read = [&](const std::string& link) {
    ++reads;
    const auto found = leads.find(link);
    if (found != leads.end()) return found->second;
    for (const auto& [from, to] : leads)
      if (ToLower(from) == ToLower(link)) return to;
    return std::string();
  };
  EXPECT_EQ(FollowShortcutChain("D\\plain.lnk", read), "D\\x.txt");
  EXPECT_EQ(FollowShortcutChain("D\\c.lnk", read), "D\\tool.exe");
  EXPECT_EQ(FollowShortcutChain("D\\web.lnk", read), "");  // no path: the shell's to follow
  EXPECT_EQ(FollowShortcutChain("D\\toweb.lnk", read), "D\\web.lnk");
  // A loop is seen as soon as it closes: each shortcut read once.
  reads = 0;
  EXPECT_EQ(FollowShortcutChain("D\\self.lnk", read), std::nullopt);
  EXPECT_EQ(reads, 1);
  reads = 0;
  EXPECT_EQ(FollowShortcutChain("D\\a.lnk", read), std::nullopt);
  EXPECT_EQ(reads, 2);
  reads = 0;
  EXPECT_EQ(FollowShortcutChain("D\\p.lnk", read), std::nullopt);  // a loop further on
  EXPECT_EQ(reads, 3);
  // A chain that never comes back but has no end: given up after the limit.
  reads = 0;
  const auto endless = [&](const std::string&) {
    // (It ends after a hundred, so that a chain followed too far fails the
    // test instead of holding it.)
    return ++reads > 100 ? std::string() : "D\\" + std::to_string(reads) + ".lnk";
  };
  EXPECT_EQ(FollowShortcutChain("D\\0.lnk", endless), std::nullopt);
  EXPECT_EQ(reads, kMostShortcutsInARow);
  // Exactly as long as allowed: followed to its end.
  const auto counted = [&](const std::string& link) {
    const int n = std::atoi(GetFileNamePart(link).c_str());
    return n + 1 < kMostShortcutsInARow ? "D\\" + std::to_string(n + 1) + ".lnk" : std::string("D\\end.txt");
  };
  EXPECT_EQ(FollowShortcutChain("D\\0.lnk", counted), "D\\end.txt");
}

}  // namespace
}  // namespace velmora
