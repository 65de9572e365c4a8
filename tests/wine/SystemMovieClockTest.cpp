// The machine's clock the movies' Date reads, under Wine: the system time
// against the C runtime's, and the local offset against the time zone's
// own bias at the two halves of the year.
#include "wallpaper/SystemMovieClock.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

namespace velmora {
namespace {

constexpr double kMsPerMinute = 60000;
constexpr double kSlackMs = 5000;

TEST(SystemMovieClock, GivesTheSystemTimeAndTheZonesOffset) {
  SystemMovieClock clock;
  const double now = clock.NowUtcMs(0);
  EXPECT_NEAR(now, static_cast<double>(std::time(nullptr)) * 1000, kSlackMs);
  EXPECT_NEAR(clock.NowUtcMs(123456), now, kSlackMs) << "the machine's time, not the movie's";
  TIME_ZONE_INFORMATION zone{};
  const DWORD kind = GetTimeZoneInformation(&zone);
  ASSERT_NE(kind, TIME_ZONE_ID_INVALID);
  // 2026-01-15 and 2026-07-15 at noon UTC: one of them in standard time, the
  // other in daylight time where the zone has it.
  const double winter = 1768478400000.0, summer = 1784116800000.0;
  const double standard = -(zone.Bias + zone.StandardBias) * kMsPerMinute;
  const double daylight = -(zone.Bias + zone.DaylightBias) * kMsPerMinute;
  for (double at : {winter, summer}) {
    const double offset = clock.LocalOffsetMs(at);
    EXPECT_TRUE(offset == standard || offset == daylight) << offset;
  }
  if (zone.DaylightDate.wMonth == 0) {
    EXPECT_EQ(clock.LocalOffsetMs(winter), standard);
    EXPECT_EQ(clock.LocalOffsetMs(summer), standard);
  }
  EXPECT_EQ(clock.LocalOffsetMs(std::nan("")), 0) << "no time, no offset";
}

}  // namespace
}  // namespace velmora
