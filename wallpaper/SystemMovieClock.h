// The machine's clock for the movies' scripts: the system time and the
// offset of the local time zone (daylight saving included) at a moment.
#pragma once

#include "player/display/MovieScripts.h"

namespace velmora {

class SystemMovieClock final : public swf::MovieClock {
 public:
  double NowUtcMs(double movieMs) override;
  double LocalOffsetMs(double utcMs) override;
};

}  // namespace velmora
