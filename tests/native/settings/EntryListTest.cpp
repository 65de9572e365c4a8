#include "settings/EntryList.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace velmora {
namespace {

TEST(EntryList, SplitsAtStarsAndIgnoresTheTextAfterTheLast) {
  const auto entries = ReadEntryList("a.swf|flashs*b.swf|C:\\Movies\\*tail|x");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].name, "a.swf");
  EXPECT_EQ(entries[0].location, "flashs");
  EXPECT_EQ(entries[1].name, "b.swf");
  EXPECT_EQ(entries[1].location, "C:\\Movies\\");
  // Without a final "*" the last entry is lost.
  EXPECT_EQ(ReadEntryList("a.swf|flashs*b.swf|images").size(), 1u);
  EXPECT_TRUE(ReadEntryList("").empty());
  EXPECT_TRUE(ReadEntryList("no star").empty());
}

TEST(EntryList, PieceWithoutBarHasNoLocation) {
  const MediaEntry e = ParseEntry("lonely.png");
  EXPECT_EQ(e.name, "lonely.png");
  EXPECT_EQ(e.location, "");
  EXPECT_EQ(FormatEntry({"a.png", "images"}), "a.png|images*");
}

TEST(EntryList, FilePathOfOwnFolderAndOfPlainFolders) {
  EXPECT_EQ(EntryFilePath({"a.swf", "flashs"}, "FLASH", "C:\\App"), "C:\\App\\Flashs\\a.swf");
  EXPECT_EQ(EntryFilePath({"p.jpg", "images"}, "IMAGE", "C:\\App"), "C:\\App\\Images\\p.jpg");
  EXPECT_EQ(EntryFilePath({"b.swf", "C:\\Movies\\"}, "FLASH", "C:\\App"), "C:\\Movies\\b.swf");
  // "images" in the FLASH list is not the program's own folder.
  EXPECT_EQ(EntryFilePath({"p.jpg", "images"}, "FLASH", "C:\\App"), "imagesp.jpg");
}

class Pruning : public ::testing::Test {
 protected:
  std::set<std::string> present;
  int dispatched = 0;
  PruneResult Prune(const std::string& list, const std::string& section = "FLASH") {
    return PruneEntryList(
        list, section, "C:\\App", [this](const std::string& f) { return present.count(f) == 0; },
        [this] { ++dispatched; });
  }
};

TEST_F(Pruning, RemovesTheMissingEntryOnly) {
  present = {"C:\\App\\Flashs\\a.swf"};
  const PruneResult r = Prune("a.swf|flashs*b.swf|C:\\Movies\\*");
  EXPECT_EQ(r.list, "a.swf|flashs*");
  EXPECT_EQ(r.removed, 1);
  EXPECT_EQ(dispatched, 2);  // messages are dispatched before every entry
}

TEST_F(Pruning, DoesNotMatchInsideAnotherEntry) {
  // "a.swf|flashs*" is also the tail of "ba.swf|flashs*": only the missing
  // a.swf must go.
  present = {"C:\\App\\Flashs\\ba.swf"};
  EXPECT_EQ(Prune("ba.swf|flashs*a.swf|flashs*").list, "ba.swf|flashs*");
  present = {"C:\\App\\Flashs\\a.swf"};
  EXPECT_EQ(Prune("ba.swf|flashs*a.swf|flashs*").list, "a.swf|flashs*");
}

TEST_F(Pruning, DuplicatesAndTailAreKept) {
  present = {"C:\\M\\x.png"};
  const PruneResult r = Prune("x.png|C:\\M\\*gone.png|C:\\M\\*x.png|C:\\M\\*half", "IMAGE");
  EXPECT_EQ(r.list, "x.png|C:\\M\\*x.png|C:\\M\\*half");
  EXPECT_EQ(r.removed, 1);
}

TEST_F(Pruning, AnEntryThatCouldNotBeReadIsNeverTakenForGone) {
  // U+FFFD in a name or a location, or bytes that are no UTF-8: all missing
  // by the check, yet only the readable one goes.
  const std::string list =
      "a\xEF\xBF\xBD.png|C:\\M\\*b.png|C:\\M\\\xEF\xBF\xBD\\*c\xE9.png|C:\\M\\*d.png|C:\\M\\*";
  const PruneResult r = Prune(list, "IMAGE");
  EXPECT_EQ(r.removed, 1);
  EXPECT_EQ(r.list, list.substr(0, list.find("d.png")));
}

TEST_F(Pruning, EmptyAndAllMissing) {
  EXPECT_EQ(Prune("").list, "");
  EXPECT_EQ(dispatched, 0);
  const PruneResult r = Prune("a|flashs*b|flashs*");
  EXPECT_EQ(r.list, "");
  EXPECT_EQ(r.removed, 2);
}

TEST_F(Pruning, AnEntryWithMoreThanOneBarNamesTheFileOfItsFirstTwoParts) {
  EXPECT_EQ(EntryFilePath(ParseEntry("a.png|images|extra"), "IMAGE", "C:\\App"),
            "C:\\App\\Images\\a.png");
  EXPECT_EQ(ParseEntry("b.png|C:\\M\\|x|y").location, "C:\\M\\");
  present = {"C:\\App\\Images\\a.png"};
  EXPECT_EQ(Prune("a.png|images|extra*", "IMAGE").list, "a.png|images|extra*");
}

TEST_F(Pruning, LongListsSurviveWhole) {
  std::string list;
  for (int i = 0; i < 800; ++i) {
    const std::string name = "picture" + std::to_string(i) + ".jpg";
    list += name + "|images*";
    present.insert("C:\\App\\Images\\" + name);
  }
  ASSERT_GT(list.size(), 5000u);
  EXPECT_EQ(Prune(list, "IMAGE").list, list);
}

}  // namespace
}  // namespace velmora
