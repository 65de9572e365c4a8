#include "controls/NineSlice.h"

#include "common/Units.h"
#include "controls/AreaResample.h"

#include <algorithm>

namespace velmora {

int ArtScaleForDpi(int dpi) { return dpi > kBaseDpi ? 2 : 1; }

const RgbPicture& ArtForDpi(const RgbPicture& drawn1x, const RgbPicture& drawn2x, int dpi, int& artScale) {
  artScale = ArtScaleForDpi(dpi) == 2 && drawn2x ? 2 : 1;
  return artScale == 2 ? drawn2x : drawn1x;
}

SliceSampling SamplingForDpi(int dpi, int artScale, std::optional<uint32_t> maskRgb) {
  SliceSampling sampling;
  sampling.byArea = dpi != kBaseDpi * artScale;
  sampling.maskRgb = maskRgb;
  return sampling;
}

NineSlices ButtonFaceSlices(int32_t w, int32_t h, int dpi, int artScale) {
  const auto t = [dpi](int32_t at96) { return ScaleToDpi(at96, dpi); };  // on the face
  const auto f = [artScale](int32_t at1x) { return at1x * artScale; };  // on the template
  const int32_t tw = f(kFaceTemplateWidth), th = f(kFaceTemplateHeight);
  const int32_t edge = t(6), bottom = t(kFaceTemplateHeight - 10), middle = h - edge - t(12);
  return {{
      {{0, 0, edge, edge}, {0, 0, f(6), f(6)}},
      {{edge, 0, w - 2 * edge, edge}, {f(7), 0, f(6), f(6)}},
      {{w - edge, 0, edge, edge}, {tw - f(6), 0, f(6), f(6)}},
      {{0, edge, edge, middle}, {0, f(6), f(6), f(4)}},
      {{edge, edge, w - 2 * edge, middle}, {f(6), f(6), f(4), f(4)}},
      {{w - edge, edge, edge, middle}, {tw - f(6), f(6), f(6), f(4)}},
      {{0, h - bottom, edge, bottom}, {0, f(10), f(6), th - f(10)}},
      {{edge, h - bottom, w - 2 * edge, bottom}, {f(6), f(10), f(2), th - f(10)}},
      {{w - edge, h - bottom, edge, bottom}, {tw - f(6), f(10), f(6), th - f(10)}},
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
                            int32_t height, const SliceSampling& sampling) {
  RgbPicture target(std::max(0, width), std::max(0, height));
  for (const SlicePiece& piece : pieces) {
    if (sampling.byArea)
      ResampleByArea(source, piece.from, target, piece.to, sampling.maskRgb);
    else
      CopyPiece(source, piece, target);
  }
  return target;
}

}  // namespace velmora
