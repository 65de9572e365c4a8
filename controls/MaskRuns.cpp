#include "controls/MaskRuns.h"

namespace velmora {

std::vector<PixelRun> MaskRuns(const RgbPicture& picture, uint32_t maskRgb) {
  std::vector<PixelRun> runs;
  const uint32_t mask = maskRgb & 0xFFFFFF;
  for (int32_t y = 0; y < picture.height; ++y) {
    int32_t x = 0;
    while (x < picture.width) {
      while (x < picture.width && (picture.At(x, y) & 0xFFFFFF) == mask) ++x;
      const int32_t start = x;
      while (x < picture.width && (picture.At(x, y) & 0xFFFFFF) != mask) ++x;
      if (x > start) runs.push_back({y, start, x});
    }
  }
  return runs;
}

}  // namespace velmora
