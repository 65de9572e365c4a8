// The desktop over two monitors side by side: the primary 1024 x 768 and a
// second 800 x 600 on its right (VELMORA_MONITORS=1024x768,800x600, which
// scripts/wine-env.sh gives a private Xorg server with the dummy driver and
// one RandR output each). The wallpaper on both, once on each or across
// both; an item dragged onto the second with real input; the second monitor
// taken away while the program runs (by the system's display settings, and
// from the X server's side, which Wine tells no window about) and back.
#include "common/DesktopHost.h"
#include "iconlayer/MonitorItems.h"
#include "tests/wine/DesktopFixture.h"
#include "tests/wine/RealInput.h"
#include "tests/wine/TestMovies.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace velmora {
namespace {

using namespace std::chrono_literals;

constexpr const char* kSecondDisplay = "\\\\.\\DISPLAY2";
constexpr int kPrimaryWidth = 1024, kSecondWidth = 800, kSecondHeight = 600;

uint32_t CanvasPixel(const CDIB& s, int x, int y) {
  const uint8_t* p = s.lpBits() + (s.Height() - 1 - y) * s.BytesPerScanline() + 4 * x;
  return p[0] | p[1] << 8 | p[2] << 16;  // 0x00RRGGBB
}

constexpr uint32_t kRed = 0xFF0000, kGrey = 0x808080;

// What the screen shows at (x, y), the compositor's picture, within 2 a channel.
bool ScreenShows(int x, int y, uint32_t rgb) {
  const HDC screen = ::GetDC(nullptr);
  const COLORREF c = ::GetPixel(screen, x, y);
  ::ReleaseDC(nullptr, screen);
  return std::abs(static_cast<int>(GetRValue(c)) - static_cast<int>(rgb >> 16 & 255)) <= 2 &&
         std::abs(static_cast<int>(GetGValue(c)) - static_cast<int>(rgb >> 8 & 255)) <= 2 &&
         std::abs(static_cast<int>(GetBValue(c)) - static_cast<int>(rgb & 255)) <= 2;
}

// The second display detached (no size) or attached right of the primary,
// as the system's display settings do it.
bool SetSecondDisplay(bool attached) {
  DEVMODEA mode{};
  mode.dmSize = sizeof mode;
  mode.dmFields = DM_POSITION | DM_PELSWIDTH | DM_PELSHEIGHT;
  if (attached) {
    mode.dmPelsWidth = kSecondWidth;
    mode.dmPelsHeight = kSecondHeight;
    mode.dmPosition.x = kPrimaryWidth;
  }
  return ::ChangeDisplaySettingsExA(kSecondDisplay, &mode, nullptr, CDS_UPDATEREGISTRY | CDS_NORESET,
                                    nullptr) == DISP_CHANGE_SUCCESSFUL &&
         ::ChangeDisplaySettingsExA(nullptr, nullptr, nullptr, 0, nullptr) == DISP_CHANGE_SUCCESSFUL;
}

// A Linux program started (Wine starts one as it starts a Windows program,
// but gives no handle to wait on: the caller waits for what it does).
bool StartLinuxProgram(const std::string& commandLine) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::string line = commandLine;
  if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    std::fprintf(stderr, "CreateProcess %s: error %lu\n", commandLine.c_str(), ::GetLastError());
    return false;
  }
  const UniqueKernelHandle process(info.hProcess), thread(info.hThread);
  return true;
}

