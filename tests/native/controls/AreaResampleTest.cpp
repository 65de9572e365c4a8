// The art scaled by area for displays between the sizes it was drawn at:
// averages that are exact where they should be, and a mask colour that is
// never mixed into the picture.
#include "controls/AreaResample.h"
#include "common/Units.h"
#include "settingsdialog/SkinSlices.h"
#include "tests/native/controls/TestPictures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace velmora {
namespace {

using test::Art;
using test::Noise;

int Red(uint32_t p) { return static_cast<int>((p >> 16) & 0xFF); }
int Green(uint32_t p) { return static_cast<int>((p >> 8) & 0xFF); }
int Blue(uint32_t p) { return static_cast<int>(p & 0xFF); }

// A colour that could only come from mixing magenta into the art.
bool MagentaTinted(uint32_t p) { return p != kSkinMaskRgb && Red(p) > 150 && Blue(p) > 150 && Green(p) < 110; }

TEST(AreaResample, AtTheSameSizeThePictureComesOutUnchangedAndHalvedItAveragesEachBlock) {
  const RgbPicture noise = Noise(37, 23, 7);
  EXPECT_TRUE(ScaledByArea(noise, 37, 23) == noise);
  const RgbPicture source = Noise(40, 30, 9);
  const RgbPicture half = ScaledByArea(source, 20, 15);
  for (int32_t y = 0; y < 15; ++y)
    for (int32_t x = 0; x < 20; ++x) {
      int sums[3] = {0, 0, 0};
      for (int32_t dy = 0; dy < 2; ++dy)
        for (int32_t dx = 0; dx < 2; ++dx) {
          const uint32_t p = source.At(2 * x + dx, 2 * y + dy);
          sums[0] += Red(p), sums[1] += Green(p), sums[2] += Blue(p);
        }
      const uint32_t p = half.At(x, y);
      // Each channel is the block's mean, rounded to the nearest.
      EXPECT_EQ(Red(p), (sums[0] + 2) / 4);
      EXPECT_EQ(Green(p), (sums[1] + 2) / 4);
      EXPECT_EQ(Blue(p), (sums[2] + 2) / 4);
    }
}

TEST(AreaResample, AThreeQuarterScaleKeepsFlatAreasFlatAndSpreadsEachSourcePixelFairly) {
  // Stripes two pixels wide at three quarters: every target column is a
  // mix of the two colours whose share follows its footprint, and the
  // picture's mean colour is kept.
  RgbPicture stripes(64, 8);
  for (int32_t y = 0; y < 8; ++y)
    for (int32_t x = 0; x < 64; ++x) stripes.At(x, y) = (x / 2) % 2 ? 0xFFFFFF : 0x000000;
  const RgbPicture scaled = ScaledByArea(stripes, 48, 6);
  long total = 0;
  for (int32_t x = 0; x < 48; ++x) {
    for (int32_t y = 1; y < 6; ++y) EXPECT_EQ(scaled.At(x, y), scaled.At(x, 0)) << x;  // rows stay alike
    EXPECT_EQ(Red(scaled.At(x, 0)), Blue(scaled.At(x, 0)));  // greys stay grey
    total += Red(scaled.At(x, 0));
  }
  EXPECT_NEAR(static_cast<double>(total) / 48, 127.5, 2.0);
  const RgbPicture flat(30, 30, 0x336699);
  for (uint32_t p : ScaledByArea(flat, 19, 23).pixels) EXPECT_EQ(p, 0x336699u);
}

TEST(AreaResample, TheMaskColourIsCutWhereMoreThanHalfOfAPixelIsMaskedAndNeverBlended) {
  // A grey disc on magenta, scaled to 5/8 and to 3/4: each target pixel is
  // either the mask or exactly the grey, and masked where the disc covers
  // less than half of its footprint.
  RgbPicture disc(64, 64, kSkinMaskRgb);
  for (int32_t y = 0; y < 64; ++y)
    for (int32_t x = 0; x < 64; ++x)
      if ((x - 31.5) * (x - 31.5) + (y - 31.5) * (y - 31.5) < 26.0 * 26.0) disc.At(x, y) = 0x808080;
  for (const int32_t size : {40, 48}) {
    RgbPicture out(size, size);
    ResampleByArea(disc, {0, 0, 64, 64}, out, {0, 0, size, size}, kSkinMaskRgb);
    int32_t kept = 0;
    for (int32_t y = 0; y < size; ++y)
      for (int32_t x = 0; x < size; ++x) {
        const uint32_t p = out.At(x, y);
        ASSERT_TRUE(p == kSkinMaskRgb || p == 0x808080) << std::hex << p;
        kept += p != kSkinMaskRgb;
        // Well inside or well outside the scaled disc there is no doubt.
        const double k = 64.0 / size, cx = (x + 0.5) * k - 32, cy = (y + 0.5) * k - 32;
        const double r = std::sqrt(cx * cx + cy * cy);
        if (r < 26 - 1.5 * k) {
          EXPECT_EQ(p, 0x808080u) << x << "," << y;
        }
        if (r > 26 + 1.5 * k) {
          EXPECT_EQ(p, kSkinMaskRgb) << x << "," << y;
        }
      }
    // The disc keeps its area at the new scale.
    const double expected = 3.14159265 * 26 * 26 * size * size / (64.0 * 64.0);
    EXPECT_NEAR(kept, expected, expected * 0.03) << size;
  }
}

TEST(ScaledSkin, AtEachScaleThePiecesTileTheWindowAndReadOnlyTheTemplate) {
  for (const int dpi : {96, 120, 144, 168, 192, 240}) {
    const int art = ArtScaleForDpi(dpi);
    const int32_t w = ScaleToDpi(560, dpi), h = ScaleToDpi(430, dpi);
    const int32_t tw = kSkinTemplateWidth * art, th = kSkinTemplateHeight * art;
    const NineSlices pieces = SkinSlices(w, h, tw, th, dpi, art);
    std::vector<int> covered(static_cast<size_t>(w) * h, 0);
    for (const SlicePiece& piece : pieces) {
      EXPECT_GE(piece.from.x, 0);
      EXPECT_GE(piece.from.y, 0);
      EXPECT_LE(piece.from.x + piece.from.width, tw);
      EXPECT_LE(piece.from.y + piece.from.height, th);
      for (int32_t y = std::max(0, piece.to.y); y < std::min(h, piece.to.y + piece.to.height); ++y)
        for (int32_t x = std::max(0, piece.to.x); x < std::min(w, piece.to.x + piece.to.width); ++x)
          ++covered[static_cast<size_t>(y) * w + x];
    }
    for (size_t i = 0; i < covered.size(); ++i) ASSERT_GE(covered[i], 1) << dpi << " at " << i;
    // The fixed bands grow with the scale: the top band is 52 pixels at 96 DPI.
    EXPECT_EQ(pieces[0].to.height, ScaleToDpi(52, dpi));
    const NineSlices faces = ButtonFaceSlices(ScaleToDpi(88, dpi), ScaleToDpi(25, dpi), dpi, art);
    for (const SlicePiece& piece : faces) {
      EXPECT_LE(piece.from.x + piece.from.width, kFaceTemplateWidth * art);
      EXPECT_LE(piece.from.y + piece.from.height, kFaceTemplateHeight * art);
    }
    EXPECT_EQ(faces[0].to.width, ScaleToDpi(6, dpi));
  }
  // At 96 DPI the table is the one the art was made for.
  const NineSlices plain = ButtonFaceSlices(200, 25), at96 = ButtonFaceSlices(200, 25, 96, 1);
  for (size_t i = 0; i < plain.size(); ++i)
    EXPECT_TRUE(plain[i].to == at96[i].to && plain[i].from == at96[i].from) << i;
}

TEST(ScaledSkin, TheSkinAt150PercentIsTheLargeArtScaledWithACleanCut) {
  const RgbPicture large = Art("Skin2x.png");
  ASSERT_EQ(large.width, 2 * kSkinTemplateWidth);
  ASSERT_EQ(large.height, 2 * kSkinTemplateHeight);
  const RgbPicture small = Art("Skin.bmp");
  // At 192 DPI the large art comes out one to one, as the small one does at 96.
  EXPECT_TRUE(ComposeSkin(large, 474, 218, 192, 2) == large);
  const int32_t w = ScaleToDpi(560, 144), h = ScaleToDpi(430, 144);
  const RgbPicture skin = ComposeSkin(large, w, h, 144, 2);
  const RgbPicture plain = ComposeSkin(small, 560, 430);
  ASSERT_EQ(skin.width, 840);
  ASSERT_EQ(skin.height, 645);
  // Along the cut (pixels beside a cut-out one) nothing is tinted by the
  // mask colour: it was kept out of the averages.
  int32_t edge = 0;
  for (int32_t y = 1; y + 1 < h; ++y)
    for (int32_t x = 1; x + 1 < w; ++x) {
      const uint32_t p = skin.At(x, y);
      if (p == kSkinMaskRgb) continue;
      if (skin.At(x - 1, y) != kSkinMaskRgb && skin.At(x + 1, y) != kSkinMaskRgb &&
          skin.At(x, y - 1) != kSkinMaskRgb && skin.At(x, y + 1) != kSkinMaskRgb)
        continue;
      ++edge;
      ASSERT_FALSE(MagentaTinted(p)) << std::hex << p << " at " << std::dec << x << "," << y;
    }
  EXPECT_GT(edge, 16);  // the four rounded corners
  // The cut-out corners are those of the 96-DPI skin, half again as large:
  // along the top rows and the left column the first kept pixel lies at
  // one and a half times the place it has at 96 DPI, within a pixel.
  const auto firstKept = [](const RgbPicture& p, int32_t y) {
    int32_t x = 0;
    while (x < p.width && p.At(x, y) == kSkinMaskRgb) ++x;
    return x;
  };
  for (int32_t y96 : {0, 1, 2, 4, 6}) {
    const double expected = 1.5 * firstKept(plain, y96);
    EXPECT_NEAR(firstKept(skin, ScaleToDpi(y96, 144)), expected, 1.5) << y96;
  }
  // Where the 96-DPI skin shows the accent line under the title band, this
  // one does too, a band half again as far down.
  const uint32_t accent = plain.At(280, 29);
  EXPECT_EQ(skin.At(420, 44), accent);
  EXPECT_NE(skin.At(420, 40), accent);
}

}  // namespace
}  // namespace velmora
