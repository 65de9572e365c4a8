#include "wallpaper/SlideshowTiming.h"

#include <algorithm>

namespace velmora {

std::vector<int> FadeOpacities(long step) {
  std::vector<int> opacities;
  if (step <= 0) return opacities;
  for (long a = 0; a <= 255 - step; a += step) opacities.push_back(static_cast<int>(a));
  return opacities;
}

int SlideToShow(int index, int entryCount) {
  if (entryCount <= 0) return -1;
  return index < 0 || index > entryCount - 1 ? 0 : index;
}

long SlidePlacement(long setting) { return std::clamp(setting, 0L, 1L); }

uint32_t SlideTimerInterval(long intervalMilliseconds) {
  if (intervalMilliseconds <= 0) return 0;
  return static_cast<uint32_t>(std::max<long>(intervalMilliseconds, kShortestSlidePause));
}

}  // namespace velmora
