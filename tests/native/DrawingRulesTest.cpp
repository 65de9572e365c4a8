// Drawing rules of the format and of the reference player, each on a movie
// made by our own writer: JPEG pictures with an alpha plane, the bevel and
// gradient filters and the strength of glows, the alpha and erase modes
// with and without a layer around them, the bounds of a layer's picture,
// and cached objects on whole pixels.
#include "player/MoviePlayback.h"
#include "player/ScaleMode.h"
#include "player/swf/SwfParser.h"
#include "tests/native/MovieFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

namespace velmora::swf {
namespace {

using test::PlaceAt;
using test::SolidRect;

int Channel(uint32_t argb, int shift) { return static_cast<int>((argb >> shift) & 0xFF); }

Bytes ReadTestPicture(const char* name) {
  std::ifstream in(std::string(VELMORA_SOURCE_DIR "/tests/pictures/") + name, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(PictureRules, AJpegsAlphaPlaneKeepsItsColoursAsStoredPremultiplied) {
  // The same JPEG without an alpha plane and with one: alpha 80 on the left
  // half, 0 in the first column, opaque on the right half.
  const Bytes jpeg = ReadTestPicture("baseline-444.jpg");
  ASSERT_FALSE(jpeg.empty());
  constexpr int kWidth = 61, kHeight = 47;
  Bytes alpha(static_cast<size_t>(kWidth) * kHeight);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) alpha[static_cast<size_t>(y) * kWidth + x] = x == 0 ? 0 : x < kWidth / 2 ? 80 : 255;
  MovieWriter movie({0, kWidth * 20, 0, kHeight * 20}, 12);
  TagWriter& t = movie.Timeline();
  t.SetBackgroundColor({255, 255, 255});
  t.DefineBitsJpeg2(1, jpeg);
  t.DefineBitsJpeg3(2, jpeg, alpha);
  // The picture with alpha as a fill of its own size on the white stage.
  ShapeBuilder s;
  s.SelectStyles(0, s.AddBitmapFill(2, Matrix::Scale(20, 20), false, false), 0);
  s.Rectangle({0, kWidth * 20, 0, kHeight * 20});
  t.DefineShape(3, s);
  t.Place(PlaceAt(1, 3));
  t.ShowFrame();
  const Bytes bytes = movie.Finish(Compression::kNone);
  const ParseResult result = ParseMovie(bytes.data(), bytes.size());
  ASSERT_TRUE(result.ok);
  const Bitmap& plain = *result.movie.Find(1)->bitmap;
  const Bitmap& masked = *result.movie.Find(2)->bitmap;
  ASSERT_EQ(masked.width, kWidth);
  ASSERT_EQ(masked.pixels.size(), plain.pixels.size());
  int darkened = 0;
  for (size_t i = 0; i < plain.pixels.size(); ++i) {
    const uint32_t a = alpha[i], colour = plain.pixels[i];
    // The colour as stored, only cut down where it lies above its alpha.
    const uint32_t expected = a << 24 | std::min<uint32_t>(Channel(colour, 16), a) << 16 |
                              std::min<uint32_t>(Channel(colour, 8), a) << 8 | std::min<uint32_t>(Channel(colour, 0), a);
    ASSERT_EQ(masked.pixels[i], expected) << "pixel " << i;
    darkened += a == 80 && Channel(colour, 16) < 80;
  }
  EXPECT_GT(darkened, 0) << "the picture must have colours below the alpha";

  // On the white stage: the stored colour plus the white that shows through.
  MoviePlayback playback = test::LoadMovie(movie);
  playback.Step();
  Canvas c;
  c.Resize(kWidth, kHeight);
  playback.Draw(c, ScaleMode::ExactFit, false);
  for (int x : {5, 20, 29}) {
    const uint32_t stored = masked.pixels[static_cast<size_t>(20) * kWidth + x];
    EXPECT_NEAR(Channel(c.Row(20)[x], 8), Channel(stored, 8) + 255 - 80, 1) << x;
  }
  EXPECT_EQ(c.Row(20)[0], 0xFFFFFFFFu) << "a transparent pixel shows nothing";
  EXPECT_EQ(c.Row(20)[50], plain.pixels[static_cast<size_t>(20) * kWidth + 50]);
}

// A white square from pixel 30 to 70 on a grey stage, with `filter`.
Canvas FilteredSquare(const Filter& filter, uint8_t squareAlpha = 255) {
  MovieWriter movie({0, 2000, 0, 2000}, 12);
  TagWriter& t = movie.Timeline();
  t.SetBackgroundColor({128, 128, 128});
  t.DefineShape(1, SolidRect({255, 255, 255, squareAlpha}, 600, 600, 1400, 1400));
  PlaceObject p = PlaceAt(1, 1);
  p.hasFilters = true;
  p.filters = {filter};
  t.Place(p);
  t.ShowFrame();
  MoviePlayback playback = test::LoadMovie(movie);
  playback.Step();
  Canvas c;
  c.Resize(100, 100);
  playback.Draw(c, ScaleMode::ExactFit, true);
  return c;
}

// Red on the edges that face the light (from the top left: the angle
// points down and right), green on the others.
Filter RedGreenBevel() {
  Filter f;
  f.kind = FilterKind::Bevel;
  f.color = {255, 0, 0, 255};
  f.highlight = {0, 255, 0, 255};
  f.blurX = f.blurY = 4;
  f.angle = 0.785398;
  f.distance = 4;
  f.strength = 1;
  f.passes = 1;
  return f;
}

bool Reddish(uint32_t p) { return Channel(p, 16) > 200 && Channel(p, 8) < 100; }
bool Greenish(uint32_t p) { return Channel(p, 8) > 200 && Channel(p, 16) < 100; }
constexpr uint32_t kWhite = 0xFFFFFFFF, kGrey = 0xFF808080;

TEST(BevelRules, AnInnerBevelLightsTheEdgesInsideTheObject) {
  Filter f = RedGreenBevel();
  f.inner = true;
  const Canvas c = FilteredSquare(f);
  EXPECT_TRUE(Reddish(c.Row(31)[31])) << std::hex << c.Row(31)[31];
  EXPECT_TRUE(Reddish(c.Row(50)[31])) << std::hex << c.Row(50)[31];
  EXPECT_TRUE(Greenish(c.Row(68)[68])) << std::hex << c.Row(68)[68];
  EXPECT_TRUE(Greenish(c.Row(50)[68])) << std::hex << c.Row(50)[68];
  EXPECT_EQ(c.Row(50)[50], kWhite) << "the middle is left as it is";
  EXPECT_EQ(c.Row(27)[27], kGrey) << "nothing outside";
  EXPECT_EQ(c.Row(72)[72], kGrey);
  // On a half-transparent object the bevel takes the object's alpha and
  // hides the object where it is opaque: the red at half alpha over the grey.
  f.strength = 2;
  const uint32_t edge = FilteredSquare(f, 128).Row(31)[31];
  EXPECT_NEAR(Channel(edge, 16), 192, 3) << std::hex << edge;
  EXPECT_NEAR(Channel(edge, 8), 64, 3) << std::hex << edge;
}

TEST(BevelRules, AnOuterBevelLiesOutsideAndUnderTheObject) {
  const Canvas c = FilteredSquare(RedGreenBevel());
  EXPECT_TRUE(Reddish(c.Row(28)[28])) << std::hex << c.Row(28)[28];
  EXPECT_TRUE(Reddish(c.Row(50)[28])) << std::hex << c.Row(50)[28];
  EXPECT_TRUE(Greenish(c.Row(71)[71])) << std::hex << c.Row(71)[71];
  EXPECT_TRUE(Greenish(c.Row(50)[71])) << std::hex << c.Row(50)[71];
  EXPECT_EQ(c.Row(31)[31], kWhite) << "the object covers it";
  EXPECT_EQ(c.Row(68)[68], kWhite);
  EXPECT_EQ(c.Row(5)[5], kGrey);
}

TEST(BevelRules, AKnockedOutBevelShowsWithoutItsObject) {
  Filter f = RedGreenBevel();
  f.inner = true;
  f.knockout = true;
  const Canvas inner = FilteredSquare(f);
  EXPECT_TRUE(Reddish(inner.Row(31)[31])) << std::hex << inner.Row(31)[31];
  EXPECT_TRUE(Greenish(inner.Row(68)[68])) << std::hex << inner.Row(68)[68];
  EXPECT_EQ(inner.Row(50)[50], kGrey) << "the object itself is gone";
  // A full bevel on top lies on both sides of each edge.
  f.inner = f.knockout = false;
  f.onTop = true;
  const Canvas full = FilteredSquare(f);
  EXPECT_TRUE(Reddish(full.Row(29)[29])) << std::hex << full.Row(29)[29];
  EXPECT_TRUE(Reddish(full.Row(31)[31])) << std::hex << full.Row(31)[31];
  EXPECT_TRUE(Greenish(full.Row(68)[68])) << std::hex << full.Row(68)[68];
  EXPECT_TRUE(Greenish(full.Row(71)[71])) << std::hex << full.Row(71)[71];
  EXPECT_EQ(full.Row(50)[50], kWhite);
}

TEST(BevelRules, TheStrengthActsOnTheBlurredAlpha) {
  // A faint bevel (a wide blur, strength 1) and the same at strength 4: the
  // strength lifts the whole blurred edge, not only the object's own edge.
  Filter f = RedGreenBevel();
  f.inner = true;
  f.blurX = f.blurY = 16;
  f.color.a = 128;
  const int weak = Channel(FilteredSquare(f).Row(50)[36], 8);
  f.strength = 4;
  const int strong = Channel(FilteredSquare(f).Row(50)[36], 8);
  EXPECT_LT(strong, weak - 40) << "more red, so less of the white's green";
}

TEST(BevelRules, AGradientBevelRunsFromItsFirstColourOnTheLitSideToItsLastOnTheOther) {
  Filter f = RedGreenBevel();
  f.kind = FilterKind::GradientBevel;
  f.gradient = {{0, {255, 0, 0, 255}}, {128, {0, 0, 0, 0}}, {255, {0, 255, 0, 255}}};
  f.onTop = true;
  const Canvas c = FilteredSquare(f);
  EXPECT_TRUE(Reddish(c.Row(31)[31])) << std::hex << c.Row(31)[31];
  EXPECT_TRUE(Greenish(c.Row(68)[68])) << std::hex << c.Row(68)[68];
  EXPECT_EQ(c.Row(50)[50], kWhite) << "the gradient's middle is transparent";
  // A gradient glow: green at the object, fading to the transparent first colour.
  Filter glow;
  glow.kind = FilterKind::GradientGlow;
  glow.gradient = {{0, {0, 255, 0, 0}}, {255, {0, 255, 0, 255}}};
  glow.blurX = glow.blurY = 8;
  glow.passes = 1;
  const Canvas g = FilteredSquare(glow);
  EXPECT_GT(Channel(g.Row(50)[29], 8), Channel(g.Row(50)[27], 8));
  EXPECT_GT(Channel(g.Row(50)[27], 8), 128);
  EXPECT_EQ(g.Row(50)[10], kGrey);
  EXPECT_EQ(g.Row(50)[50], kWhite);

  // Both read back as written.
  MovieWriter movie({0, 2000, 0, 2000}, 12);
  movie.Timeline().DefineShape(1, SolidRect({255, 255, 255}, 0, 0, 100, 100));
  PlaceObject p = PlaceAt(1, 1);
  p.hasFilters = true;
  p.filters = {f, glow};
  movie.Timeline().Place(p);
  movie.Timeline().ShowFrame();
  const Bytes bytes = movie.Finish(Compression::kNone);
  const ParseResult result = ParseMovie(bytes.data(), bytes.size());
  ASSERT_TRUE(result.ok);
  const std::vector<Filter>& read = result.movie.timeline.frames[0].tags[0].place.filters;
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read[0].kind, FilterKind::GradientBevel);
  ASSERT_EQ(read[0].gradient.size(), 3u);
  EXPECT_EQ(read[0].gradient[2].ratio, 255);
  EXPECT_EQ(read[0].gradient[2].color, (Rgba{0, 255, 0, 255}));
  EXPECT_TRUE(read[0].onTop);
  EXPECT_DOUBLE_EQ(read[0].distance, 4);
  EXPECT_EQ(read[1].gradient.size(), 2u);
  EXPECT_EQ(read[1].passes, 1);
}

TEST(GlowRules, TheStrengthActsOnTheBlurredAlpha) {
  // An outer glow of a wide blur: at strength 2 it reaches further out at
  // twice the alpha where the blur is faint.
  Filter f;
  f.kind = FilterKind::Glow;
  f.color = {255, 0, 0, 255};
  f.blurX = f.blurY = 16;
  f.strength = 1;
  f.passes = 1;
  const uint32_t weak = FilteredSquare(f).Row(50)[24];
  f.strength = 2;
  const uint32_t strong = FilteredSquare(f).Row(50)[24];
  const int weakRed = Channel(weak, 16) - 128, strongRed = Channel(strong, 16) - 128;
  ASSERT_GT(weakRed, 5);
  EXPECT_NEAR(strongRed, 2 * weakRed, 3);
}

enum class Sprite : uint8_t { None, Red, RedAndCutters };

// A backdrop of a gradient and a green bar, then sprite 5 with `parentMode`:
// a red square from pixel 10 to 90 and, with the cutters, over its left
// half a transparent square in the alpha mode and a white bar from pixel
// 70 to 80 in the erase mode.
Canvas CutterScene(Sprite content, BlendMode parentMode) {
  MovieWriter movie({0, 2000, 0, 2000}, 12);
  TagWriter& t = movie.Timeline();
  t.SetBackgroundColor({0, 0, 255});
  ShapeBuilder backdrop;
  backdrop.SelectStyles(0, backdrop.AddLinearGradient(Matrix::Scale(2000.0 / 32768, 1), {{0, {255, 255, 0}}, {255, {0, 255, 255}}}), 0);
  backdrop.Rectangle({0, 2000, 0, 2000});
  t.DefineShape(1, backdrop);
  t.DefineShape(2, SolidRect({0, 255, 0}, 0, 800, 2000, 1200));
  t.DefineShape(3, SolidRect({255, 0, 0}, 200, 200, 1800, 1800));
  t.DefineShape(4, SolidRect({128, 128, 128, 0}, 0, 0, 1000, 2000));
  t.DefineShape(6, SolidRect({255, 255, 255}, 1400, 0, 1600, 2000));
  TagWriter sprite;
  sprite.Place(PlaceAt(1, 3));
  if (content == Sprite::RedAndCutters) {
    PlaceObject alpha = PlaceAt(2, 4);
    alpha.hasBlendMode = true;
    alpha.blendMode = BlendMode::Alpha;
    sprite.Place(alpha);
    PlaceObject erase = PlaceAt(3, 6);
    erase.hasBlendMode = true;
    erase.blendMode = BlendMode::Erase;
    sprite.Place(erase);
  }
  sprite.ShowFrame();
  t.DefineSprite(5, sprite);
  t.Place(PlaceAt(1, 1));
  t.Place(PlaceAt(2, 2));
  if (content != Sprite::None) {
    PlaceObject parent = PlaceAt(3, 5);
    parent.hasBlendMode = parentMode != BlendMode::Normal;
    parent.blendMode = parentMode;
    t.Place(parent);
  }
  t.ShowFrame();
  MoviePlayback playback = test::LoadMovie(movie);
  playback.Step();
  Canvas c;
  c.Resize(100, 100);
  playback.Draw(c, ScaleMode::ExactFit, true);
  return c;
}

TEST(BlendRules, AlphaAndEraseWithoutALayerAroundThemChangeNoPixel) {
  EXPECT_EQ(CutterScene(Sprite::RedAndCutters, BlendMode::Normal).pixels,
            CutterScene(Sprite::Red, BlendMode::Normal).pixels);
  // Inside a layer they cut it: the left half and the bar show the backdrop
  // below the sprite, the rest of the red stays.
  const Canvas layered = CutterScene(Sprite::RedAndCutters, BlendMode::Layer);
  const Canvas backdrop = CutterScene(Sprite::None, BlendMode::Normal);
  for (int y : {30, 50})
    for (int x : {20, 40, 75}) EXPECT_EQ(layered.Row(y)[x], backdrop.Row(y)[x]) << x << ", " << y;
  EXPECT_EQ(layered.Row(30)[60], 0xFFFF0000u);
  EXPECT_EQ(layered.Row(30)[85], 0xFFFF0000u);
}

TEST(LayerRules, AHalfTransparentGroupHoldsAllItsChildrenDraw) {
  // A group of the layer mode at half alpha around a white square 40
  // pixels wide with a red glow, and around a square at the stage's left
  // edge: the glow past the square and the edge pixels are kept.
  MovieWriter movie({0, 2000, 0, 2000}, 12);
  TagWriter& t = movie.Timeline();
  t.SetBackgroundColor({0, 0, 255});
  t.DefineShape(1, SolidRect({255, 255, 255}, 600, 600, 1400, 1400));
  t.DefineShape(2, SolidRect({255, 255, 255}, 0, 1600, 200, 1800));
  Filter glow;
  glow.kind = FilterKind::Glow;
  glow.color = {255, 0, 0, 255};
  glow.blurX = glow.blurY = 16;
  glow.strength = 2;
  glow.passes = 1;
  TagWriter group;
  PlaceObject glowing = PlaceAt(1, 1);
  glowing.hasFilters = true;
  glowing.filters = {glow};
  group.Place(glowing);
  group.ShowFrame();
  t.DefineSprite(3, group);
  TagWriter edge;
  edge.Place(PlaceAt(1, 2));
  edge.ShowFrame();
  t.DefineSprite(4, edge);
  for (uint16_t id : {3, 4}) {
    PlaceObject place = PlaceAt(id - 2, id);
    place.hasBlendMode = true;
    place.blendMode = BlendMode::Layer;
    place.hasColorTransform = true;
    place.colorTransform = ColorTransform::Alpha(0.5);
    t.Place(place);
  }
  t.ShowFrame();
  for (bool high : {false, true}) {
    MoviePlayback playback = test::LoadMovie(movie);
    playback.Step();
    Canvas c;
    c.Resize(100, 100);
    playback.Draw(c, ScaleMode::ExactFit, high);
    for (int x : {24, 26, 28}) EXPECT_GT(Channel(c.Row(50)[x], 16), 20) << "the glow, x " << x;
    EXPECT_GT(Channel(c.Row(74)[50], 16), 20);
    EXPECT_EQ(c.Row(85)[0], c.Row(85)[5]) << "the edge column";
    EXPECT_NEAR(Channel(c.Row(85)[0], 16), 128, 2);
    EXPECT_EQ(c.Row(85)[12], 0xFF0000FFu);
  }
}

TEST(PlaceRules, ACachedObjectIsDrawnWithItsCornerOnAWholePixel) {
  // A circle whose box starts half a pixel into pixel 12 (250 twips), at
  // low quality: cached, it is drawn as the plain circle placed at pixel 13.
  auto draw = [](int32_t at, bool cached) {
    MovieWriter movie({0, 2500, 0, 2500}, 12);
    TagWriter& t = movie.Timeline();
    t.SetBackgroundColor({255, 255, 255});
    ShapeBuilder circle;
    circle.SelectStyles(0, circle.AddSolidFill({0, 0, 255}), 0);
    circle.Ellipse(1000, 1000, 1000, 1000);
    t.DefineShape(1, circle);
    PlaceObject p = PlaceAt(1, 1, at, at);
    p.hasCacheAsBitmap = true;
    p.cacheAsBitmap = cached;
    t.Place(p);
    t.ShowFrame();
    MoviePlayback playback = test::LoadMovie(movie);
    playback.Step();
    Canvas c;
    c.Resize(125, 125);
    playback.Draw(c, ScaleMode::ExactFit, false);
    return c;
  };
  const Canvas cached = draw(250, true);
  EXPECT_EQ(cached.pixels, draw(260, false).pixels);
  EXPECT_NE(cached.pixels, draw(250, false).pixels);
}

}  // namespace
}  // namespace velmora::swf
