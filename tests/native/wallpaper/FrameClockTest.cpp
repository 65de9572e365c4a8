#include "wallpaper/FrameClock.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(FrameClock, AHeavyMovieKeepsItsSpeedByDrawingFewerFrames) {
  // 30 frames a second, and each picture takes 150 ms (4.5 periods) to
  // draw: every tick runs the frames owed since the last one.
  const double period = 1000.0 / 30;
  FrameClock clock;
  clock.Start(0);
  uint64_t stepped = 0, drawn = 0;
  for (double now = 0; now <= 2900; now += 150) {
    const uint64_t due = clock.Due(now, period);
    stepped += due;
    if (due > 0) ++drawn;
  }
  EXPECT_EQ(stepped, 85u) << "the frames of 2.85 s at 30 a second";
  EXPECT_EQ(drawn, 19u);
}

TEST(FrameClock, NothingIsDueBeforeItsTimeAndEachFrameOnce) {
  FrameClock clock;
  clock.Start(1000);
  EXPECT_EQ(clock.Due(1000, 100), 0u);
  EXPECT_EQ(clock.Due(1099, 100), 0u);
  EXPECT_EQ(clock.Due(1100, 100), 1u);
  EXPECT_EQ(clock.Due(1150, 100), 0u) << "frame 1 was run already";
  EXPECT_EQ(clock.Due(1420, 100), 3u);
}

TEST(FrameClock, ALongGapOrAClockGoingBackStartsOver) {
  FrameClock clock;
  clock.Start(0);
  EXPECT_EQ(clock.Due(900, 100), 9u) << "under a second is caught up";
  EXPECT_EQ(clock.Due(60000, 100), 1u) << "a minute away: one frame, not six hundred";
  EXPECT_EQ(clock.Due(60050, 100), 0u);
  EXPECT_EQ(clock.Due(60100, 100), 1u) << "counted from the start again";
  EXPECT_EQ(clock.Due(10, 100), 0u) << "the clock went back";
  EXPECT_EQ(clock.Due(110, 100), 1u);
}

TEST(FrameClock, PeriodsOfTheMovieAndOfDrawing) {
  EXPECT_DOUBLE_EQ(MovieFramePeriodMs(25), 40);
  EXPECT_DOUBLE_EQ(MovieFramePeriodMs(0), 1000.0 / 12) << "no rate: 12 a second";
  EXPECT_DOUBLE_EQ(MovieFramePeriodMs(-3), 1000.0 / 12);
  EXPECT_DOUBLE_EQ(MovieFramePeriodMs(1000), 1000.0 / kMostMaxDrawRate);
  EXPECT_DOUBLE_EQ(DrawPeriodMs(40, 60), 40) << "a slower movie is drawn at its own rate";
  EXPECT_DOUBLE_EQ(DrawPeriodMs(1000.0 / 120, 60), 1000.0 / 60);
  EXPECT_DOUBLE_EQ(DrawPeriodMs(40, 10), 100);
  EXPECT_DOUBLE_EQ(DrawPeriodMs(40, 0), 1000) << "a rate below the least is the least";
  EXPECT_DOUBLE_EQ(DrawPeriodMs(1000.0 / 120, 500), 1000.0 / 120);
}

}  // namespace
}  // namespace velmora
