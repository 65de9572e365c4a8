// Desktop items that must neither stop nor end the program, on a scratch
// desktop: files named like devices, shortcuts that lead back to themselves,
// and the desktop folder itself going away and coming back.
#include "common/BoundedRead.h"
#include "common/PathText.h"
#include "common/WinText.h"
#include "settings/Registry.h"
#include "shell/DesktopScan.h"
#include "tests/wine/DesktopFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace velmora {
namespace {

using namespace std::chrono_literals;

class DesktopItemSafetyTest : public test::ScratchDesktopTest {
 protected:
  // Opens item `name` as a double-click does; how long that took, in ms.
  long long Open(const std::string& name) {
    const int item = IndexOf(name);
    EXPECT_GE(item, 0) << name;
    if (item < 0) return 0;
    session->Inventory().Select(item);
    const auto begun = std::chrono::steady_clock::now();
    session->IconLayer()->OpenSelectedItem();
    test::PumpFor(300ms);
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - begun)
        .count();
  }
  bool ItemShows(const std::string& name, std::chrono::milliseconds within) {
    return test::PumpUntil([&] { return IndexOf(name) >= 0; }, within);
  }
  // A file type whose opening copies the file next to the test.
  std::string OpenedMark() {
    const std::string mark = app.File("opened.txt");
    SaveRegString(HKEY_CLASSES_ROOT, ".velmoraopen", "", "VelmoraOpen");
    SaveRegString(HKEY_CLASSES_ROOT, "VelmoraOpen\\shell\\open\\command", "",
                  "cmd.exe /c copy \"%1\" \"" + mark + "\"");
    return mark;
  }
  // The desktop's real folder (Wine's desktop folder is a link to a folder
  // of the home folder) renamed out of the way on the Linux side, as a user
  // or a sync tool may; put back at the end. Through Windows' calls Wine
  // would rename the folder the link leads to and keep the link.
  void TakeDesktopAway() {
    real_ = test::LinuxShellOutput("readlink -f '" + test::LinuxPathOf(own) + "'");
    ASSERT_FALSE(real_.empty());
    ASSERT_EQ(test::RunLinuxShell("mv '" + real_ + "' '" + real_ + ".away'"), 0);
    ASSERT_FALSE(test::FileExists(own));
  }
  void MakeDesktopAgain() { ASSERT_EQ(test::RunLinuxShell("mkdir '" + real_ + "'"), 0); }
  void PutDesktopBack() {
    if (real_.empty()) return;
    ASSERT_EQ(test::RunLinuxShell("rm -rf '" + real_ + "' && mv '" + real_ + ".away' '" + real_ + "'"), 0);
    real_.clear();
  }
  void TearDown() override {
    ::RegDeleteTreeA(HKEY_CLASSES_ROOT, ".velmoraopen");
    ::RegDeleteTreeA(HKEY_CLASSES_ROOT, "VelmoraOpen");
    session.reset();
    PutDesktopBack();
    ScratchDesktopTest::TearDown();
  }
  test::ScratchDir elsewhere;
  std::string real_;
};

// The long form reaches the file; the plain path of such a name would reach
// the device.
std::string Long(const std::string& path) { return "\\\\?\\" + path; }

TEST_F(DesktopItemSafetyTest, ItemsNamedLikeDevicesNeitherStopTheStartNorTheRunningDesktop) {
  const test::Watchdog dog(120s, "the desktop waiting on an item named like a device");
  const std::string note = elsewhere.File("note.txt");
  test::WriteFileBytes(note, "note");
  ASSERT_TRUE(test::MakeShortcut(Long(own + "\\aux.lnk"), note));
  test::WriteFileBytes(Long(own + "\\com1.lnk"), "not a shortcut");
  test::WriteFileBytes(Long(own + "\\com2.exe"), "not a program");
  ASSERT_EQ(test::ReadFileBytes(Long(own + "\\com1.lnk")), "not a shortcut");
  const auto begun = std::chrono::steady_clock::now();
  FrmShortcut& layer = Start();
  EXPECT_LT(std::chrono::steady_clock::now() - begun, 20s) << "the start took too long";
  EXPECT_TRUE(::IsWindowVisible(layer.hwnd()));
  EXPECT_GE(IndexOf("com1.lnk"), 0);
  EXPECT_GE(IndexOf("com2.exe"), 0);
  // The shortcut's own file was read, not the device; a device itself is
  // refused at once, not read.
  EXPECT_EQ(test::Lower(GetShortcutProperty(own + "\\aux.lnk", "TARGET")), test::Lower(note));
  const auto asked = std::chrono::steady_clock::now();
  EXPECT_FALSE(ReadSmallFileWithin("\\\\.\\AUX", 1000, 5s).has_value());
  EXPECT_FALSE(ReadSmallFileWithin(Long(own + "\\aux.lnk"), 10, 5s).has_value());  // too large
  EXPECT_TRUE(ReadSmallFileWithin(Long(own + "\\com1.lnk"), 1000, 5s).has_value());
  EXPECT_LT(std::chrono::steady_clock::now() - asked, 3s);
  // Opening them comes back at once.
  EXPECT_LT(Open("com1.lnk"), 5000) << "ms to open com1.lnk";
  EXPECT_LT(Open("aux.lnk"), 5000) << "ms to open aux.lnk";
  EXPECT_LT(Open("com2.exe"), 5000) << "ms to open com2.exe";

  // While the program runs: gone, and made again.
  ASSERT_TRUE(::DeleteFileW(Wide(Long(own + "\\aux.lnk")).c_str()));
  EXPECT_TRUE(test::PumpUntil([&] { return IndexOf("aux.lnk") < 0; }, 10s));
  ASSERT_TRUE(test::MakeShortcut(Long(own + "\\aux.lnk"), note));
  test::WriteFileBytes(Long(own + "\\nul.txt.lnk"), "not a shortcut");
  EXPECT_TRUE(ItemShows("aux.lnk", 10s));
  EXPECT_TRUE(ItemShows("nul.txt.lnk", 10s));
  // The desktop answers: a new plain file still shows.
  test::WriteFileBytes(own + "\\after.txt", "after");
  EXPECT_TRUE(ItemShows("after.txt", 10s));
  EXPECT_LT(Open("aux.lnk"), 5000) << "ms to open aux.lnk";
}

