// How a movie's stage is fitted into a window: the four scale modes, with
// the stage centred or kept to the edges its alignment names.
#pragma once

#include "player/display/StageLayout.h"
#include "player/swf/SwfTypes.h"

namespace velmora::swf {

// The matrix from the movie's twips to pixels of a `width` x `height` view.
Matrix ViewMatrix(const Rect& stage, int width, int height, ScaleMode mode, StageAlign align = {});

}  // namespace velmora::swf
