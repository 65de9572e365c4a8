// Where the background window goes: the screen outside the taskbar band.
#pragma once

#include "common/TaskbarEdge.h"
#include "common/Units.h"

#include <optional>

namespace velmora {

struct TwipsRect {
  long left, top, width, height;
};

// The placement for a taskbar band (its thickness in pixels at `dpi`) on a
// screen of the given size (twips), or nullopt when the band is on no
// recognised edge (the window then stays).
std::optional<TwipsRect> BackgroundPlacement(const TaskbarBand& band, long screenWidthTwips,
                                             long screenHeightTwips, int dpi = 96);

}  // namespace velmora
