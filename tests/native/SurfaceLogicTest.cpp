#include "iconlayer/ColorArgb.h"
#include "iconlayer/DibGeometry.h"
#include "iconlayer/PixelBlend.h"
#include "iconlayer/Sprite.h"
#include "wallpaper/PauseRules.h"
#include "wallpaper/SlideshowTiming.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <vector>

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

TEST(ColorARGB, PacksAlphaRedGreenBlue) {
  EXPECT_EQ(ColorARGB(100, 0, 31, 127), 0x64001F7Fu);
  EXPECT_EQ(ColorARGB(1, 0, 0, 255), 0x010000FFu);
}

TEST(FadeOpacities, StepsUpToTheLastBelowOpaque) {
  EXPECT_EQ(FadeOpacities(30), (std::vector<int>{0, 30, 60, 90, 120, 150, 180, 210}));
  EXPECT_EQ(FadeOpacities(255), (std::vector<int>{0}));
  EXPECT_EQ(FadeOpacities(128), (std::vector<int>{0}));  // 128 is above 255 - 128
  EXPECT_EQ(FadeOpacities(1).size(), 255u);
  EXPECT_TRUE(FadeOpacities(0).empty());
  EXPECT_TRUE(FadeOpacities(-3).empty());
  EXPECT_TRUE(FadeOpacities(300).empty());
}

TEST(SlideToShow, WrapsAfterTheLastEntry) {
  EXPECT_EQ(SlideToShow(0, 3), 0);
  EXPECT_EQ(SlideToShow(2, 3), 2);
  EXPECT_EQ(SlideToShow(3, 3), 0);
  EXPECT_EQ(SlideToShow(7, 3), 0);
  EXPECT_EQ(SlideToShow(0, 0), -1);
  std::vector<int> shown;
  int index = 0;
  for (int tick = 0; tick < 5; ++tick) {
    index = SlideToShow(index, 3);
    shown.push_back(index++);
  }
  EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, 0, 1}));
}

TEST(SlidePlacement, ValuesBeyondTheTwoPlacementsTakeTheNearer) {
  EXPECT_EQ(SlidePlacement(0), 0);
  EXPECT_EQ(SlidePlacement(1), 1);
  EXPECT_EQ(SlidePlacement(7), 1);
  EXPECT_EQ(SlidePlacement(-3), 0);
}

TEST(SlideTimerInterval, ZeroNeverFiresAndShortPausesAreLengthened) {
  EXPECT_EQ(SlideTimerInterval(5000), 5000u);
  EXPECT_EQ(SlideTimerInterval(500), 500u);
  EXPECT_EQ(SlideTimerInterval(1), 500u);
  EXPECT_EQ(SlideTimerInterval(499), 500u);
  EXPECT_EQ(SlideTimerInterval(0), 0u);
  EXPECT_EQ(SlideTimerInterval(-10), 0u);
}

TEST(PauseRules, AWindowPausesOnlyWhenItHidesTheWholeMonitor) {
  const ScreenBox monitor{0, 0, 1920, 1080};
  EXPECT_TRUE(CoversMonitor({0, 0, 1920, 1080}, monitor));
  EXPECT_TRUE(CoversMonitor({-8, -8, 1928, 1088}, monitor));  // borders pushed off the screen
  EXPECT_FALSE(CoversMonitor({0, 0, 1920, 1040}, monitor));   // a maximised window leaves the taskbar
  EXPECT_FALSE(CoversMonitor({1, 0, 1920, 1080}, monitor));
  EXPECT_FALSE(CoversMonitor({0, 0, 1919, 1080}, monitor));
  // The second monitor of two, to the left of the first.
  EXPECT_TRUE(CoversMonitor({-1280, 0, 0, 1024}, {-1280, 0, 0, 1024}));
  EXPECT_FALSE(CoversMonitor({0, 0, 1920, 1080}, {-1280, 0, 0, 1024}));
  EXPECT_FALSE(CoversMonitor({0, 0, 10, 10}, {0, 0, 0, 0}));  // no monitor: nothing to cover
  EXPECT_TRUE(IsShellWindowClass("Progman"));
  EXPECT_TRUE(IsShellWindowClass("WorkerW"));
  EXPECT_TRUE(IsShellWindowClass("Shell_TrayWnd"));
  EXPECT_TRUE(IsShellWindowClass("PROGMAN"));  // class names are matched without regard to case
  EXPECT_FALSE(IsShellWindowClass("Progman2"));
  EXPECT_FALSE(IsShellWindowClass("MozillaWindowClass"));
  PauseReasons reasons;
  EXPECT_FALSE(reasons.Any());
  reasons.displayOff = true;
  EXPECT_TRUE(reasons.Any());
}

