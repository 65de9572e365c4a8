// A 32-bit picture the renderer draws into: premultiplied 0xAARRGGBB, rows
// top to bottom, the layout of a top-down 32-bit DIB.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmora::swf {

struct Canvas {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;

  void Resize(int w, int h) {
    width = w > 0 ? w : 0;
    height = h > 0 ? h : 0;
    pixels.assign(static_cast<size_t>(width) * height, 0);
  }
  void Clear(uint32_t argb) { pixels.assign(pixels.size(), argb); }
  uint32_t* Row(int y) { return pixels.data() + static_cast<size_t>(y) * width; }
  const uint32_t* Row(int y) const { return pixels.data() + static_cast<size_t>(y) * width; }
};

// An 8-bit coverage plane of a canvas's size (masks).
struct CoveragePlane {
  int width = 0, height = 0;
  std::vector<uint8_t> values;
  const uint8_t* Row(int y) const { return values.data() + static_cast<size_t>(y) * width; }
};

}  // namespace velmora::swf
