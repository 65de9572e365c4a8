// The shell's desktop window goes away and comes back (Explorer restarted):
// the program's windows find the new one and the wallpaper plays on.
#include "common/DesktopHost.h"
#include "common/Handles.h"
#include "player/SwfWriter.h"
#include "settings/IniFile.h"
#include "tests/wine/DesktopFixture.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <chrono>
#include <string>

namespace velmora {
namespace {

using namespace std::chrono_literals;
namespace w = velmora::swfwriter;

// A stand-in "Program Manager" of another process, running until it is ended.
class StandIn {
 public:
  StandIn() {
    const std::string exe = test::TestExeDirectory() + "\\progman_standin.exe";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string line = "\"" + exe + "\"";
    if (::CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
      process_.reset(pi.hProcess);
      UniqueKernelHandle thread(pi.hThread);
      test::PumpUntil([] { return FindWindowByTitle("Program Manager") != nullptr; }, 10s);
    }
  }
  ~StandIn() { End(); }
  HWND Window() const { return FindWindowByTitle("Program Manager"); }
  void End() {
    if (!process_) return;
    ::TerminateProcess(process_.get(), 0);
    ::WaitForSingleObject(process_.get(), 5000);
    process_.reset();
  }

 private:
  UniqueKernelHandle process_;
};

// A movie whose square moves a little every frame, at 30 frames a second.
std::string MovingMovie() {
  w::MovieWriter movie({0, 400 * 20, 0, 300 * 20}, 30);
  w::TagWriter& t = movie.Timeline();
  t.SetBackgroundColor({0, 255, 0});
  w::ShapeBuilder square;
  square.SelectStyles(0, square.AddSolidFill({255, 0, 0}), 0);
  square.Rectangle({0, 50 * 20, 0, 50 * 20});
  t.DefineShape(1, square);
  for (int i = 0; i < 30; ++i) {
    w::PlaceObject place;
    place.depth = 1;
    if (i == 0)
      place.characterId = 1;
    else
      place.move = true;
    place.matrix = w::Matrix::Translation(i * 200, 100 * 20);
    t.Place(place);
    t.ShowFrame();
  }
  w::Bytes bytes = movie.Finish(w::Compression::kZlib);
  return std::string(bytes.begin(), bytes.end());
}

class ShellRestartTest : public test::ScratchDesktopTest {
 protected:
  void UseMovie() {
    ::CreateDirectoryA(app.File("Flashs").c_str(), nullptr);
    test::WriteFileBytes(app.File("Flashs\\moving.swf"), MovingMovie());
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
  const int rebuilds = bg->Stats().rebuilds;
  ::SHChangeNotify(SHCNE_UPDATEDIR, SHCNF_PATHA, GetSpecialDir(3).c_str(), nullptr);
  EXPECT_TRUE(test::PumpUntil([&] { return bg->Stats().rebuilds > rebuilds; }, 5s));
}

}  // namespace
}  // namespace velmora
