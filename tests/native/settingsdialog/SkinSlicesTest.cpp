// The skin of the borderless windows stretched to a window's size.
#include "settingsdialog/SkinSlices.h"
#include "tests/native/controls/TestPictures.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using test::Art;
using test::Noise;
using test::SameColumn;

TEST(NineSlice, AtTemplateSizeTheSkinComesOutOneToOne) {
  // The art is even along every stretched slice, so a skin of the
  // template's own size is the template.
  const RgbPicture skin = Art("Skin.bmp");
  ASSERT_EQ(skin.width, kSkinTemplateWidth);
  ASSERT_EQ(skin.height, kSkinTemplateHeight);
  EXPECT_TRUE(ComposeSkin(skin, 237, 109) == skin);
  // Its corners are cut away, its middle is not.
  EXPECT_EQ(skin.At(0, 0), kSkinMaskRgb);
  EXPECT_EQ(skin.At(236, 108), kSkinMaskRgb);
  EXPECT_NE(skin.At(118, 54), kSkinMaskRgb);
  // A template that is not even along the stretch is not reproduced: the
  // check above can fail.
  EXPECT_FALSE(ComposeSkin(Noise(237, 109, 2), 237, 109) == Noise(237, 109, 2));
}

TEST(NineSlice, AWiderAndTallerSkinStretchesOnlyTheFivePixelSlicesAndTheCentre) {
  const RgbPicture skin = Noise(237, 109, 4);
  const int32_t w = 500, h = 300;
  const RgbPicture big = ComposeSkin(skin, w, h);
  // Corners as in the template: top-left 108 wide, top-right 98, bottom-left
  // 150, bottom-right 15; each 52 high.
  for (int32_t x : {0, 50, 107}) EXPECT_TRUE(SameColumn(big, x, skin, x, 0, 52)) << x;
  for (int32_t x = 0; x < 98; x += 7) EXPECT_TRUE(SameColumn(big, w - 98 + x, skin, 237 - 98 + x, 0, 52));
  for (int32_t y = 0; y < 52; ++y) {
    EXPECT_EQ(big.At(149, h - 52 + y), skin.At(149, 109 - 52 + y));
    EXPECT_EQ(big.At(w - 1, h - 52 + y), skin.At(236, 109 - 52 + y));
  }
  // Everything between the corners comes from the 5-pixel slices.
  for (int32_t x = 108; x < w - 98; x += 13) {
    const bool fromSlice = big.At(x, 10) == skin.At(108, 10) || big.At(x, 10) == skin.At(109, 10) ||
                               big.At(x, 10) == skin.At(110, 10) || big.At(x, 10) == skin.At(111, 10) ||
                               big.At(x, 10) == skin.At(112, 10);
    EXPECT_TRUE(fromSlice) << x;
  }
  for (int32_t y = 52; y < h - 52; y += 11)
    for (int32_t x = 15; x < w - 15; x += 37) {
      const uint32_t p = big.At(x, y);
      bool fromCentre = false;
      for (int32_t sy = 52; sy < 57; ++sy)
        for (int32_t sx = 15; sx < 20; ++sx) fromCentre |= p == skin.At(sx, sy);
      EXPECT_TRUE(fromCentre) << x << "," << y;
    }
  // The bottom band covers the 24 pixels the middle pieces reach into it.
  EXPECT_EQ(big.At(200, h - 40), skin.At(152 + (200 - 150) * 5 / (w - 165), 109 - 40));
}

}  // namespace
}  // namespace velmora
