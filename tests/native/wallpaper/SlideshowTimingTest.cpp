// The slideshow's sequencing: the fade's opacities, the next slide, the
// placement, the timer.
#include "wallpaper/SlideshowTiming.h"

#include <gtest/gtest.h>

#include <vector>

namespace velmora {
namespace {

TEST(FadeOpacities, StepsUpToTheLastBelowOpaque) {
  EXPECT_EQ(FadeOpacities(30), (std::vector<int>{0, 30, 60, 90, 120, 150, 180, 210}));
  EXPECT_EQ(FadeOpacities(255), (std::vector<int>{0}));
  EXPECT_EQ(FadeOpacities(128), (std::vector<int>{0}));  // 128 is above 255 - 128
  EXPECT_EQ(FadeOpacities(1).size(), 255u);
  EXPECT_TRUE(FadeOpacities(0).empty());
  EXPECT_TRUE(FadeOpacities(-3).empty());
  EXPECT_TRUE(FadeOpacities(300).empty());
}

TEST(SlideToShow, WrapsAfterTheLastEntry) {
  EXPECT_EQ(SlideToShow(0, 3), 0);
  EXPECT_EQ(SlideToShow(2, 3), 2);
  EXPECT_EQ(SlideToShow(3, 3), 0);
  EXPECT_EQ(SlideToShow(7, 3), 0);
  EXPECT_EQ(SlideToShow(0, 0), -1);
  std::vector<int> shown;
  int index = 0;
  for (int tick = 0; tick < 5; ++tick) {
    index = SlideToShow(index, 3);
    shown.push_back(index++);
  }
  EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, 0, 1}));
}

TEST(SlidePlacement, ValuesBeyondTheTwoPlacementsTakeTheNearer) {
  EXPECT_EQ(SlidePlacement(0), 0);
  EXPECT_EQ(SlidePlacement(1), 1);
  EXPECT_EQ(SlidePlacement(7), 1);
  EXPECT_EQ(SlidePlacement(-3), 0);
}

TEST(SlideTimerInterval, ZeroNeverFiresAndShortPausesAreLengthened) {
  EXPECT_EQ(SlideTimerInterval(5000), 5000u);
  EXPECT_EQ(SlideTimerInterval(500), 500u);
  EXPECT_EQ(SlideTimerInterval(1), 500u);
  EXPECT_EQ(SlideTimerInterval(499), 500u);
  EXPECT_EQ(SlideTimerInterval(0), 0u);
  EXPECT_EQ(SlideTimerInterval(-10), 0u);
}

}  // namespace
}  // namespace velmora
