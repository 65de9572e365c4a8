// Canvas pictures to and from PNG files (straight RGBA).
#pragma once

#include "player/Canvas.h"

#include <string>

namespace velmora::swf {

bool SaveCanvasPng(const Canvas& canvas, const std::string& path);
bool LoadCanvasPng(const std::string& path, Canvas& canvas);

}  // namespace velmora::swf
