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

}  // namespace
}  // namespace velmora
