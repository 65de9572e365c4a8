// Nine-slice drawing: a small template picture cut into corners, edges and
// a centre, each piece copied to its place at the target's size, the edges
// and the centre stretched. The push button's table of pieces is here; the
// skinned windows have their own.
#pragma once

#include "controls/RgbPicture.h"

#include <array>
#include <cstdint>

namespace velmora {

struct SliceRect {
  int32_t x = 0, y = 0, width = 0, height = 0;
  bool operator==(const SliceRect& o) const {
    return x == o.x && y == o.y && width == o.width && height == o.height;
  }
};

struct SlicePiece {
  SliceRect to;    // on the target
  SliceRect from;  // on the template
};

using NineSlices = std::array<SlicePiece, 9>;

// The push button's face templates are 88 x 25.
inline constexpr int32_t kFaceTemplateWidth = 88;
inline constexpr int32_t kFaceTemplateHeight = 25;

// The pieces of a button face of width x height, in drawing order.
NineSlices ButtonFaceSlices(int32_t width, int32_t height);

// A width x height picture with the pieces copied from `source` in order,
// each stretched to its rectangle (every target pixel takes the source
// pixel it falls on). Pieces with an empty rectangle are left out, and what
// lies outside either picture is clipped; uncovered pixels are black.
RgbPicture ComposeNineSlice(const RgbPicture& source, const NineSlices& pieces, int32_t width,
                            int32_t height);

}  // namespace velmora
