// Premultiplied pictures drawn over the layer, and the alpha that still
// takes the pointer.
#include "iconlayer/PixelBlend.h"
#include "iconlayer/Sprite.h"

#include <gtest/gtest.h>

#include <vector>

namespace velmora {
namespace {

TEST(Sprite, PremultipliedOverAndClipping) {
  // 4 x 3 target of opaque grey, bottom-up rows as the surfaces have them.
  std::vector<uint32_t> pixels(12, 0xFF808080u);
  const PixelView view{reinterpret_cast<uint8_t*>(&pixels[8]), 4, 3, -16};
  const uint32_t straight[4] = {0xFFFF0000u, 0x80000000u, 0x00FFFFFFu, 0x400000FFu};
  const Sprite s = SpriteFromStraight(2, 2, straight);
  EXPECT_EQ(s.pixels[1], 0x80000000u);
  EXPECT_EQ(s.pixels[2], 0u);           // transparent: black
  EXPECT_EQ(s.pixels[3], 0x40000040u);  // blue times a quarter
  DrawSprite(view, s, 3, -1);           // only its bottom-left pixel lands: (3, 0)
  EXPECT_EQ(pixels[8 + 3], 0xFF808080u);  // transparent over grey: grey
  EXPECT_EQ(pixels[8 + 2], 0xFF808080u);
  DrawSprite(view, s, 0, 1);
  EXPECT_EQ(pixels[4 + 0], 0xFFFF0000u);  // opaque red replaces
  EXPECT_EQ(pixels[4 + 1], 0xFF404040u);  // half black over grey: 0x80 * 127 / 255
  EXPECT_EQ(pixels[0 + 1], 0xFF6060A0u);  // quarter blue: 0x40 + 0x80 * 191 / 255
  FillOver(view, -5, -5, 100, 100, 0x01000001u);
  EXPECT_EQ(pixels[11], 0xFF7F7F80u);  // alpha 1 of blue barely changes grey
}

TEST(Sprite, NearlyTransparentPixelsStillTakeThePointerAtTheLayersOpacity) {
  // The least alpha that is not 0 once shown at the opacity.
  for (int opacity = 1; opacity <= 255; ++opacity) {
    const int alpha = PointerAlpha(static_cast<uint8_t>(opacity));
    EXPECT_GE(alpha * opacity / 255, 1) << opacity;
    EXPECT_EQ((alpha - 1) * opacity / 255, 0) << opacity;
  }
  EXPECT_EQ(PointerAlpha(255), 1);
  EXPECT_EQ(PointerAlpha(100), 3);
  EXPECT_EQ(PointerAlpha(0), 1);  // nothing shows: nothing to keep
  // Raised to 3: what is below it and not transparent, its colour kept.
  std::vector<uint32_t> pixels = {0x00000000u, 0x01000001u, 0x02010000u, 0x80404040u, 0x03000003u, 0xFFFFFFFFu};
  RaiseAlpha({reinterpret_cast<uint8_t*>(&pixels[3]), 3, 2, -12}, 3);
  EXPECT_EQ(pixels, (std::vector<uint32_t>{0x00000000u, 0x03000001u, 0x03010000u, 0x80404040u,
                                           0x03000003u, 0xFFFFFFFFu}));
}

}  // namespace
}  // namespace velmora
