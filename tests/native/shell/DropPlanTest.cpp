// The plan of a drop onto the desktop: free names, every item of it, a
// folder that holds the desktop, the message about problems.
#include "shell/DropPlan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace velmora {
namespace {

TEST(DropPlan, FreeNamesTheWayTheShellNamesCopies) {
  std::set<std::string> present = {"D\\a.txt", "D\\a - Copy.txt", "D\\Stuff", "D\\a.lnk"};
  const auto taken = [&](const std::string& p) { return present.count(p) > 0; };
  EXPECT_EQ(FreeName("D\\", "b.txt", false, false, taken), "b.txt");
  EXPECT_EQ(FreeName("D\\", "a.txt", false, false, taken), "a - Copy (2).txt");
  EXPECT_EQ(FreeName("D\\", "Stuff", true, false, taken), "Stuff - Copy");
  EXPECT_EQ(FreeName("D\\", "Stuff.v2", true, false, taken), "Stuff.v2");
  present.insert("D\\Stuff.v2");
  EXPECT_EQ(FreeName("D\\", "Stuff.v2", true, false, taken), "Stuff.v2 - Copy");  // a folder's dot
  EXPECT_EQ(FreeName("D\\", "README", false, false, taken), "README");
  EXPECT_EQ(FreeName("D\\", "a.txt", false, true, taken), "a (2).lnk");
  EXPECT_EQ(FreeName("D\\", "Stuff", true, true, taken), "Stuff.lnk");
}

TEST(DropPlan, EveryItemOfADropWithItsOwnName) {
  const std::set<std::string> folders = {"C:\\Music", "C:\\Users\\me\\Desktop", "C:\\Users\\Me"};
  std::set<std::string> present = {"C:\\Users\\me\\Desktop\\song.mp3",
                                   "C:\\Users\\me\\Desktop\\own.txt"};
  const auto isFolder = [&](const std::string& p) { return folders.count(p) > 0; };
  const auto taken = [&](const std::string& p) { return present.count(p) > 0; };
  const std::string desktop = "C:\\Users\\me\\Desktop";
  const auto copy = PlanDrop(DropCommand::kCopy,
                             {"C:\\Music", "D:\\song.mp3", "E:\\song.mp3", "C:\\", desktop + "\\own.txt"},
                             desktop, isFolder, taken);
  ASSERT_EQ(copy.size(), 5u);
  EXPECT_EQ(copy[0].target, desktop + "\\Music");
  EXPECT_TRUE(copy[0].folder);
  EXPECT_EQ(copy[1].target, desktop + "\\song - Copy.mp3");
  EXPECT_EQ(copy[2].target, desktop + "\\song - Copy (2).mp3");  // not the name just given
  EXPECT_TRUE(copy[3].target.empty());                           // a drive root
  EXPECT_FALSE(copy[3].refusal.empty());
  EXPECT_EQ(copy[4].target, desktop + "\\own - Copy.txt");       // a desktop file onto the desktop
  const auto move = PlanDrop(DropCommand::kMove, {desktop + "\\own.txt", "D:\\x.txt"}, desktop,
                             isFolder, taken);
  EXPECT_TRUE(move[0].target.empty());  // onto itself: left alone, and no complaint
  EXPECT_TRUE(move[0].refusal.empty());
  EXPECT_EQ(move[1].target, desktop + "\\x.txt");
  const auto around = PlanDrop(DropCommand::kCopy, {"C:\\Users\\Me", desktop}, desktop, isFolder, taken);
  EXPECT_TRUE(around[0].target.empty());  // the desktop's own parent, into itself
  EXPECT_FALSE(around[0].refusal.empty());
  EXPECT_TRUE(around[1].target.empty());
  const auto links = PlanDrop(DropCommand::kShortcut, {"D:\\notes.txt", "C:\\Music"}, desktop,
                              isFolder, taken);
  EXPECT_EQ(links[0].target, desktop + "\\notes.lnk");
  EXPECT_EQ(links[1].target, desktop + "\\Music.lnk");
  // A folder whose name is in use as a folder gets a name of its own.
  present.insert(desktop + "\\Music");
  EXPECT_EQ(PlanDrop(DropCommand::kCopy, {"D:\\Music"}, desktop, [](auto&) { return true; }, taken)[0]
                .target,
            desktop + "\\Music - Copy");
}

TEST(DropPlan, AFolderThatHoldsTheDesktopUnderAnyNameIsRefused) {
  const std::string desktop = "C:\\Users\\me\\Desktop";
  const auto none = [](const std::string&) { return false; };
  const auto folder = [](const std::string&) { return true; };
  // Names the text cannot tell (another drive letter, the long form): the
  // system's answer decides.
  const std::set<std::string> holders = {"Z:\\home\\me", "\\\\?\\C:\\Users"};
  const auto holds = [&](const std::string& p) { return holders.count(p) > 0; };
  const auto steps = PlanDrop(DropCommand::kCopy, {"Z:\\home\\me", "\\\\?\\C:\\Users", "Z:\\home\\music"},
                              desktop, folder, none, holds);
  EXPECT_TRUE(steps[0].target.empty());
  EXPECT_EQ(steps[0].refusal, "The desktop lies inside this folder.");
  EXPECT_TRUE(steps[1].target.empty());
  EXPECT_EQ(steps[2].target, desktop + "\\music");
  // Moved too; a shortcut to it is harmless.
  EXPECT_TRUE(PlanDrop(DropCommand::kMove, {"Z:\\home\\me"}, desktop, folder, none, holds)[0].target.empty());
  EXPECT_EQ(PlanDrop(DropCommand::kShortcut, {"Z:\\home\\me"}, desktop, folder, none, holds)[0].target,
            desktop + "\\me.lnk");
}

TEST(DropProblemsMessage, AFewLinesAndHowManyMore) {
  std::string many;
  for (int i = 0; i < 300; ++i) many += "gone " + std::to_string(i) + ".txt: The file is missing.\n";
  const std::string message = DropProblemsMessage(many);
  EXPECT_EQ(message.rfind("These items could not be put on the desktop:\n\n", 0), 0u);
  EXPECT_NE(message.find("gone 0.txt: The file is missing.\n"), std::string::npos);
  EXPECT_NE(message.find("gone 9.txt:"), std::string::npos);
  EXPECT_EQ(message.find("gone 10.txt:"), std::string::npos);
  EXPECT_NE(message.find("... and 290 more."), std::string::npos);
  EXPECT_LE(std::count(message.begin(), message.end(), '\n'), 14);
  // A few fit whole, with nothing more said.
  const std::string few = "a.txt: busy\nb.txt: gone\n";
  EXPECT_EQ(DropProblemsMessage(few), "These items could not be put on the desktop:\n\n" + few);
  // Exactly as many as are shown: no "more".
  std::string ten;
  for (int i = 0; i < 10; ++i) ten += "x" + std::to_string(i) + ": no\n";
  EXPECT_EQ(DropProblemsMessage(ten).find("more"), std::string::npos);
  // A very long line is cut, never inside a character.
  std::string wide;
  for (int i = 0; i < 500; ++i) wide += "\xE5\x86\x99";  // 写
  const std::string cut = DropProblemsMessage(wide + ": too long\n");
  EXPECT_NE(cut.find("..."), std::string::npos);
  EXPECT_LT(cut.size(), 3 * kProblemLineLength + 80);
  EXPECT_NE(cut.find(std::string("\xE5\x86\x99...")), std::string::npos);
}

}  // namespace
}  // namespace velmora
