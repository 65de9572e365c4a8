// Scaling and constant-opacity blending of 32-bit BGRA pixels, straight
// alpha, in plain code (the fades draw many frames per second; library calls
// that copy the whole picture per frame are too slow for that).
#pragma once

#include <cstdint>

namespace velmora {

// A view of 32-bit pixels. `rows` points at the top row; `stride` is the
// distance in bytes from one row to the next one down (negative for
// bottom-up bitmaps).
struct PixelView {
  uint8_t* rows = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int32_t stride = 0;
  uint8_t* Row(int32_t y) const { return rows + static_cast<intptr_t>(y) * stride; }
};

struct BlendRect {
  int32_t x = 0, y = 0, width = 0, height = 0;
};

// Draws the source rectangle of `source` scaled into the target rectangle of
// `target`, source over: each pixel's opacity is its own alpha times
// alpha/255. `smooth` samples bilinearly, otherwise the nearest pixel is taken.
// Parts of the target rectangle outside the target are clipped; a source
// rectangle reaching outside the source draws nothing. Returns false when
// nothing could be drawn.
//
// Smooth scaling of an opaque picture onto an opaque one (a slide fading in
// over the last) takes a faster path, four pixels at a time, whose values
// are within 1 of the pixel-by-pixel path; `pixelByPixel` forces the latter.
bool StretchBlend(const PixelView& source, BlendRect from, const PixelView& target, BlendRect to,
                  uint8_t alpha, bool smooth, bool pixelByPixel = false);

}  // namespace velmora
