#include "iconlayer/Sprite.h"

#include <algorithm>
#include <cstring>

namespace velmora {
namespace {

// Premultiplied source over premultiplied destination, one pixel.
inline uint32_t Over(uint32_t src, uint32_t dst) {
  const uint32_t a = src >> 24;
  if (a == 255) return src;
  if (a == 0 && src == 0) return dst;
  const uint32_t keep = 255 - a;
  // Two channels at a time: 0x00RR00BB and 0x00AA00GG, each times keep / 255.
  auto scale = [keep](uint32_t pair) {
    uint32_t t = pair * keep + 0x00800080u;
    return ((t + ((t >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
  };
  const uint32_t rb = scale(dst & 0x00FF00FFu), ag = scale((dst >> 8) & 0x00FF00FFu);
  return src + (rb | (ag << 8));
}

}  // namespace

Sprite SpriteFromStraight(int32_t width, int32_t height, const uint32_t* straight) {
  Sprite s;
  if (width <= 0 || height <= 0 || !straight) return s;
  s.width = width;
  s.height = height;
  s.pixels.resize(static_cast<size_t>(width) * height);
  for (size_t i = 0; i < s.pixels.size(); ++i) {
    const uint32_t p = straight[i], a = p >> 24;
    auto mul = [a](uint32_t c) { return (c * a + 127) / 255; };
    s.pixels[i] = (a << 24) | (mul((p >> 16) & 255) << 16) | (mul((p >> 8) & 255) << 8) | mul(p & 255);
  }
  return s;
}

void DrawSprite(const PixelView& target, const Sprite& sprite, int32_t x, int32_t y) {
  if (!sprite || !target.rows) return;
  const int32_t x0 = std::max(0, x), x1 = std::min(target.width, x + sprite.width);
  const int32_t y0 = std::max(0, y), y1 = std::min(target.height, y + sprite.height);
  for (int32_t ty = y0; ty < y1; ++ty) {
    const uint32_t* src = &sprite.pixels[static_cast<size_t>(ty - y) * sprite.width + (x0 - x)];
    auto* dst = reinterpret_cast<uint32_t*>(target.Row(ty)) + x0;
    for (int32_t tx = x0; tx < x1; ++tx, ++src, ++dst) *dst = Over(*src, *dst);
  }
}

void FillOver(const PixelView& target, int32_t x, int32_t y, int32_t width, int32_t height,
              uint32_t premultiplied) {
  if (!target.rows) return;
  const int32_t x0 = std::max(0, x), x1 = std::min(target.width, x + width);
  const int32_t y0 = std::max(0, y), y1 = std::min(target.height, y + height);
  for (int32_t ty = y0; ty < y1; ++ty) {
    auto* dst = reinterpret_cast<uint32_t*>(target.Row(ty)) + x0;
    for (int32_t tx = x0; tx < x1; ++tx, ++dst) *dst = Over(premultiplied, *dst);
  }
}

uint8_t PointerAlpha(uint8_t opacity) {
  if (opacity == 0) return 1;
  return static_cast<uint8_t>((255 + opacity - 1) / opacity);  // alpha * opacity >= 255
}

void RaiseAlpha(const PixelView& target, uint8_t minimum) {
  if (!target.rows) return;
  for (int32_t y = 0; y < target.height; ++y) {
    auto* pixel = reinterpret_cast<uint32_t*>(target.Row(y));
    for (int32_t x = 0; x < target.width; ++x, ++pixel) {
      const uint32_t alpha = *pixel >> 24;
      if (alpha != 0 && alpha < minimum) *pixel = (*pixel & 0xFFFFFFu) | uint32_t{minimum} << 24;
    }
  }
}

}  // namespace velmora
