// The best fit of a picture into a box, and the rows and headers of a surface.
#include "iconlayer/DibGeometry.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

void ExpectFit(FitRect r, int32_t left, int32_t top, int32_t width, int32_t height) {
  EXPECT_EQ(r.left, left);
  EXPECT_EQ(r.top, top);
  EXPECT_EQ(r.width, width);
  EXPECT_EQ(r.height, height);
}

TEST(GetBestFitInfo, PreviewBoxExamples) {
  ExpectFit(GetBestFitInfo(100, 50, 186, 164, false), 43, 57, 100, 50);
  ExpectFit(GetBestFitInfo(400, 300, 186, 164, false), 0, 12, 186, 140);
  // With "always" a small picture is enlarged.
  ExpectFit(GetBestFitInfo(100, 50, 186, 164, true), 0, 35, 186, 93);
}

TEST(GetBestFitInfo, ScreenExamples) {
  ExpectFit(GetBestFitInfo(800, 600, 1024, 768, false), 112, 84, 800, 600);
  ExpectFit(GetBestFitInfo(2048, 768, 1024, 768, false), 0, 192, 1024, 384);
  ExpectFit(GetBestFitInfo(1024, 768, 1024, 768, false), 0, 0, 1024, 768);
}

TEST(GetBestFitInfo, HalvesRoundToEven) {
  ExpectFit(GetBestFitInfo(4, 5, 2, 10, false), 0, 4, 2, 2);  // h = 0.5 x 5 = 2.5 -> 2
  ExpectFit(GetBestFitInfo(4, 7, 2, 10, false), 0, 3, 2, 4);  // h = 3.5 -> 4
  ExpectFit(GetBestFitInfo(5, 4, 10, 2, false), 4, 0, 2, 2);  // w = 2.5 -> 2
}

TEST(DibGeometry, RowsAndHeaders) {
  EXPECT_EQ(BytesPerScanline(3, 24), 12);
  EXPECT_EQ(BytesPerScanline(3, 24) * 2, 24);
  EXPECT_EQ(BytesPerScanline(1, 1), 4);
  EXPECT_EQ(BytesPerScanline(33, 1), 8);
  EXPECT_EQ(BytesPerScanline(5, 32), 20);
  EXPECT_EQ(BytesPerScanline(3, 4), 4);
  EXPECT_EQ(PaletteEntries(8), 256);
  EXPECT_EQ(PaletteEntries(4), 16);
  EXPECT_EQ(PaletteEntries(1), 2);
  EXPECT_EQ(PaletteEntries(16), 0);
  EXPECT_EQ(PaletteEntries(24), 0);

  const std::string h = BmpHeaders(3, 2, 24, 0, 24);
  ASSERT_EQ(h.size(), 54u);
  const unsigned char expected[54] = {
      'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,          // file header
      40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0,       // size, w, h, planes, bpp
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(h, std::string(reinterpret_cast<const char*>(expected), 54));

  const std::string p = BmpHeaders(2, 2, 8, 256, 8);
  EXPECT_EQ(static_cast<unsigned char>(p[2]) | static_cast<unsigned char>(p[3]) << 8,
            14 + 40 + 1024 + 8);
  EXPECT_EQ(static_cast<unsigned char>(p[10]) | static_cast<unsigned char>(p[11]) << 8, 54 + 1024);
}

}  // namespace
}  // namespace velmora
