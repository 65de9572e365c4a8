// The slideshow's sequencing: which slide comes next, the opacities of a
// fade, and when the slide timer fires.
#pragma once

#include <cstdint>
#include <vector>

namespace velmora {

// Opacities (0..255) of the fade frames for a step, each drawn over the
// previous frame: 0, step, 2 x step, ... while not above 255 - step. The
// final opaque draw follows them and is not in the list. A step of 0 (or
// less) would never progress: it gives no frames, so the slide is drawn
// opaque at once.
std::vector<int> FadeOpacities(long step);

// The index of the slide to show now: `index`, or 0 when it is past the last
// of `entryCount` entries. -1 when there are no entries.
int SlideToShow(int index, int entryCount);

// The placement of slides for a Location setting: 0 fitted and centred, 1
// stretched; a hand-edited value beyond them counts as the nearer of the two.
long SlidePlacement(long setting);

// The shortest pause between slides: the settings dialog's smallest step.
// A hand-edited shorter one would keep decoding and fading without rest.
inline constexpr long kShortestSlidePause = 500;

// The timer interval for a slide interval setting, counted from the moment
// the last slide was shown in full: 0 (or less) means the timer must not be
// armed at all (an interval of 0 never fires); a positive one is at least
// kShortestSlidePause.
uint32_t SlideTimerInterval(long intervalMilliseconds);

}  // namespace velmora
