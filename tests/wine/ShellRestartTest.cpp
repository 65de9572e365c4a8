// The shell's desktop window goes away and comes back (Explorer restarted):
// the program's windows find the new one and the wallpaper plays on.
#include "common/DesktopHost.h"
#include "settings/IniFile.h"
#include "tests/wine/DesktopFixture.h"
#include "tests/wine/TestMovies.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <chrono>
#include <string>

namespace velmora {
namespace {

using namespace std::chrono_literals;

// A stand-in "Program Manager" of another process, running until it is ended.
class StandIn {
 public:
  StandIn() : process_("progman_standin.exe") {
    test::PumpUntil([] { return FindWindowByTitle("Program Manager") != nullptr; }, 10s);
  }
  HWND Window() const { return FindWindowByTitle("Program Manager"); }
  void End() { process_.End(); }

 private:
  test::HelperProcess process_;
};

class ShellRestartTest : public test::ScratchDesktopTest {
 protected:
  void UseMovie() {
    ::CreateDirectoryA(app.File("Flashs").c_str(), nullptr);
    test::WriteFileBytes(app.File("Flashs\\moving.swf"), test::MovingSquareMovie());
    WriteIniString(ini, "MAIN", "WallInx", "1");
    WriteIniString(ini, "FLASH", "CurFlash", "moving.swf|flashs*");
  }
  static void BroadcastTaskbarCreated() {
    ::PostMessageA(HWND_BROADCAST, ::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  }
  bool Playing() {
    bg = &session->Background();
    return ::IsWindow(bg->hwnd()) && bg->DesktopFlash().FramesRun() > 3;
  }
};

TEST_F(ShellRestartTest, WindowsLostWithTheShellAreMadeAgainInItsNewWindowAndTheMoviePlays) {
  UseMovie();
  StandIn first;
  ASSERT_NE(first.Window(), nullptr);
  FrmShortcut& layer = Start();
  ASSERT_TRUE(test::PumpUntil([&] { return Playing(); }, 10s));
  const HWND oldBackground = bg->hwnd(), oldLayer = layer.hwnd();
  EXPECT_EQ(::GetAncestor(oldBackground, GA_PARENT), first.Window());

  first.End();  // the shell's end takes its children along
  test::PumpUntil([&] { return !::IsWindow(oldBackground) && !::IsWindow(oldLayer); }, 5s);
  test::PumpFor(300ms);
  EXPECT_FALSE(session->ShutDown()) << "the program goes on without the shell";

  StandIn second;
  ASSERT_NE(second.Window(), nullptr);
  BroadcastTaskbarCreated();
  ASSERT_TRUE(test::PumpUntil([&] { return session->IconLayer() && Playing(); }, 20s));
  EXPECT_EQ(::GetAncestor(bg->hwnd(), GA_PARENT), second.Window());
  EXPECT_EQ(::GetAncestor(session->IconLayer()->hwnd(), GA_PARENT), second.Window());
  // The layer shows the items again: the five fixed ones in the first column.
  EXPECT_GT(test::Count(session->IconLayer()->LastComposition(), 0, 0, 90, 360, test::Opaque), 500);
  const uint32_t frames = bg->DesktopFlash().FramesRun();
  EXPECT_TRUE(test::PumpUntil([&] { return bg->DesktopFlash().FramesRun() > frames + 5; }, 3s));
}

TEST_F(ShellRestartTest, WindowsThatOutliveTheShellMoveIntoItsNewWindow) {
  UseMovie();
  FrmShortcut& layer = Start();  // no shell window yet: top-level
  ASSERT_TRUE(test::PumpUntil([&] { return Playing(); }, 10s));
  const HWND background = bg->hwnd();
  EXPECT_EQ(::GetAncestor(background, GA_PARENT), ::GetDesktopWindow());
  StandIn shell;
  ASSERT_NE(shell.Window(), nullptr);
  BroadcastTaskbarCreated();
  ASSERT_TRUE(test::PumpUntil([&] { return ::GetAncestor(background, GA_PARENT) == shell.Window(); }, 5s));
  EXPECT_EQ(bg->hwnd(), background) << "the same window, moved";
  EXPECT_EQ(::GetAncestor(layer.hwnd(), GA_PARENT), shell.Window());
  const uint32_t frames = bg->DesktopFlash().FramesRun();
  EXPECT_TRUE(test::PumpUntil([&] { return bg->DesktopFlash().FramesRun() > frames + 5; }, 3s));
  // The shell's change notification was taken again: a directory update
  // still makes a rebuild.
  const int rebuilds = Rebuilds();
  ::SHChangeNotify(SHCNE_UPDATEDIR, SHCNF_PATHA, GetSpecialDir(3).c_str(), nullptr);
  EXPECT_TRUE(test::PumpUntil([&] { return Rebuilds() > rebuilds; }, 5s));
}

TEST_F(ShellRestartTest, AHiddenShellDesktopRestsTheMovieUntilItIsShownAgain) {
  UseMovie();
  StandIn shell;
  ASSERT_NE(shell.Window(), nullptr);
  Start();
  ASSERT_TRUE(test::PumpUntil([&] { return Playing(); }, 10s));
  ::ShowWindow(shell.Window(), SW_HIDE);
  ASSERT_TRUE(test::PumpUntil([&] { return bg->Rest().desktopHidden; }, 3s));
  EXPECT_FALSE(bg->DesktopFlash().ClockRunning());
  ::ShowWindow(shell.Window(), SW_SHOWNA);
  ASSERT_TRUE(test::PumpUntil([&] { return !bg->Rest().desktopHidden; }, 3s));
  EXPECT_TRUE(bg->DesktopFlash().ClockRunning());
}

}  // namespace
}  // namespace velmora
