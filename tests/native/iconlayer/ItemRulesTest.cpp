// The rules of a desktop item: its icon's place, its label, what opening it
// runs and where a chain of shortcuts ends.
#include "iconlayer/ItemRules.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

namespace velmora {
namespace {

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
