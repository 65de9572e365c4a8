// The skinned windows' faces: the 237 x 109 skin template cut into nine
// pieces and laid over a window of any size, and the colour that is cut out
// of the window.
#pragma once

#include "controls/NineSlice.h"

namespace velmora {

inline constexpr int32_t kSkinTemplateWidth = 237;
inline constexpr int32_t kSkinTemplateHeight = 109;
inline constexpr uint32_t kSkinMaskRgb = 0xFF00FF;  // magenta

// The pieces of a width x height skin from a template of
// templateWidth x templateHeight, in drawing order, with the fixed bands at
// `dpi` from a template drawn `artScale` times as large as 237 x 109. The
// left, centre and right pieces reach 24 pixels (at 96 DPI) into the bottom
// band, which the bottom pieces, drawn after them, cover.
NineSlices SkinSlices(int32_t width, int32_t height, int32_t templateWidth, int32_t templateHeight,
                      int dpi = 96, int artScale = 1);

// The skin of a width x height window composed from the template drawn
// `artScale` times as large, for a window at `dpi`: the art's own pixels at
// its own scale, else averaged by area with the mask colour kept apart, so
// the cut-out edge stays a clean edge.
RgbPicture ComposeSkin(const RgbPicture& skinTemplate, int32_t width, int32_t height, int dpi = 96,
                       int artScale = 1);

}  // namespace velmora
