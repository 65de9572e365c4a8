// Picture helpers on GDI+: loading a picture file, drawing a picture into a
// surface, and the alpha-blended drawing of a surface onto a DC.
#pragma once

#include "common/GdiPlus.h"
#include "iconlayer/ColorArgb.h"

#include <cstdint>
#include <string>

namespace velmora {

class CDIB;

// Pictures with more pixels than this are refused before decoding: decoding
// them would need more memory than a desktop program should take (a
// 30000 x 30000 picture needs 3.6 GB).
inline constexpr uint64_t kMaxPicturePixels = 120'000'000;

// Picture files above this size are not read.
inline constexpr long long kMaxPictureFileBytes = 256LL << 20;

struct LoadedPicture {
  GdipImage image;
  uint32_t width = 0;
  uint32_t height = 0;
  explicit operator bool() const { return static_cast<bool>(image); }
};

// Loads a picture file into memory (the file is not kept open); empty when
// it is missing, undecodable, or too large.
LoadedPicture LoadPicture(const std::string& path);
// The same from the bytes of a picture file.
LoadedPicture LoadPictureFromBytes(const std::string& bytes);

// One of the program's own pictures: the file in its folder (which an
// installer may replace), or the copy built into the program when the file
// is missing or unreadable (a folder the program may not write to).
LoadedPicture LoadProgramPicture(const std::string& path, int embeddedId);

// Draws the whole image scaled to the surface (32 bits) and stores the result
// in the surface's pixels as straight alpha, top row in the top row.
bool RenderImageToSurface(CDIB& surface, Gdiplus::GpImage* image);

// Draws a 32-bit surface onto a DC with its own alpha times alpha/255,
// source over, nearest-neighbour or smooth. A source size of 0 is the
// surface's own. False when the surface is not 32 bits or nothing was drawn.
bool AlphaStretchSurface(const CDIB& surface, HDC target, int32_t x, int32_t y, int32_t width,
                         int32_t height, int32_t srcX, int32_t srcY, int32_t srcWidth,
                         int32_t srcHeight, uint8_t alpha, bool smooth);

}  // namespace velmora
