// Canvas pictures to and from PNG files (straight RGBA).
#pragma once

#include "player/render/Canvas.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::swf {

// Straight RGBA bytes, rows top to bottom, as PNG files hold them.
std::vector<uint8_t> StraightRgbaBytes(const Canvas& canvas);

bool SaveCanvasPng(const Canvas& canvas, const std::string& path);
bool LoadCanvasPng(const std::string& path, Canvas& canvas);

}  // namespace velmora::swf
