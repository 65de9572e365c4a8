#include "player/ScaleMode.h"

#include <algorithm>

namespace velmora::swf {

Matrix ViewMatrix(const Rect& stage, int width, int height, ScaleMode mode, StageAlign align) {
  const double stageW = stage.Width() / 20.0, stageH = stage.Height() / 20.0;
  double sx = 1, sy = 1;
  if (stageW > 0 && stageH > 0 && width > 0 && height > 0) {
    const double fx = width / stageW, fy = height / stageH;
    switch (mode) {
      case ScaleMode::ShowAll: sx = sy = std::min(fx, fy); break;
      case ScaleMode::NoBorder: sx = sy = std::max(fx, fy); break;
      case ScaleMode::ExactFit: sx = fx; sy = fy; break;
      case ScaleMode::NoScale: break;
    }
  }
  // The room left beside the stage goes after it, before it or both sides.
  const double roomX = width - stageW * sx, roomY = height - stageH * sy;
  const double offsetX = roomX * (align.x + 1) / 2, offsetY = roomY * (align.y + 1) / 2;
  return Matrix::Translate(offsetX, offsetY) * Matrix::Scale(sx / 20.0, sy / 20.0) *
         Matrix::Translate(-stage.xMin, -stage.yMin);
}

}  // namespace velmora::swf