class MonitorsTest : public test::ScratchDesktopTest {
 protected:
  void SetUp() override {
    ScratchDesktopTest::SetUp();
    // Without two monitors nothing here can be checked: that is a failure.
    ASSERT_EQ(::GetSystemMetrics(SM_CMONITORS), 2)
        << "two monitors are needed: run with VELMORA_MONITORS=1024x768,800x600 "
           "(scripts/wine-env.sh, Xorg with the dummy driver)";
  }
  void TearDown() override {
    ScratchDesktopTest::TearDown();
    if (::GetSystemMetrics(SM_CMONITORS) < 2) SetSecondDisplay(true);  // for the next test
  }
  FrmShortcut& Layer() { return *session->IconLayer(); }
  POINT OnItem(int i, int dx = 10, int dy = 10) {
    const ItemPosition at = Layer().Positions()[static_cast<size_t>(i)];
    POINT p{at.x + dx, at.y + dy};
    ::ClientToScreen(Layer().hwnd(), &p);
    return p;
  }
  // The monitor an item lies on (0 the primary), as the layer places it.
  int MonitorOf(int i) {
    return MonitorOfItem(Layer().Positions()[static_cast<size_t>(i)], Layer().ItemLayout());
  }
  bool WaitMonitors(size_t count) {
    return test::PumpUntil([&] { return bg->Layout().monitors.size() == count; }, 5s);
  }
  void RedSlide() {
    CDIB s;
    ASSERT_TRUE(s.Create(400, 300, 24));
    s.Cls(RGB(255, 0, 0));
    ASSERT_TRUE(s.Save(app.File("Images\\red.bmp")));
    Set("MAIN", "WallInx", "2");
    Set("IMAGE", "Path", "red.bmp|images*");
    Set("IMAGE", "Intervalvalue", "60000");
    Set("IMAGE", "Speedvalue", "255");
    Set("IMAGE", "Backcolor", "8421504");  // grey behind the slides
    Set("IMAGE", "Location", "0");
  }
  bool WaitSlides(int count) {
    return test::PumpUntil([&] { return bg->Stats().slidesCompleted >= count; }, 10s);
  }
};

TEST_F(MonitorsTest, TheSlideShowsOnEachMonitorOrOnceAcrossBoth) {
  ::CreateDirectoryA(app.File("Images").c_str(), nullptr);
  RedSlide();
  Start();
  ASSERT_TRUE(WaitSlides(1));
  // One window over both monitors' work areas.
  RECT r;
  ::GetWindowRect(bg->hwnd(), &r);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, kPrimaryWidth + kSecondWidth);
  ASSERT_EQ(bg->WallpaperPlaces().size(), 2u);
  // Fitted and centred on each monitor: (312, 234) on the primary, (1224,
  // 150) on the second.
  EXPECT_EQ(bg->SlideRect().left, 312);
  EXPECT_EQ(bg->SlideRect().top, 234);
  EXPECT_EQ(CanvasPixel(bg->Canvas(), 512, 384), kRed);
  EXPECT_EQ(CanvasPixel(bg->Canvas(), 1424, 300), kRed);
  EXPECT_EQ(CanvasPixel(bg->Canvas(), 1223, 300), kGrey);
  EXPECT_EQ(CanvasPixel(bg->Canvas(), 1625, 300), kGrey);
  EXPECT_EQ(CanvasPixel(bg->Canvas(), 900, 384), kGrey);
  // And the screen shows it on both monitors.
  // (The compositor catches up in its own time: all three at once.)
  EXPECT_TRUE(test::PumpUntil([] {
    return ScreenShows(512, 384, kRed) && ScreenShows(1424, 300, kRed) && ScreenShows(1100, 500, kGrey);
  }, 5s));

  // Across both: one slide centred on the 1824 x 768 of the two.
  Set("MAIN", "Monitors", "1");
  bg->ApplyWallpaperMode();
  ASSERT_TRUE(WaitSlides(2));
  ASSERT_EQ(bg->WallpaperPlaces().size(), 1u);
  EXPECT_EQ(bg->SlideRect().left, 712);
  EXPECT_EQ(CanvasPixel(bg->Canvas(), 912, 384), kRed);
  EXPECT_EQ(CanvasPixel(bg->Canvas(), 512, 384), kGrey);
  EXPECT_EQ(CanvasPixel(bg->Canvas(), 1424, 300), kGrey);
  EXPECT_TRUE(test::PumpUntil([] { return ScreenShows(1424, 300, kGrey) && ScreenShows(912, 384, kRed); }, 5s));
}

