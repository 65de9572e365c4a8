// The drawn controls and skins apart from the system: nine-slice faces, the
// runs of a window shape, the spin box's steps, timing and input rules.
#include "controls/MaskRuns.h"
#include "controls/NineSlice.h"
#include "controls/SpinBoxModel.h"
#include "settingsdialog/SkinSlices.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace velmora {
namespace {

// A template of distinct random pixels, so that any misplaced copy shows.
RgbPicture Noise(int32_t w, int32_t h, uint32_t seed) {
  std::mt19937 random(seed);
  RgbPicture p(w, h);
  for (uint32_t& px : p.pixels) px = random() & 0xFFFFFF;
  return p;
}

// Whether the column x of `out` between rows y0 and y1 is the template's
// column sx between the same rows.
bool SameColumn(const RgbPicture& out, int32_t x, const RgbPicture& in, int32_t sx, int32_t y0, int32_t y1) {
  for (int32_t y = y0; y < y1; ++y)
    if (out.At(x, y) != in.At(sx, y)) return false;
  return true;
}

// One of the program's own pictures from resources/.
RgbPicture Art(const std::string& name) {
  std::ifstream file(std::string(VELMORA_SOURCE_DIR) + "/resources/" + name, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const std::optional<RgbPicture> picture = DecodeRgbPicture(bytes);
  EXPECT_TRUE(picture) << name;
  return picture.value_or(RgbPicture());
}

TEST(NineSlice, AtTemplateSizeTheArtComesOutOneToOne) {
  // The art is even along every stretched slice, so a face or a skin of the
  // template's own size is the template.
  for (const char* name : {"ButtonUp.bmp", "ButtonDown.bmp", "ButtonDisabled.bmp"}) {
    const RgbPicture face = Art(name);
    ASSERT_EQ(face.width, kFaceTemplateWidth) << name;
    ASSERT_EQ(face.height, kFaceTemplateHeight) << name;
    EXPECT_TRUE(ComposeNineSlice(face, ButtonFaceSlices(88, 25), 88, 25) == face) << name;
  }
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

TEST(SpinBox, RepeatTimingFromTheKeyboardSettings) {
  EXPECT_EQ(RepeatIntervalFor(31), 45);
  EXPECT_EQ(RepeatIntervalFor(0), 400);
  EXPECT_EQ(RepeatIntervalFor(15), 228);  // 400 - 171.9
  for (int d = 0; d <= 3; ++d) EXPECT_EQ(FirstDelayFor(d), d * 250 + 250);
}

TEST(SpinBox, OnlyDigitsBackspaceAndMinusAreTyped) {
  for (char c = '0'; c <= '9'; ++c) EXPECT_TRUE(AcceptsTypedCharacter(c));
  EXPECT_TRUE(AcceptsTypedCharacter('\b'));
  EXPECT_TRUE(AcceptsTypedCharacter('-'));
  for (uint32_t c : {uint32_t{'a'}, uint32_t{'A'}, uint32_t{'+'}, uint32_t{'.'}, uint32_t{' '},
                     uint32_t{0x661} /* an Arabic-Indic digit */})
    EXPECT_FALSE(AcceptsTypedCharacter(c)) << c;
  EXPECT_EQ(ReadWholeNumber(" -42 "), -42);
  EXPECT_EQ(ReadWholeNumber("2147483647"), 2147483647);
  EXPECT_EQ(ReadWholeNumber("-2147483648"), INT32_MIN);
  for (const char* text : {"", "-", "abc", "1a", "99999999999", "2147483648", "1.5"})
    EXPECT_FALSE(ReadWholeNumber(text)) << text;
}

struct Recorder {
  std::vector<std::string> events;
  std::vector<int> timer;
  std::string shown;
  SpinBoxModel Make() {
    SpinBoxModel::Links links;
    links.change = [this] { events.push_back("Change"); };
    links.upClick = [this] { events.push_back("UpClick"); };
    links.downClick = [this] { events.push_back("DownClick"); };
    links.showText = [this](const std::string& t) { shown = t; };
    links.timer = [this](int ms) { timer.push_back(ms); };
    return SpinBoxModel(links, 500, 45);
  }
};

TEST(SpinBox, HoldingUpFrom99StepsOnceThenWaitsForTheRelease) {
  Recorder r;
  SpinBoxModel box = r.Make();
  box.SetValue(99);
  r.events.clear();
  box.Press(SpinBoxModel::Arrow::kUp);
  EXPECT_EQ(box.Value(), 100);
  EXPECT_EQ(r.shown, "100");
  EXPECT_EQ(r.events, std::vector<std::string>{"Change"});
  EXPECT_EQ(r.timer, (std::vector<int>{500, 45}));  // the first delay, then the repeat
  for (int i = 0; i < 5; ++i) box.Tick(true);
  EXPECT_EQ(box.Value(), 100);
  EXPECT_EQ(r.events, std::vector<std::string>{"Change"});
  box.LetGo();
  EXPECT_EQ(r.events, (std::vector<std::string>{"Change", "UpClick"}));
  EXPECT_EQ(r.timer.back(), 0);
  EXPECT_EQ(box.Pressed(), SpinBoxModel::Arrow::kNone);
  // Down steps each tick to Min and raises DownClick at the end.
  r.events.clear();
  box.SetMin(98);
  box.Press(SpinBoxModel::Arrow::kDown);
  box.Tick(true);
  box.Tick(true);
  EXPECT_EQ(box.Value(), 98);
  box.Tick(false);  // let go unseen at the limit: released all the same
  EXPECT_EQ(r.events, (std::vector<std::string>{"Change", "Change", "DownClick"}));
}

TEST(SpinBox, ValuesSetAreLimitedTypedOnesAreNot) {
  Recorder r;
  SpinBoxModel box = r.Make();
  box.SetMax(200);
  box.SetValue(500);
  EXPECT_EQ(r.shown, "200");
  EXPECT_EQ(box.Value(), 200);
  EXPECT_EQ(r.events, std::vector<std::string>{"Change"});
  // The same value again: no Change.
  box.SetValue(200);
  EXPECT_EQ(r.events.size(), 1u);
  // Typed out of range: the text stays, the value too, no event.
  box.TextChanged("250");
  EXPECT_EQ(box.Value(), 200);
  EXPECT_EQ(box.Text(), "250");
  EXPECT_EQ(r.events.size(), 1u);
  box.TextChanged("37");
  EXPECT_EQ(box.Value(), 37);
  EXPECT_EQ(r.events.size(), 2u);
  // Pasted text that is no number: 0 without Change.
  box.TextChanged("abc");
  EXPECT_EQ(box.Value(), 0);
  EXPECT_EQ(r.events.size(), 2u);
  // An arrow from a text that is no number starts at 0.
  box.Press(SpinBoxModel::Arrow::kUp);
  EXPECT_EQ(box.Value(), 1);
  // Limits are stored only.
  box.SetMin(50);
  EXPECT_EQ(box.Value(), 1);
}

}  // namespace
}  // namespace velmora
