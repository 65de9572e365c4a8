#include "player/render/ChangedArea.h"

#include <algorithm>
#include <cstring>

namespace velmora::swf {

ChangedRect ChangedArea(const uint32_t* now, std::ptrdiff_t nowStride, const uint32_t* before,
                        std::ptrdiff_t beforeStride, int width, int height) {
  ChangedRect r{width, height, 0, 0};
  if (width <= 0 || height <= 0) return {};
  const size_t rowBytes = static_cast<size_t>(width) * sizeof(uint32_t);
  auto rowNow = [&](int y) { return now + nowStride * y; };
  auto rowBefore = [&](int y) { return before + beforeStride * y; };
  int top = 0;
  while (top < height && std::memcmp(rowNow(top), rowBefore(top), rowBytes) == 0) ++top;
  if (top == height) return {};
  int bottom = height - 1;
  while (bottom > top && std::memcmp(rowNow(bottom), rowBefore(bottom), rowBytes) == 0) --bottom;
  r.y0 = top;
  r.y1 = bottom + 1;
  // Columns: each row only searched beyond what is already known to change.
  for (int y = top; y <= bottom; ++y) {
    const uint32_t* a = rowNow(y);
    const uint32_t* b = rowBefore(y);
    int left = 0;
    while (left < r.x0 && a[left] == b[left]) ++left;
    if (left == width) continue;  // an unchanged row
    r.x0 = std::min(r.x0, left);
    int right = width - 1;
    while (right >= r.x1 && a[right] == b[right]) --right;
    r.x1 = std::max(r.x1, right + 1);
  }
  return r;
}

}  // namespace velmora::swf
