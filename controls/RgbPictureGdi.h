// RGB pictures and the system's drawing: drawing one on a DC, reading one
// built into the program, and the region of a picture's non-mask pixels.
#pragma once

#include "common/Handles.h"
#include "controls/RgbPicture.h"

#include <optional>

namespace velmora {

// Draws the picture at its own size with its top-left corner at (x, y).
void DrawRgbPicture(HDC dc, int x, int y, const RgbPicture& picture);

// A 32-bit DIB section, rows top to bottom, and its pixels; empty when it
// could not be made.
UniqueGdiObject MakeDibSection(int width, int height, void*& bits);

// A picture file built into the program (an RCDATA resource).
std::optional<RgbPicture> EmbeddedRgbPicture(int resourceId);

// The region of every pixel that is not `maskRgb`, in the picture's
// coordinates; an empty region for a picture all in the mask colour.
UniqueGdiObject RegionOutsideMask(const RgbPicture& picture, uint32_t maskRgb);

}  // namespace velmora
