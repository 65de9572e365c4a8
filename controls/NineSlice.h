// Nine-slice drawing: a small template picture cut into corners, edges and
// a centre, each piece copied to its place at the target's size, the edges
// and the centre stretched. The push button's table of pieces is here; the
// skinned windows have their own.
#pragma once

#include "controls/RgbPicture.h"

#include <array>
#include <cstdint>
#include <optional>

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

// The art of the skins and faces is drawn at 96 DPI and at twice that; a
// screen scaled above 100 % takes the larger art (scaled down to its DPI,
// or up beyond 200 %).
int ArtScaleForDpi(int dpi);

// The pieces of a button face of width x height, in drawing order: the
// fixed borders at `dpi`, from a template drawn `artScale` times as large
// as 88 x 25.
NineSlices ButtonFaceSlices(int32_t width, int32_t height, int dpi = 96, int artScale = 1);

// How pieces are copied: each target pixel takes the source pixel it falls
// on (the art at the size it was drawn for), or the average of the source
// area it covers (the art scaled), never mixing in the mask colour.
struct SliceSampling {
  bool byArea = false;
  std::optional<uint32_t> maskRgb;
};

// Of a piece of art drawn for 96 DPI and twice as large, the one serving
// `dpi` (the large one above 96 DPI, when the program has it); `artScale`
// tells which, 1 or 2.
const RgbPicture& ArtForDpi(const RgbPicture& drawn1x, const RgbPicture& drawn2x, int dpi, int& artScale);

// How art drawn `artScale` times as large goes onto a target at `dpi`:
// pixel for pixel at its own scale, by area at any other.
SliceSampling SamplingForDpi(int dpi, int artScale, std::optional<uint32_t> maskRgb = std::nullopt);

// A width x height picture with the pieces copied from `source` in order,
// each stretched to its rectangle. Pieces with an empty rectangle are left
// out, and what lies outside either picture is clipped; uncovered pixels
// are black.
RgbPicture ComposeNineSlice(const RgbPicture& source, const NineSlices& pieces, int32_t width,
                            int32_t height, const SliceSampling& sampling = {});

}  // namespace velmora
