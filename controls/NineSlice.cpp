#include "controls/NineSlice.h"

#include <algorithm>

namespace velmora {

NineSlices ButtonFaceSlices(int32_t w, int32_t h) {
  constexpr int32_t tw = kFaceTemplateWidth, th = kFaceTemplateHeight;
  return {{
      {{0, 0, 6, 6}, {0, 0, 6, 6}},
      {{6, 0, w - 12, 6}, {7, 0, 6, 6}},
      {{w - 6, 0, 6, 6}, {tw - 6, 0, 6, 6}},
      {{0, 6, 6, h - 18}, {0, 6, 6, 4}},
      {{6, 6, w - 12, h - 18}, {6, 6, 4, 4}},
      {{w - 6, 6, 6, h - 18}, {tw - 6, 6, 6, 4}},
      {{0, h - 15, 6, th - 10}, {0, 10, 6, th - 10}},
      {{6, h - 15, w - 12, th - 10}, {6, 10, 2, th - 10}},
      {{w - 6, h - 15, 6, th - 10}, {tw - 6, 10, 6, th - 10}},
  }};
}

namespace {

void CopyPiece(const RgbPicture& source, const SlicePiece& piece, RgbPicture& target) {
  const SliceRect& to = piece.to;
  const SliceRect& from = piece.from;
  if (to.width <= 0 || to.height <= 0 || from.width <= 0 || from.height <= 0) return;
  const int32_t top = std::max(0, to.y), bottom = std::min(target.height, to.y + to.height);
  const int32_t left = std::max(0, to.x), right = std::min(target.width, to.x + to.width);
  for (int32_t y = top; y < bottom; ++y) {
    const int32_t sy = from.y + static_cast<int32_t>(int64_t{y - to.y} * from.height / to.height);
    if (sy < 0 || sy >= source.height) continue;
    for (int32_t x = left; x < right; ++x) {
      const int32_t sx = from.x + static_cast<int32_t>(int64_t{x - to.x} * from.width / to.width);
      if (sx < 0 || sx >= source.width) continue;
      target.At(x, y) = source.At(sx, sy);
    }
  }
}

}  // namespace

RgbPicture ComposeNineSlice(const RgbPicture& source, const NineSlices& pieces, int32_t width,
                            int32_t height) {
  RgbPicture target(std::max(0, width), std::max(0, height));
  for (const SlicePiece& piece : pieces) CopyPiece(source, piece, target);
  return target;
}

}  // namespace velmora
