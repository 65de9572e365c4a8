// Picture decoding and PNG writing, backed by the stb single-file libraries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velmora::swf {

struct StbPicture {
  int width = 0, height = 0;
  std::vector<uint8_t> rgba;  // straight alpha, rows top to bottom
};

// JPEG, PNG or GIF (its first frame) from memory.
bool LoadPicture(const uint8_t* data, size_t size, StbPicture& out);
bool LoadPictureFile(const std::string& path, StbPicture& out);
// Straight-alpha RGBA rows to a PNG file.
bool WritePng(const std::string& path, int width, int height, const uint8_t* rgba);

}  // namespace velmora::swf
