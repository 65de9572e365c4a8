// A small premultiplied picture (a label, an icon, the shortcut arrow)
// drawn onto the icon layer's premultiplied surface by plain code: a
// composition of hundreds of items is a few milliseconds of blending
// instead of hundreds of library calls.
#pragma once

#include "iconlayer/PixelBlend.h"

#include <cstdint>
#include <vector>

namespace velmora {

struct Sprite {
  int32_t width = 0, height = 0;
  std::vector<uint32_t> pixels;  // premultiplied 0xAARRGGBB, rows top to bottom
  explicit operator bool() const { return width > 0 && height > 0; }
};

// A sprite from straight-alpha 0xAARRGGBB pixels (rows top to bottom).
Sprite SpriteFromStraight(int32_t width, int32_t height, const uint32_t* straight);

// The sprite over the premultiplied target with its top-left corner at
// (x, y); parts outside the target are clipped.
void DrawSprite(const PixelView& target, const Sprite& sprite, int32_t x, int32_t y);

// A rectangle of one premultiplied colour over the target, clipped.
void FillOver(const PixelView& target, int32_t x, int32_t y, int32_t width, int32_t height,
              uint32_t premultiplied);

// The least alpha a pixel of a layered window shown at `opacity` needs to
// take the pointer: the system hit-tests the pixels as shown, alpha times
// opacity / 255, and one that comes out 0 lets the pointer through. 1 at
// full opacity; at opacity 0 nothing shows or takes the pointer anyway.
uint8_t PointerAlpha(uint8_t opacity);

// Every pixel with an alpha from 1 to below `minimum` gets that alpha, its
// colour kept (still premultiplied); transparent pixels stay so.
void RaiseAlpha(const PixelView& target, uint8_t minimum);

}  // namespace velmora