TEST_F(DesktopItemSafetyTest, ShortcutsLeadingBackToThemselvesOpenNothingAndTheProgramLives) {
  // Handed to the shell, such a chain is followed without end.
  const test::Watchdog dog(60s, "opening shortcuts that lead back to themselves");
  const std::string mark = OpenedMark();
  const std::string report = elsewhere.File("report.velmoraopen");
  test::WriteFileBytes(report, "the report");
  // A shortcut to itself, a -> b -> a, and a chain that ends at a file.
  const std::string self = own + "\\self.lnk", a = own + "\\a.lnk", b = own + "\\b.lnk";
  const std::string c = own + "\\c.lnk", d = own + "\\d.lnk";
  ASSERT_TRUE(test::MakeShortcut(self, report) && test::MakeShortcut(self, self));
  ASSERT_TRUE(test::MakeShortcut(b, report) && test::MakeShortcut(a, b) && test::MakeShortcut(b, a));
  ASSERT_TRUE(test::MakeShortcut(d, report) && test::MakeShortcut(c, d));
  ASSERT_EQ(test::Lower(test::ReadShortcut(self).target), test::Lower(self));
  ASSERT_EQ(test::Lower(test::ReadShortcut(b).target), test::Lower(a));
  Start();
  EXPECT_LT(Open("self.lnk"), 5000) << "ms to open self.lnk";
  EXPECT_LT(Open("a.lnk"), 5000) << "ms to open a.lnk";
  EXPECT_LT(Open("b.lnk"), 5000) << "ms to open b.lnk";
  test::PumpFor(1s);
  EXPECT_FALSE(test::FileExists(mark));  // nothing was opened
  // Still here, and a chain that ends somewhere opens where it ends.
  EXPECT_LT(Open("c.lnk"), 5000) << "ms to open c.lnk";
  EXPECT_TRUE(test::PumpUntil([&] { return test::ReadFileBytes(mark) == "the report"; }, 10s));
}

// The desktop folder taken away (renamed, as the user or a sync tool does)
// and a new one made in its place while the program runs.
TEST_F(DesktopItemSafetyTest, ADesktopFolderGoneAndBackIsWatchedAgain) {
  test::WriteFileBytes(own + "\\before.txt", "b");
  Start();
  ASSERT_GE(IndexOf("before.txt"), 0);
  TakeDesktopAway();
  EXPECT_TRUE(test::PumpUntil([&] { return IndexOf("before.txt") < 0; }, 15s))
      << "the items of the folder that went stayed";
  MakeDesktopAgain();
  test::WriteFileBytes(own + "\\back.txt", "back");
  EXPECT_TRUE(ItemShows("back.txt", 15s));
  test::WriteFileBytes(own + "\\later.txt", "later");
  EXPECT_TRUE(ItemShows("later.txt", 15s)) << "new files do not show";
  // The first folder back in its place.
  PutDesktopBack();
  EXPECT_TRUE(ItemShows("before.txt", 15s));
  test::WriteFileBytes(own + "\\last.txt", "last");
  EXPECT_TRUE(ItemShows("last.txt", 15s));
}

TEST_F(DesktopItemSafetyTest, ADesktopFolderMissingAtTheStartIsWatchedWhenItComes) {
  TakeDesktopAway();
  Start();
  test::PumpFor(500ms);
  MakeDesktopAgain();
  test::WriteFileBytes(own + "\\arrived.txt", "a");
  EXPECT_TRUE(ItemShows("arrived.txt", 15s));
  test::WriteFileBytes(own + "\\then.txt", "t");
  EXPECT_TRUE(ItemShows("then.txt", 15s)) << "new files do not show";
}

}  // namespace
}  // namespace velmora
