// The runs of a window shape scanned from a picture's rows.
#include "controls/MaskRuns.h"
#include "settingsdialog/SkinSlices.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(MaskRuns, RowsScannedIntoRunsOfNonMaskPixels) {
  RgbPicture p(6, 3, kSkinMaskRgb);
  p.At(1, 0) = p.At(2, 0) = 0x112233;
  p.At(5, 0) = 0;
  for (int32_t x = 0; x < 6; ++x) p.At(x, 2) = 0xFF00FE;  // next to magenta is not magenta
  const std::vector<PixelRun> runs = MaskRuns(p, kSkinMaskRgb);
  EXPECT_EQ(runs, (std::vector<PixelRun>{{0, 1, 3}, {0, 5, 6}, {2, 0, 6}}));
  EXPECT_EQ(MaskRuns(p, kSkinMaskRgb), runs);  // the same picture, the same runs
  EXPECT_TRUE(MaskRuns(RgbPicture(40, 30, kSkinMaskRgb), kSkinMaskRgb).empty());
  // The mask colour is matched on RGB only.
  RgbPicture high(2, 1, 0xAAFF00FF);
  EXPECT_TRUE(MaskRuns(high, kSkinMaskRgb).empty());
}

}  // namespace
}  // namespace velmora