struct Pixels {
  std::vector<uint8_t> data;
  PixelView view;
  Pixels(int w, int h, uint32_t bgra) : data(static_cast<size_t>(w) * h * 4) {
    for (size_t i = 0; i < data.size(); i += 4)
      for (int c = 0; c < 4; ++c) data[i + c] = static_cast<uint8_t>(bgra >> (8 * c));
    view = {data.data(), w, h, w * 4};
  }
  uint32_t At(int x, int y) const {
    const uint8_t* p = view.Row(y) + 4 * x;
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
  }
};

TEST(StretchBlend, OpaqueCopyScalesAndClips) {
  Pixels src(2, 1, 0xFF0000FF);  // opaque blue on the left, green on the right
  src.data[4] = 0;
  src.data[5] = 0xFF;
  src.data[6] = 0;
  Pixels dst(8, 2, 0xFF000000);
  ASSERT_TRUE(StretchBlend(src.view, {0, 0, 2, 1}, dst.view, {-2, 0, 8, 2}, 255, false));
  // Target x = -2..5 maps 4 pixels per source pixel: x 0,1 left colour, 2..5 right.
  EXPECT_EQ(dst.At(0, 0), src.At(0, 0));
  EXPECT_EQ(dst.At(1, 1), src.At(0, 0));
  EXPECT_EQ(dst.At(2, 0), src.At(1, 0));
  EXPECT_EQ(dst.At(5, 1), src.At(1, 0));
  EXPECT_EQ(dst.At(6, 0), 0xFF000000u);  // outside the target rectangle
}

TEST(StretchBlend, ConstantAndPixelAlpha) {
  Pixels white(1, 1, 0xFFFFFFFF);
  Pixels dst(1, 1, 0xFF000000);
  StretchBlend(white.view, {0, 0, 1, 1}, dst.view, {0, 0, 1, 1}, 128, false);
  EXPECT_EQ(dst.At(0, 0) & 0xFF, 128u);
  Pixels same(1, 1, 0xFF000000);
  StretchBlend(white.view, {0, 0, 1, 1}, same.view, {0, 0, 1, 1}, 0, false);
  EXPECT_EQ(same.At(0, 0), 0xFF000000u);  // alpha 0 draws nothing
  Pixels clear(1, 1, 0x00FFFFFF);          // white with pixel alpha 0
  StretchBlend(clear.view, {0, 0, 1, 1}, same.view, {0, 0, 1, 1}, 255, true);
  EXPECT_EQ(same.At(0, 0), 0xFF000000u);
  // Repeated fades over the previous result approach the source.
  Pixels fade(1, 1, 0xFF000000);
  for (int a : FadeOpacities(30)) StretchBlend(white.view, {0, 0, 1, 1}, fade.view, {0, 0, 1, 1}, a, false);
  EXPECT_GT(fade.At(0, 0) & 0xFF, 200u);
  StretchBlend(white.view, {0, 0, 1, 1}, fade.view, {0, 0, 1, 1}, 255, false);
  EXPECT_EQ(fade.At(0, 0), 0xFFFFFFFFu);
}

TEST(StretchBlend, TheFastPathForPhotographsIsWithinOneOfThePixelByPixelPath) {
  std::mt19937 rng(8);
  struct Case {
    int srcW, srcH;
    BlendRect from, to;
    int dstW, dstH;
  };
  const Case cases[] = {
      {96, 54, {0, 0, 96, 54}, {0, 0, 192, 108}, 192, 108},     // the fade: half size, doubled
      {61, 37, {3, 2, 50, 30}, {-7, 5, 141, 77}, 130, 90},      // odd sizes, clipped, offset
      {40, 40, {0, 0, 40, 40}, {10, 10, 23, 23}, 50, 50},       // made smaller
  };
  for (const Case& c : cases)
    for (int alpha : {1, 90, 200, 255})
      for (int damaged = 0; damaged < 3; ++damaged) {
        Pixels src(c.srcW, c.srcH, 0), fast(c.dstW, c.dstH, 0), plain(c.dstW, c.dstH, 0);
        // A photograph: smooth shades with noise, every pixel opaque.
        for (int y = 0; y < c.srcH; ++y)
          for (int x = 0; x < c.srcW; ++x) {
            uint8_t* p = src.view.Row(y) + 4 * x;
            p[0] = static_cast<uint8_t>(x * 5 + rng() % 16);
            p[1] = static_cast<uint8_t>(y * 7 + rng() % 16);
            p[2] = static_cast<uint8_t>(rng());
            p[3] = 255;
          }
        for (size_t i = 0; i < fast.data.size(); ++i)
          fast.data[i] = plain.data[i] = i % 4 == 3 ? 255 : static_cast<uint8_t>(rng());
        // One source pixel or one target pixel that is not opaque sends its
        // row or its four pixels the pixel-by-pixel way.
        if (damaged == 1) src.view.Row(c.from.y + c.from.height / 2)[4 * (c.from.x + 1) + 3] = 100;
        if (damaged == 2) fast.data[4 * (c.dstW * (c.dstH / 2) + c.dstW / 2) + 3] =
            plain.data[4 * (c.dstW * (c.dstH / 2) + c.dstW / 2) + 3] = 60;
        ASSERT_TRUE(StretchBlend(src.view, c.from, fast.view, c.to, static_cast<uint8_t>(alpha), true));
        ASSERT_TRUE(StretchBlend(src.view, c.from, plain.view, c.to, static_cast<uint8_t>(alpha), true, true));
        int worst = 0;
        for (size_t i = 0; i < fast.data.size(); ++i) worst = std::max(worst, std::abs(fast.data[i] - plain.data[i]));
        EXPECT_LE(worst, 1) << "case " << c.srcW << " alpha " << alpha << " damaged " << damaged;
      }
}

