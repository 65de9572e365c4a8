// The shape of a picture without its mask colour, as runs: each row's
// stretches of pixels that are not the mask colour. A window's region is
// built from them in one go.
#pragma once

#include "controls/RgbPicture.h"

#include <cstdint>
#include <vector>

namespace velmora {

struct PixelRun {
  int32_t y = 0, left = 0, right = 0;  // pixels left .. right - 1 of row y
  bool operator==(const PixelRun& o) const { return y == o.y && left == o.left && right == o.right; }
};

// Every run of non-mask pixels, rows top to bottom, each row left to right.
std::vector<PixelRun> MaskRuns(const RgbPicture& picture, uint32_t maskRgb);

}  // namespace velmora
