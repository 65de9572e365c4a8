#include "controls/AreaResample.h"

#include <algorithm>
#include <vector>

namespace velmora {
namespace {

// The share of each source pixel in a target pixel along one axis: target
// pixel i of `to` covers [i, i + 1) * fromSize / toSize of the source.
struct Tap {
  int32_t first = 0;
  std::vector<double> weights;  // for source pixels first, first + 1, ...
};

std::vector<Tap> Taps(int32_t fromStart, int32_t fromSize, int32_t toSize) {
  std::vector<Tap> taps(static_cast<size_t>(toSize));
  const double step = static_cast<double>(fromSize) / toSize;
  for (int32_t i = 0; i < toSize; ++i) {
    const double begin = i * step, end = (i + 1) * step;
    Tap& tap = taps[static_cast<size_t>(i)];
    tap.first = static_cast<int32_t>(begin);
    const int32_t last = std::min(fromSize - 1, static_cast<int32_t>(end - 1e-9));
    for (int32_t s = tap.first; s <= last; ++s) {
      const double overlap = std::min<double>(end, s + 1) - std::max<double>(begin, s);
      tap.weights.push_back(std::max(0.0, overlap) / step);
    }
    tap.first += fromStart;
  }
  return taps;
}

uint32_t Channel(double sum) {
  return static_cast<uint32_t>(std::clamp(sum + 0.5, 0.0, 255.0));
}

}  // namespace

void ResampleByArea(const RgbPicture& source, const SliceRect& from, RgbPicture& target,
                    const SliceRect& to, std::optional<uint32_t> maskRgb) {
  if (from.width <= 0 || from.height <= 0 || to.width <= 0 || to.height <= 0) return;
  const std::vector<Tap> columns = Taps(from.x, from.width, to.width);
  const std::vector<Tap> rows = Taps(from.y, from.height, to.height);
  for (int32_t ty = 0; ty < to.height; ++ty) {
    const int32_t y = to.y + ty;
    if (y < 0 || y >= target.height) continue;
    const Tap& row = rows[static_cast<size_t>(ty)];
    for (int32_t tx = 0; tx < to.width; ++tx) {
      const int32_t x = to.x + tx;
      if (x < 0 || x >= target.width) continue;
      const Tap& column = columns[static_cast<size_t>(tx)];
      double r = 0, g = 0, b = 0, kept = 0, masked = 0;
      for (size_t j = 0; j < row.weights.size(); ++j) {
        const int32_t sy = row.first + static_cast<int32_t>(j);
        if (sy < 0 || sy >= source.height) continue;
        for (size_t i = 0; i < column.weights.size(); ++i) {
          const int32_t sx = column.first + static_cast<int32_t>(i);
          if (sx < 0 || sx >= source.width) continue;
          const double w = row.weights[j] * column.weights[i];
          const uint32_t p = source.At(sx, sy);
          if (maskRgb && p == *maskRgb) {
            masked += w;
            continue;
          }
          r += w * ((p >> 16) & 0xFF);
          g += w * ((p >> 8) & 0xFF);
          b += w * (p & 0xFF);
          kept += w;
        }
      }
      if (kept <= 0 && masked <= 0) continue;  // nothing of the source there
      if (maskRgb && masked > kept) {
        target.At(x, y) = *maskRgb;
        continue;
      }
      target.At(x, y) = Channel(r / kept) << 16 | Channel(g / kept) << 8 | Channel(b / kept);
    }
  }
}

RgbPicture ScaledByArea(const RgbPicture& source, int32_t width, int32_t height) {
  RgbPicture target(std::max(0, width), std::max(0, height));
  ResampleByArea(source, {0, 0, source.width, source.height}, target, {0, 0, target.width, target.height});
  return target;
}

}  // namespace velmora
