// The wallpaper rests while it cannot be seen: a full-screen window of
// another process in front, the session locked, the display off. The movie
// draws no frame and its timer is off, the slideshow's timer is off, and
// both go on when the reason ends.
#include "common/ProcessTime.h"
#include "common/SystemNotifications.h"
#include "iconlayer/CDIB.h"
#include "settings/IniFile.h"
#include "startup/DesktopSession.h"
#include "tests/wine/TestMovies.h"
#include "tests/wine/DesktopFixture.h"
#include "tests/wine/TestSupport.h"
#include "wallpaper/FrmShortcutBG.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velmora {
namespace {

using namespace std::chrono_literals;
class RestTest : public test::ProgramFolderTest {
 protected:
  void SetUp() override {
    ::CreateDirectoryA(app.File("Flashs").c_str(), nullptr);
    ::CreateDirectoryA(app.File("Images").c_str(), nullptr);
    test::WriteFileBytes(app.File("Flashs\\moving.swf"), test::MovingSquareMovie());
    for (const char* name : {"red.bmp", "blue.bmp"}) {
      CDIB s;
      ASSERT_TRUE(s.Create(320, 240, 24));
      s.Cls(name[0] == 'r' ? RGB(255, 0, 0) : RGB(0, 0, 255));
      ASSERT_TRUE(s.Save(app.File(std::string("Images\\") + name)));
    }
  }
  void StartMovie() {
    Set("MAIN", "WallInx", "1");
    Set("FLASH", "CurFlash", "moving.swf|flashs*");
    ASSERT_TRUE(StartSession());
    ASSERT_TRUE(test::PumpUntil([&] { return bg->DesktopFlash().FramesRun() > 5; }, 10s));
  }
  void StartSlides() {
    Set("MAIN", "WallInx", "2");
    Set("IMAGE", "Path", "red.bmp|images*blue.bmp|images*");
    Set("IMAGE", "Intervalvalue", "500");
    Set("IMAGE", "Speedvalue", "255");
    ASSERT_TRUE(StartSession());
    ASSERT_TRUE(test::PumpUntil([&] { return bg->Stats().slidesStarted >= 2; }, 10s));
  }
  // Over two seconds of rest: nothing drawn, nothing ticking, no processor.
  void ExpectStillForTwoSeconds(const char* why) {
    MoviePlayerWindow& flash = bg->DesktopFlash();
    const uint32_t frames = flash.FramesRun();
    const int slides = bg->Stats().slidesStarted;
    const double cpu = ProcessCpuSeconds();
    test::PumpFor(2s);
    const double spent = ProcessCpuSeconds() - cpu;
    std::printf("%s: %.3f s of processor in 2 s of rest (%.1f %%)\n", why, spent, spent / 2 * 100);
    EXPECT_EQ(flash.FramesRun(), frames) << why;
    EXPECT_FALSE(flash.ClockRunning()) << why;
    EXPECT_EQ(bg->Stats().slidesStarted, slides) << why;
    EXPECT_LT(spent, 0.1) << why;
  }
};

TEST_F(RestTest, AFullScreenProgramInFrontRestsTheMovieUntilItCloses) {
  StartMovie();
  MoviePlayerWindow& flash = bg->DesktopFlash();
  {
    test::HelperProcess program("fullscreen_window.exe");
    ASSERT_TRUE(program.Started());
    ASSERT_TRUE(test::PumpUntil([&] { return bg->Rest().fullScreen; }, 5s)) << "the full-screen window was not seen";
    ExpectStillForTwoSeconds("movie behind a full-screen window");
    const uint32_t frames = flash.FramesRun();
    program.End();
    ASSERT_TRUE(test::PumpUntil([&] { return !bg->Rest().fullScreen; }, 5s));
    // It goes on from the frame it showed, without catching up the pause.
    ASSERT_TRUE(test::PumpUntil([&] { return flash.FramesRun() > frames; }, 3s));
    EXPECT_LT(flash.FramesRun(), frames + 10);
  }
  EXPECT_TRUE(flash.ClockRunning());
}

TEST_F(RestTest, AFullScreenProgramInFrontHoldsTheSlideshowUntilItCloses) {
  StartSlides();
  test::HelperProcess program("fullscreen_window.exe");
  ASSERT_TRUE(program.Started());
  ASSERT_TRUE(test::PumpUntil([&] { return bg->Rest().fullScreen; }, 5s));
  ExpectStillForTwoSeconds("slideshow behind a full-screen window");
  const int slides = bg->Stats().slidesStarted;
  program.End();
  ASSERT_TRUE(test::PumpUntil([&] { return bg->Stats().slidesStarted > slides; }, 5s));
}

TEST_F(RestTest, ALockedSessionAndADisplayOffRestTheMovie) {
  StartMovie();
  MoviePlayerWindow& flash = bg->DesktopFlash();
  ::SendMessageA(bg->hwnd(), kSessionChangeMessage, kSessionLocked, 0);
  EXPECT_TRUE(bg->Rest().locked);
  ExpectStillForTwoSeconds("movie while the session is locked");
  ::SendMessageA(bg->hwnd(), kSessionChangeMessage, kSessionUnlocked, 0);
  EXPECT_TRUE(flash.ClockRunning());

  // The display's state as the system tells it: 0 off, 1 on.
  struct {
    GUID setting;
    DWORD length;
    DWORD state;
  } power{{0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}}, sizeof(DWORD), 0};
  ::SendMessageA(bg->hwnd(), WM_POWERBROADCAST, 0x8013, reinterpret_cast<LPARAM>(&power));
  EXPECT_TRUE(bg->Rest().displayOff);
  EXPECT_FALSE(flash.ClockRunning());
  // Locked as well: the end of one reason leaves the other.
  ::SendMessageA(bg->hwnd(), kSessionChangeMessage, kSessionLocked, 0);
  power.state = 1;
  ::SendMessageA(bg->hwnd(), WM_POWERBROADCAST, 0x8013, reinterpret_cast<LPARAM>(&power));
  EXPECT_FALSE(bg->Rest().displayOff);
  EXPECT_FALSE(flash.ClockRunning());
  ::SendMessageA(bg->hwnd(), kSessionChangeMessage, kSessionUnlocked, 0);
  EXPECT_TRUE(flash.ClockRunning());
  const uint32_t frames = flash.FramesRun();
  EXPECT_TRUE(test::PumpUntil([&] { return flash.FramesRun() > frames; }, 3s));
}

