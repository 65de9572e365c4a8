// When the wallpaper rests: a window that hides the whole monitor, the other reasons.
#include "wallpaper/PauseRules.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(PauseRules, AWindowPausesOnlyWhenItHidesTheWholeMonitor) {
  const ScreenBox monitor{0, 0, 1920, 1080};
  EXPECT_TRUE(CoversMonitor({0, 0, 1920, 1080}, monitor));
  EXPECT_TRUE(CoversMonitor({-8, -8, 1928, 1088}, monitor));  // borders pushed off the screen
  EXPECT_FALSE(CoversMonitor({0, 0, 1920, 1040}, monitor));   // a maximised window leaves the taskbar
  EXPECT_FALSE(CoversMonitor({1, 0, 1920, 1080}, monitor));
  EXPECT_FALSE(CoversMonitor({0, 0, 1919, 1080}, monitor));
  // The second monitor of two, to the left of the first.
  EXPECT_TRUE(CoversMonitor({-1280, 0, 0, 1024}, {-1280, 0, 0, 1024}));
  EXPECT_FALSE(CoversMonitor({0, 0, 1920, 1080}, {-1280, 0, 0, 1024}));
  EXPECT_FALSE(CoversMonitor({0, 0, 10, 10}, {0, 0, 0, 0}));  // no monitor: nothing to cover
  EXPECT_TRUE(IsShellWindowClass("Progman"));
  EXPECT_TRUE(IsShellWindowClass("WorkerW"));
  EXPECT_TRUE(IsShellWindowClass("Shell_TrayWnd"));
  EXPECT_TRUE(IsShellWindowClass("PROGMAN"));  // class names are matched without regard to case
  EXPECT_FALSE(IsShellWindowClass("Progman2"));
  EXPECT_FALSE(IsShellWindowClass("MozillaWindowClass"));
  PauseReasons reasons;
  EXPECT_FALSE(reasons.Any());
  reasons.displayOff = true;
  EXPECT_TRUE(reasons.Any());
}

TEST(PauseRules, AFullScreenProgramOnOneMonitorHidesOnlyTheMoviesThere) {
  // Two monitors side by side, the second to the left and smaller.
  const std::vector<ScreenBox> monitors{{0, 0, 1920, 1080}, {-1280, 56, 0, 1080}};
  const std::vector<ScreenBox> onSecond = MonitorsHiddenBy({-1288, 48, 8, 1088}, monitors);
  ASSERT_EQ(onSecond.size(), 1u);
  EXPECT_TRUE(onSecond[0] == monitors[1]);
  EXPECT_EQ(MonitorsHiddenBy({-1280, 0, 1920, 1080}, monitors).size(), 2u);  // one window over both
  EXPECT_TRUE(MonitorsHiddenBy({0, 0, 1920, 1040}, monitors).empty());       // maximised, not full screen
  // The movie of each monitor: the one on the hidden monitor rests, the
  // other plays; a movie spanning both plays while any of it shows.
  EXPECT_TRUE(TileHidden({-1280, 56, 0, 1080}, onSecond));
  EXPECT_TRUE(TileHidden({-1000, 100, -10, 900}, onSecond));
  EXPECT_FALSE(TileHidden({0, 0, 1920, 1080}, onSecond));
  EXPECT_FALSE(TileHidden({-1280, 0, 1920, 1080}, onSecond));
  EXPECT_FALSE(TileHidden({-10, 100, 10, 200}, onSecond));  // two pixels wide over the edge
  EXPECT_TRUE(TileHidden({-1280, 0, 1920, 1080}, MonitorsHiddenBy({-1280, 0, 1920, 1080}, {{-1280, 0, 0, 1080}, {0, 0, 1920, 1080}})));
  EXPECT_FALSE(TileHidden({0, 0, 0, 0}, onSecond));  // nothing to hide
  EXPECT_FALSE(TileHidden({0, 0, 100, 100}, {}));
}

TEST(PauseRules, OnBatteryWithTheSaverOnTheMovieRestsAndTheSlidesGoOn) {
  // The system's status: AC line 0 offline, 1 online, 255 unknown; flag 1 saver on.
  EXPECT_TRUE(RestsForPower(PowerStateOf(0, 1), true));
  EXPECT_FALSE(RestsForPower(PowerStateOf(1, 1), true)) << "plugged in: plays";
  EXPECT_FALSE(RestsForPower(PowerStateOf(0, 0), true)) << "saver off: plays";
  EXPECT_FALSE(RestsForPower(PowerStateOf(255, 1), true)) << "unknown line: plays";
  EXPECT_FALSE(RestsForPower(PowerStateOf(0, 1), false)) << "the setting off: plays";
  EXPECT_FALSE(RestsForPower(PowerStateOf(1, 0), false));
  // Wine's answer on a machine without a battery (line online, no flag).
  EXPECT_FALSE(RestsForPower(PowerStateOf(1, 0), true));
  const PowerState p = PowerStateOf(0, 1);
  EXPECT_TRUE(p.onBattery);
  EXPECT_TRUE(p.saverOn);
  // Saving the battery rests the movie, not the slides.
  PauseReasons reasons;
  reasons.batterySaving = true;
  EXPECT_TRUE(reasons.MovieRests());
  EXPECT_FALSE(reasons.Any());
  reasons.batterySaving = false;
  EXPECT_FALSE(reasons.MovieRests());
  reasons.fullScreen = true;
  EXPECT_TRUE(reasons.MovieRests());
}

}  // namespace
}  // namespace velmora
