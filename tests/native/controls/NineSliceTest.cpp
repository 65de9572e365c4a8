// Faces stretched nine-slice fashion from a template at any size.
#include "controls/NineSlice.h"
#include "tests/native/controls/TestPictures.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using test::Art;
using test::Noise;
using test::SameColumn;

TEST(NineSlice, AtTemplateSizeTheArtComesOutOneToOne) {
  // The art is even along every stretched slice, so a face of the
  // template's own size is the template (the skin's: SkinSlicesTest).
  for (const char* name : {"ButtonUp.bmp", "ButtonDown.bmp", "ButtonDisabled.bmp"}) {
    const RgbPicture face = Art(name);
    ASSERT_EQ(face.width, kFaceTemplateWidth) << name;
    ASSERT_EQ(face.height, kFaceTemplateHeight) << name;
    EXPECT_TRUE(ComposeNineSlice(face, ButtonFaceSlices(88, 25), 88, 25) == face) << name;
  }
}

TEST(NineSlice, AWideButtonStretchesOnlyTheTopEdgeAndTheCentre) {
  const RgbPicture face = Noise(88, 25, 3);
  const RgbPicture wide = ComposeNineSlice(face, ButtonFaceSlices(200, 25), 200, 25);
  const NineSlices pieces = ButtonFaceSlices(200, 25);
  EXPECT_EQ(pieces[1].to, (SliceRect{6, 0, 188, 6}));  // top edge: 6 pixels to 188
  EXPECT_EQ(pieces[4].to, (SliceRect{6, 6, 188, 7}));  // centre: 4 pixels to 188
  // The 6-pixel corners keep their pixels, left at 0 and right at 194.
  for (int32_t x = 0; x < 6; ++x) {
    EXPECT_TRUE(SameColumn(wide, x, face, x, 0, 6)) << x;
    EXPECT_TRUE(SameColumn(wide, 194 + x, face, 82 + x, 0, 6)) << x;
    EXPECT_TRUE(SameColumn(wide, 194 + x, face, 82 + x, 10, 25)) << x;
  }
  // The top band between the corners repeats template columns 7..12 only.
  for (int32_t x = 6; x < 194; ++x) {
    const int32_t sx = 7 + (x - 6) * 6 / 188;
    EXPECT_TRUE(SameColumn(wide, x, face, sx, 0, 6)) << x;
  }
  // The bottom band stretches template columns 6..7.
  EXPECT_EQ(wide.At(100, 20), face.At(6 + 94 * 2 / 188, 20));
}

}  // namespace
}  // namespace velmora