TEST_F(MonitorsTest, TheMovieRunsOnEachMonitorOrAcrossBoth) {
  ::CreateDirectoryA(app.File("Flashs").c_str(), nullptr);
  test::WriteFileBytes(app.File("Flashs\\a.swf"), test::MovingSquareMovie());
  Set("MAIN", "WallInx", "1");
  Set("FLASH", "CurFlash", "a.swf|flashs*");
  Set("FLASH", "BackgroundColor", "65280");  // the stage green, 0x00BBGGRR
  Start();
  MovieWallpaper& movies = bg->Movies();
  ASSERT_EQ(movies.ControlCount(), 2u);
  const RECT expected[2] = {{0, 0, kPrimaryWidth, 0}, {kPrimaryWidth, 0, kPrimaryWidth + kSecondWidth, kSecondHeight}};
  for (size_t i = 0; i < 2; ++i) {
    MoviePlayerWindow& control = movies.ControlAt(i);
    RECT c;
    ::GetWindowRect(control.hwnd(), &c);
    EXPECT_EQ(c.left, expected[i].left) << i;
    EXPECT_EQ(c.right, expected[i].right) << i;
    if (i == 1) {
      EXPECT_EQ(c.bottom, expected[i].bottom);  // the primary's bottom is its taskbar's top
    }
    EXPECT_TRUE(::IsWindowVisible(control.hwnd())) << i;
    EXPECT_EQ(control.Movie(), app.path() + "\\Flashs\\a.swf") << i;
    const uint32_t before = control.FramesRun();
    EXPECT_TRUE(test::PumpUntil([&] { return control.FramesRun() > before + 3; }, 3s)) << i;
  }
  // The stage is green: both monitors show it.
  EXPECT_TRUE(test::PumpUntil([] { return ScreenShows(40, 700, 0x00FF00) && ScreenShows(1100, 580, 0x00FF00); }, 5s));
  // Across both: one control over the whole window, the second one closed.
  Set("MAIN", "Monitors", "1");
  bg->ApplyWallpaperMode();
  ASSERT_EQ(movies.ControlCount(), 1u);
  RECT c, w;
  ::GetWindowRect(movies.Control().hwnd(), &c);
  ::GetWindowRect(bg->hwnd(), &w);
  EXPECT_TRUE(::EqualRect(&c, &w));
}

TEST_F(MonitorsTest, AFullScreenProgramOnTheSecondMonitorRestsOnlyTheMovieThere) {
  ::CreateDirectoryA(app.File("Flashs").c_str(), nullptr);
  test::WriteFileBytes(app.File("Flashs\\a.swf"), test::MovingSquareMovie());
  Set("MAIN", "WallInx", "1");
  Set("FLASH", "CurFlash", "a.swf|flashs*");
  Start();
  MovieWallpaper& movies = bg->Movies();
  ASSERT_EQ(movies.ControlCount(), 2u);
  MoviePlayerWindow &first = movies.ControlAt(0), &second = movies.ControlAt(1);
  const auto advances = [](MoviePlayerWindow& control) {
    const uint32_t before = control.FramesRun();
    return test::PumpUntil([&] { return control.FramesRun() > before + 3; }, 3s);
  };
  ASSERT_TRUE(advances(first) && advances(second));
  {
    // A game full screen on the second monitor: its movie rests, the
    // primary's plays on.
    test::HelperProcess program("fullscreen_window.exe", std::to_string(kPrimaryWidth) + " 0 " +
                                                             std::to_string(kSecondWidth) + " " +
                                                             std::to_string(kSecondHeight));
    ASSERT_TRUE(program.Started());
    ASSERT_TRUE(test::PumpUntil([&] { return bg->Rest().hiddenMonitors.size() == 1; }, 5s))
        << "the full-screen window was not seen";
    EXPECT_FALSE(bg->Rest().fullScreen);
    EXPECT_TRUE(movies.ControlResting(1));
    EXPECT_FALSE(movies.ControlResting(0));
    test::PumpFor(200ms);
    const uint32_t held = second.FramesRun();
    EXPECT_TRUE(advances(first));
    test::PumpFor(1s);
    EXPECT_EQ(second.FramesRun(), held);
    EXPECT_FALSE(second.ClockRunning());
    // Across both monitors the one movie still shows on the primary: it plays.
    Set("MAIN", "Monitors", "1");
    bg->ApplyWallpaperMode();
    ASSERT_EQ(movies.ControlCount(), 1u);
    EXPECT_FALSE(movies.ControlResting(0));
    EXPECT_TRUE(advances(movies.Control()));
    Set("MAIN", "Monitors", "0");
    bg->ApplyWallpaperMode();
    ASSERT_EQ(movies.ControlCount(), 2u);
    EXPECT_TRUE(movies.ControlResting(1));
    program.End();
    ASSERT_TRUE(test::PumpUntil([&] { return bg->Rest().hiddenMonitors.empty(); }, 5s));
  }
  EXPECT_TRUE(advances(movies.ControlAt(0)) && advances(movies.ControlAt(1)));
}