TEST(StretchBlend, SmoothScalingKeepsFlatColoursAndTransparentEdges) {
  Pixels src(4, 4, 0xFF204080);
  Pixels dst(16, 16, 0xFF000000);
  ASSERT_TRUE(StretchBlend(src.view, {0, 0, 4, 4}, dst.view, {0, 0, 16, 16}, 255, true));
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) ASSERT_EQ(dst.At(x, y), 0xFF204080u) << x << "," << y;
  // A transparent neighbour does not darken an opaque pixel's colour.
  Pixels half(2, 1, 0xFFFFFFFF);
  half.data[4] = half.data[5] = half.data[6] = half.data[7] = 0;
  Pixels out(4, 1, 0x00000000);
  StretchBlend(half.view, {0, 0, 2, 1}, out.view, {0, 0, 4, 1}, 255, true);
  const uint32_t mid = out.At(1, 0);
  EXPECT_EQ(mid & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_GT(mid >> 24, 100u);
  EXPECT_LT(mid >> 24, 255u);
  EXPECT_EQ(out.At(3, 0), 0u);
}

TEST(StretchBlend, RejectsBadRectangles) {
  Pixels src(2, 2, 0xFFFFFFFF), dst(2, 2, 0);
  EXPECT_FALSE(StretchBlend(src.view, {1, 1, 2, 2}, dst.view, {0, 0, 2, 2}, 255, false));
  EXPECT_FALSE(StretchBlend(src.view, {0, 0, 0, 2}, dst.view, {0, 0, 2, 2}, 255, false));
  EXPECT_FALSE(StretchBlend(src.view, {0, 0, 2, 2}, dst.view, {0, 0, 2, -1}, 255, false));
  EXPECT_TRUE(StretchBlend(src.view, {0, 0, 2, 2}, dst.view, {5, 5, 2, 2}, 255, false));
  EXPECT_EQ(dst.At(0, 0), 0u);
}

}  // namespace
}  // namespace velmora

#include "shell/ShortcutList.h"

namespace velmora {
namespace {

TEST(ShortcutList, ColumnsRowsAndStableSort) {
  ShortcutList list;
  for (const char* tag : {"PATH", "STRING", "NUMBER"}) list.AddColumn("String", tag);
  EXPECT_EQ(list.ColumnWithTag("NUMBER"), 2);
  EXPECT_EQ(list.ColumnWithTag("DATE"), -1);
  list.AddRow({"c", "x", "10"});
  list.AddRow({"a", "y", "9"});
  list.AddRow({"b", "x"});  // missing cell is empty
  list.AddRow({"d", "w", "10"});
  EXPECT_EQ(list.Cell(2, 2), "");
  EXPECT_EQ(list.Cell(9, 0), "");
  list.SortBy(1);
  std::vector<std::string> order;
  for (const auto& row : list.Rows()) order.push_back(row[0]);
  EXPECT_EQ(order, (std::vector<std::string>{"d", "c", "b", "a"}));  // c before b: stable
  list.SortBy(2, [](const std::string& a, const std::string& b) {
    return std::atol(a.c_str()) < std::atol(b.c_str());
  });
  order.clear();
  for (const auto& row : list.Rows()) order.push_back(row[0]);
  EXPECT_EQ(order, (std::vector<std::string>{"b", "a", "d", "c"}));
}

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
