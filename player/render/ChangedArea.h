// Where two pictures of the same size differ: the smallest rectangle that
// holds every changed pixel, so that only it is sent to the screen.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velmora::swf {

struct ChangedRect {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // x1, y1 exclusive
  bool Empty() const { return x1 <= x0 || y1 <= y0; }
};

// `now` and `before` point at the top rows of two `width` x `height` pictures
// of 32-bit pixels; the strides are in pixels (negative for bottom-up rows).
ChangedRect ChangedArea(const uint32_t* now, std::ptrdiff_t nowStride, const uint32_t* before,
                        std::ptrdiff_t beforeStride, int width, int height);

}  // namespace velmora::swf
