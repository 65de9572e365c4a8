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

}  // namespace velmora
