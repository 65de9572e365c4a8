// PNG files of frames, for tools and tests: zlib at its fastest setting and
// one fixed row filter, so a full-HD frame is written in a few milliseconds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velmora::swf {

// Straight-alpha RGBA rows to PNG bytes; false for an empty or huge picture.
bool EncodePng(int width, int height, const uint8_t* rgba, std::vector<uint8_t>& out);

// The same written to a file.
bool WritePng(const std::string& path, int width, int height, const uint8_t* rgba);

}  // namespace velmora::swf
