// Resampling the skins' and faces' art to a size that is not a whole
// multiple of the size it was drawn at (the display scaled to 125 % or
// 150 %): each target pixel takes the average of the source area it covers,
// so edges stay sharp where nearest-pixel copying would double every other
// row. A mask colour (the skins' magenta, cut out of the window) is never
// mixed into the picture: a target pixel is masked when more than half of
// its area is, and otherwise averages only the unmasked part.
#pragma once

#include "controls/NineSlice.h"
#include "controls/RgbPicture.h"

#include <cstdint>
#include <optional>

namespace velmora {

// Resamples `from` of `source` into `to` of `target`, by area. Parts of
// either rectangle outside its picture are left out.
void ResampleByArea(const RgbPicture& source, const SliceRect& from, RgbPicture& target,
                    const SliceRect& to, std::optional<uint32_t> maskRgb = std::nullopt);

// The whole picture at width x height, by area.
RgbPicture ScaledByArea(const RgbPicture& source, int32_t width, int32_t height);

}  // namespace velmora
