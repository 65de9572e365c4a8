// How a movie's stage is fitted into a window: the four scale modes, each
// centred.
#pragma once

#include "player/swf/SwfTypes.h"

namespace velmora::swf {

enum class ScaleMode : int { ShowAll = 0, NoBorder = 1, ExactFit = 2, NoScale = 3 };

// The matrix from the movie's twips to pixels of a `width` x `height` view.
Matrix ViewMatrix(const Rect& stage, int width, int height, ScaleMode mode);

}  // namespace velmora::swf