TEST_F(MonitorsTest, AnItemDraggedOntoTheSecondMonitorStaysThereAcrossARestart) {
  FrmShortcut& layer = Start();
  EXPECT_EQ(MonitorOf(2), 0);  // on the primary's grid
  EXPECT_EQ(layer.Positions()[2].x, 30);
  test::Drag(OnItem(2), {1300, 200});
  ASSERT_EQ(MonitorOf(2), 1);
  const ItemPosition moved = layer.Positions()[2];
  EXPECT_EQ(moved.x, 1290);  // the cell of the release point
  // Drawn there: its icon's pixels on the layer.
  EXPECT_GT(test::Count(layer.LastComposition(), moved.x, moved.y, 32, 32, test::Opaque), 100);
  // Remembered for this arrangement of monitors.
  session.reset();
  test::PumpFor(50ms);
  Start();
  EXPECT_EQ(Layer().Positions()[2].x, moved.x);
  EXPECT_EQ(Layer().Positions()[2].y, moved.y);
}

TEST_F(MonitorsTest, ARemovedMonitorsItemsComeBackToThePrimaryAndReturnWithIt) {
  Start();
  const size_t count = Layer().Positions().size();
  ASSERT_GE(count, 3u);
  test::Drag(OnItem(2), {1300, 200});
  ASSERT_EQ(MonitorOf(2), 1);
  const ItemPosition onSecond = Layer().Positions()[2];
  // One more moved on the primary: it stays where the user put it.
  test::Drag(OnItem(3), {400, 300});
  const ItemPosition onPrimary = Layer().Positions()[3];
  ASSERT_EQ(onPrimary.x, 390);
  // Detached, as the display settings do: the system tells every top-level
  // window; the program, a child of the desktop on Windows, looks itself.
  ASSERT_TRUE(SetSecondDisplay(false));
  ASSERT_TRUE(WaitMonitors(1));
  RECT r;
  ::GetWindowRect(bg->hwnd(), &r);
  EXPECT_EQ(r.right, kPrimaryWidth);
  EXPECT_TRUE(test::PumpUntil([&] { return Layer().LastComposition().Width() == kPrimaryWidth; }, 3s));
  ASSERT_EQ(Layer().Positions().size(), count);  // no item lost
  for (size_t i = 0; i < count; ++i) EXPECT_EQ(MonitorOf(static_cast<int>(i)), 0) << i;
  EXPECT_EQ(Layer().Positions()[2].x, 30);  // the first free cell of the primary's grid
  EXPECT_EQ(Layer().Positions()[2].y, 144);
  EXPECT_EQ(Layer().Positions()[3].x, onPrimary.x);
  EXPECT_EQ(Layer().Positions()[3].y, onPrimary.y);
  EXPECT_GT(test::Count(Layer().LastComposition(), Layer().Positions()[2].x, Layer().Positions()[2].y, 32, 32,
                        test::Opaque),
            100);
  // Back: the item goes where it was on this arrangement.
  ASSERT_TRUE(SetSecondDisplay(true));
  ASSERT_TRUE(WaitMonitors(2));
  EXPECT_TRUE(test::PumpUntil([&] { return MonitorOf(2) == 1; }, 3s));
  EXPECT_EQ(Layer().Positions()[2].x, onSecond.x);
  EXPECT_EQ(Layer().Positions()[2].y, onSecond.y);
}

TEST_F(MonitorsTest, AMonitorSwitchedOffAtTheXServerIsSeenWithoutAMessage) {
  // xrandr changes the outputs behind Wine's back: no window hears of it,
  // only the monitor list changes.
  Start();
  test::Drag(OnItem(1), {1300, 300});
  ASSERT_EQ(MonitorOf(1), 1);
  ASSERT_TRUE(StartLinuxProgram("/usr/bin/xrandr --output DUMMY1 --off")) << "xrandr could not be started";
  ASSERT_TRUE(WaitMonitors(1));
  EXPECT_TRUE(test::PumpUntil([&] { return MonitorOf(1) == 0; }, 3s));
  ASSERT_TRUE(StartLinuxProgram("/usr/bin/xrandr --output DUMMY1 --mode 800x600 --right-of DUMMY0"));
  ASSERT_TRUE(WaitMonitors(2));
  EXPECT_TRUE(test::PumpUntil([&] { return MonitorOf(1) == 1; }, 3s));
}

}  // namespace
}  // namespace velmora
