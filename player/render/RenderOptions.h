// How a frame is drawn: the quality settings the renderer and its held
// pictures depend on.
#pragma once

#include "player/render/Paint.h"

namespace velmora::swf {

struct RenderOptions {
  bool antialias = true;      // high quality
  bool smoothBitmaps = true;  // bilinear sampling where a fill allows it
  RampSteps gradientSteps = RampSteps::WholeRatios;

  bool operator==(const RenderOptions& o) const {
    return antialias == o.antialias && smoothBitmaps == o.smoothBitmaps && gradientSteps == o.gradientSteps;
  }
};

}  // namespace velmora::swf
