// PNG files written with the stb single-file writer (pictures of frames,
// for tools and tests).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velmora::swf {

// Straight-alpha RGBA rows to a PNG file.
bool WritePng(const std::string& path, int width, int height, const uint8_t* rgba);

}  // namespace velmora::swf