// The power status as a test sets it, and the system's notice that it
// changed (Wine has no battery and sends no power notice).
struct FakePower {
  PowerState state;
  int reads = 0;
  std::function<PowerState()> Source() {
    return [this] {
      ++reads;
      return state;
    };
  }
};

void TellPowerChanged(HWND window) { ::SendMessageA(window, WM_POWERBROADCAST, 0x000A, 0); }

TEST_F(RestTest, OnBatteryWithTheSaverOnTheMovieRestsUntilPluggedIn) {
  StartMovie();
  MoviePlayerWindow& flash = bg->DesktopFlash();
  FakePower power;
  power.state = {true, false};  // on battery, saver off: plays
  bg->SetPowerSource(power.Source());
  EXPECT_FALSE(bg->Rest().batterySaving);
  EXPECT_TRUE(flash.ClockRunning());
  power.state.saverOn = true;
  TellPowerChanged(bg->hwnd());
  EXPECT_TRUE(bg->Rest().batterySaving);
  ExpectStillForTwoSeconds("movie on battery with the saver on");
  // The newer notice of the saver (a power setting change) reads it too.
  const int reads = power.reads;
  power.state.onBattery = false;  // plugged in
  struct {
    GUID setting;
    DWORD length;
    DWORD state;
  } saver{{0xe00958c0, 0xc213, 0x4ace, {0xac, 0x77, 0xfe, 0xcc, 0xed, 0x2e, 0xee, 0xa5}}, sizeof(DWORD), 1};
  ::SendMessageA(bg->hwnd(), WM_POWERBROADCAST, 0x8013, reinterpret_cast<LPARAM>(&saver));
  EXPECT_GT(power.reads, reads);
  EXPECT_FALSE(bg->Rest().batterySaving);
  EXPECT_TRUE(flash.ClockRunning());
  const uint32_t frames = flash.FramesRun();
  EXPECT_TRUE(test::PumpUntil([&] { return flash.FramesRun() > frames; }, 3s));
}

TEST_F(RestTest, OnBatterySaverTheSlideshowKeepsItsPaceAndTheSettingOffKeepsTheMovie) {
  StartSlides();
  FakePower power;
  power.state = {true, true};
  bg->SetPowerSource(power.Source());
  EXPECT_TRUE(bg->Rest().batterySaving);
  EXPECT_FALSE(bg->Rest().Any());
  // Slides every 500 ms go on.
  const int slides = bg->Stats().slidesStarted;
  EXPECT_TRUE(test::PumpUntil([&] { return bg->Stats().slidesStarted >= slides + 2; }, 5s));
  session.reset();

  // With the setting off the movie plays on battery saver.
  Set("MAIN", "BatteryRest", "0");
  StartMovie();
  bg->SetPowerSource(power.Source());
  TellPowerChanged(bg->hwnd());
  EXPECT_FALSE(bg->Rest().batterySaving);
  const uint32_t frames = bg->DesktopFlash().FramesRun();
  EXPECT_TRUE(test::PumpUntil([&] { return bg->DesktopFlash().FramesRun() > frames + 3; }, 3s));
  // Turned on (as the dialog's apply does), the movie rests at once.
  Set("MAIN", "BatteryRest", "1");
  bg->ApplyWallpaperMode();
  EXPECT_TRUE(bg->Rest().batterySaving);
  EXPECT_FALSE(bg->DesktopFlash().ClockRunning());
}

}  // namespace
}  // namespace velmora
