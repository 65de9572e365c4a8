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
// templateWidth x templateHeight, in drawing order. The left, centre and
// right pieces reach 24 pixels into the bottom band, which the bottom
// pieces, drawn after them, cover.
NineSlices SkinSlices(int32_t width, int32_t height, int32_t templateWidth, int32_t templateHeight);

// The skin of a width x height window composed from the template.
RgbPicture ComposeSkin(const RgbPicture& skinTemplate, int32_t width, int32_t height);

}  // namespace velmora
