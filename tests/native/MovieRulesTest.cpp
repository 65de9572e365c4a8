// Rules of the format and of the reference player that carry over to movies
// nobody here has seen, each on a movie made by our own writer: blend modes
// that need a layer, a layer's colour transform on its flattened picture,
// gradients whose records are out of order, the first background colour,
// the opaque background of PlaceObject3, which clips a timeline keeps.
#include "player/MoviePlayback.h"
#include "player/swf/SwfParser.h"
#include "player/render/Paint.h"
#include "player/ScaleMode.h"
#include "tests/native/AllocationCounter.h"
#include "tests/native/MovieFixtures.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

namespace velmora::swf {
namespace {

using test::PlaceAt;
using test::SolidRect;

constexpr uint32_t kOpaqueRed = 0xFFFF0000, kOpaqueGreen = 0xFF00FF00, kOpaqueBlue = 0xFF0000FF;

// A stage of 100 x 100 pixels in blue.
MovieWriter BlueStage() {
  MovieWriter movie({0, 2000, 0, 2000}, 12);
  movie.Timeline().SetBackgroundColor({0, 0, 255});
  return movie;
}

Canvas DrawAfter(const MovieWriter& movie, int frames, bool high = false, int size = 100) {
  MoviePlayback playback = test::LoadMovie(movie);
  for (int i = 0; i < frames; ++i) playback.Step();
  Canvas c;
  c.Resize(size, size);
  playback.Draw(c, ScaleMode::ExactFit, high);
  return c;
}

int Channel(uint32_t argb, int shift) { return static_cast<int>((argb >> shift) & 0xFF); }

// A sprite (id `spriteId`) holding a red square over the whole stage and, on
// top, `topId` placed with `mode`.
void LayerSprite(TagWriter& t, uint16_t spriteId, uint16_t topId, BlendMode mode) {
  t.DefineShape(10, SolidRect({255, 0, 0}, 0, 0, 2000, 2000));
  TagWriter sprite;
  sprite.Place(PlaceAt(1, 10));
  PlaceObject top = PlaceAt(2, topId);
  top.hasBlendMode = true;
  top.blendMode = mode;
  sprite.Place(top);
  sprite.ShowFrame();
  t.DefineSprite(spriteId, sprite);
}

TEST(BlendRules, EraseCutsOnlyInsideALayerAndChangesNothingElsewhere) {
  // Erase with a layer parent: the green half clears the layer, the stage shows.
  MovieWriter inLayer = BlueStage();
  inLayer.Timeline().DefineShape(1, SolidRect({0, 255, 0}, 0, 0, 1000, 2000));
  LayerSprite(inLayer.Timeline(), 2, 1, BlendMode::Erase);
  PlaceObject parent = PlaceAt(1, 2);
  parent.hasBlendMode = true;
  parent.blendMode = BlendMode::Layer;
  inLayer.Timeline().Place(parent);
  inLayer.Timeline().ShowFrame();
  Canvas a = DrawAfter(inLayer, 1);
  EXPECT_EQ(a.Row(50)[25], kOpaqueBlue);
  EXPECT_EQ(a.Row(50)[75], kOpaqueRed);

  // The same sprite without the layer mode: the green half leaves the red.
  MovieWriter noLayer = BlueStage();
  noLayer.Timeline().DefineShape(1, SolidRect({0, 255, 0}, 0, 0, 1000, 2000));
  LayerSprite(noLayer.Timeline(), 2, 1, BlendMode::Erase);
  noLayer.Timeline().Place(PlaceAt(1, 2));
  noLayer.Timeline().ShowFrame();
  Canvas b = DrawAfter(noLayer, 1);
  EXPECT_EQ(b.Row(50)[25], kOpaqueRed);
  EXPECT_EQ(b.Row(50)[75], kOpaqueRed);
}

TEST(BlendRules, AlphaKeepsWhatLiesOutsideItsBoundsAndChangesNothingOnTheStage) {
  // A half-transparent grey square over the sprite's left half, in alpha mode.
  auto greySquare = [](TagWriter& t) {
    t.DefineShape(1, SolidRect({128, 128, 128, 128}, 0, 0, 1000, 1000));
  };
  MovieWriter inLayer = BlueStage();
  greySquare(inLayer.Timeline());
  LayerSprite(inLayer.Timeline(), 2, 1, BlendMode::Alpha);
  PlaceObject parent = PlaceAt(1, 2);
  parent.hasBlendMode = true;
  parent.blendMode = BlendMode::Layer;
  inLayer.Timeline().Place(parent);
  inLayer.Timeline().ShowFrame();
  Canvas a = DrawAfter(inLayer, 1);
  // Inside the square the red keeps half its alpha over the blue stage.
  EXPECT_NEAR(Channel(a.Row(25)[25], 16), 128, 2);
  EXPECT_NEAR(Channel(a.Row(25)[25], 0), 127, 2);
  // Outside the square's bounds the layer is untouched.
  EXPECT_EQ(a.Row(75)[75], kOpaqueRed);
  EXPECT_EQ(a.Row(75)[25], kOpaqueRed);

  // Straight on the stage, with no layer around it, alpha mode leaves the
  // stage as it is.
  MovieWriter onStage = BlueStage();
  greySquare(onStage.Timeline());
  PlaceObject square = PlaceAt(1, 1);
  square.hasBlendMode = true;
  square.blendMode = BlendMode::Alpha;
  onStage.Timeline().Place(square);
  onStage.Timeline().ShowFrame();
  Canvas b = DrawAfter(onStage, 1);
  EXPECT_EQ(b.Row(25)[25], kOpaqueBlue);
  EXPECT_EQ(b.Row(75)[75], kOpaqueBlue);
}

TEST(BlendRules, ALayersAlphaActsOnItsFlattenedPictureAtEachLevel) {
  // Green over red inside a layer at half alpha: where they overlap only
  // the green shows, at half strength, with no red through it.
  MovieWriter movie = BlueStage();
  TagWriter& t = movie.Timeline();
  t.DefineShape(1, SolidRect({255, 0, 0}, 0, 0, 2000, 2000));
  t.DefineShape(2, SolidRect({0, 255, 0}, 0, 0, 1000, 2000));
  TagWriter inner;
  inner.Place(PlaceAt(1, 1));
  inner.Place(PlaceAt(2, 2));
  inner.ShowFrame();
  t.DefineSprite(3, inner);
  // The same group nested in a second half-transparent layer.
  TagWriter outer;
  PlaceObject group = PlaceAt(1, 3);
  group.hasBlendMode = true;
  group.blendMode = BlendMode::Layer;
  group.hasColorTransform = true;
  group.colorTransform = ColorTransform::Alpha(0.5);
  outer.Place(group);
  outer.ShowFrame();
  t.DefineSprite(4, outer);
  PlaceObject top = PlaceAt(1, 4);
  top.hasBlendMode = true;
  top.blendMode = BlendMode::Layer;
  top.hasColorTransform = true;
  top.colorTransform = ColorTransform::Alpha(0.5);
  t.Place(top);
  t.ShowFrame();
  Canvas c = DrawAfter(movie, 1);
  const uint32_t overlap = c.Row(50)[25], redOnly = c.Row(50)[75];
  EXPECT_LE(Channel(overlap, 16), 1) << std::hex << overlap;
  EXPECT_NEAR(Channel(overlap, 8), 64, 2);
  EXPECT_NEAR(Channel(overlap, 0), 191, 2);
  EXPECT_NEAR(Channel(redOnly, 16), 64, 2);
  EXPECT_NEAR(Channel(redOnly, 0), 191, 2);
}

// The first ramp entry that stands for whole ratio `r`.
size_t EntryAt(int r) { return static_cast<size_t>(std::ceil(r * (kRampSize - 1) / 255.0)); }

TEST(GradientRules, RecordsOutOfOrderEachTakeOneStepThenTheColourMovesOnFromTheirOwnRatio) {
  Gradient g;
  // Red 0, green 128, cyan 50, blue 255.
  g.stops = {{0, {255, 0, 0, 255}}, {128, {0, 255, 0, 255}}, {50, {0, 255, 255, 255}}, {255, {0, 0, 255, 255}}};
  auto ramp = BuildGradientRamp(g, ColorTransform{}, RampSteps::WholeRatios);
  EXPECT_EQ(ramp[EntryAt(128)], kOpaqueGreen);
  EXPECT_EQ(ramp[EntryAt(129)], 0xFF00FFFFu) << "the cyan record shows for one step";
  // From there towards blue, measured from cyan's own ratio 50: at 130 the
  // green has 125 / 205 of the way to go.
  EXPECT_EQ(Channel(ramp[EntryAt(130)], 8), 155);
  EXPECT_EQ(ramp[EntryAt(255)], kOpaqueBlue);

  // A record after one at 255 is never reached.
  g.stops = {{0, {255, 0, 0, 255}}, {128, {0, 255, 0, 255}}, {255, {0, 0, 255, 255}}, {128, {0, 255, 255, 255}}};
  ramp = BuildGradientRamp(g, ColorTransform{}, RampSteps::WholeRatios);
  EXPECT_EQ(ramp[EntryAt(255)], kOpaqueBlue);
  EXPECT_EQ(Channel(ramp[EntryAt(192)], 8), 126);  // about halfway from green to blue
}

TEST(GradientRules, ManyRecordsSharingARatioShowAsBandsInTheirOrderOnTheStage) {
  // A linear gradient over 256 pixels, about one ratio a pixel: four
  // records at 100, then white at 255.
  MovieWriter movie({0, 256 * 20, 0, 200}, 12);
  TagWriter& t = movie.Timeline();
  ShapeBuilder s;
  const double scale = 256.0 * 20 / 32768;
  unsigned fill = s.AddLinearGradient(Matrix::ScaleRotateTranslate(scale, scale, 0, 128 * 20, 100),
                                      {{0, {0, 0, 0}}, {100, {255, 0, 0}}, {100, {0, 255, 0}},
                                       {100, {0, 0, 255}}, {100, {255, 255, 0}}, {255, {255, 255, 255}}});
  s.SelectStyles(0, fill, 0);
  s.Rectangle({0, 256 * 20, 0, 200});
  t.DefineShape(1, s);
  t.Place(PlaceAt(1, 1));
  t.ShowFrame();
  Bytes bytes = movie.Finish(Compression::kZlib);
  MoviePlayback playback;
  ASSERT_TRUE(playback.LoadBytes(bytes.data(), bytes.size()));
  playback.Step();
  Canvas c;
  c.Resize(256, 10);
  playback.Draw(c, ScaleMode::ExactFit, true);
  // The colours met from pixel 90 to 115, each run counted once.
  std::vector<uint32_t> runs;
  for (int x = 90; x < 115; ++x)
    if (runs.empty() || runs.back() != c.Row(5)[x]) runs.push_back(c.Row(5)[x]);
  const std::vector<uint32_t> bands = {kOpaqueRed, kOpaqueGreen, kOpaqueBlue, 0xFFFFFF00u};
  auto at = std::search(runs.begin(), runs.end(), bands.begin(), bands.end());
  ASSERT_NE(at, runs.end()) << "each record at 100 shows as a band, in order";
  // Each band is a ratio wide: a pixel or two.
  int widest = 0, width = 0;
  for (int x = 90; x < 115; ++x) {
    const uint32_t p = c.Row(5)[x];
    width = x > 90 && p == c.Row(5)[x - 1] ? width + 1 : 1;
    if (p == kOpaqueGreen || p == kOpaqueBlue) widest = std::max(widest, width);
  }
  EXPECT_LE(widest, 2);
}

TEST(StageRules, OnlyTheFirstBackgroundColourCounts) {
  MovieWriter movie({0, 2000, 0, 2000}, 12);
  TagWriter& t = movie.Timeline();
  t.SetBackgroundColor({255, 0, 0});
  t.ShowFrame();
  t.SetBackgroundColor({0, 255, 0});
  t.ShowFrame();
  EXPECT_EQ(DrawAfter(movie, 2).Row(50)[50], kOpaqueRed);
}

// The frame the clip at `depth` of `parent` shows, or -1 when there is none.
int FrameAt(const Clip& parent, uint16_t depth) {
  auto it = parent.DisplayList().find(depth);
  if (it == parent.DisplayList().end() || !it->second.clip) return -1;
  return static_cast<int>(it->second.clip->CurrentFrame());
}

// Sprite 2: four empty frames, looked at only through its frame counter.
void CounterSprite(TagWriter& t) {
  TagWriter counter;
  for (int f = 0; f < 4; ++f) counter.ShowFrame();
  t.DefineSprite(2, counter);
}

TEST(TimelineRules, ANestedSpriteShowsItsFirstFrameOnTheTickItIsPlacedAtAnyLevel) {
  MovieWriter movie = BlueStage();
  TagWriter& t = movie.Timeline();
  CounterSprite(t);
  TagWriter later;  // sprite 3 places the counter on its second frame
  later.ShowFrame();
  later.Place(PlaceAt(1, 2));
  later.ShowFrame();
  later.ShowFrame();
  t.DefineSprite(3, later);
  TagWriter first;  // sprite 4 places it on its first
  first.Place(PlaceAt(1, 2));
  first.ShowFrame();
  t.DefineSprite(4, first);
  t.Place(PlaceAt(1, 3));
  t.ShowFrame();
  t.Place(PlaceAt(2, 4));  // placed on the tick sprite 3 moves on
  t.ShowFrame();
  t.ShowFrame();
  MoviePlayback p = test::LoadMovie(movie);
  p.Step();
  EXPECT_EQ(FrameAt(*p.Root()->DisplayList().at(1).clip, 1), -1);
  p.Step();
  EXPECT_EQ(FrameAt(*p.Root()->DisplayList().at(1).clip, 1), 0);
  EXPECT_EQ(FrameAt(*p.Root()->DisplayList().at(2).clip, 1), 0);
  p.Step();
  EXPECT_EQ(FrameAt(*p.Root()->DisplayList().at(1).clip, 1), 1);
  EXPECT_EQ(FrameAt(*p.Root()->DisplayList().at(2).clip, 1), 1);
}

TEST(TimelineRules, GoingBackKeepsAClipOnlyWhereTheSameCharacterHasTheSameRatio) {
  // Sprite 3 places the counter, removes it, places it again, then loops.
  // The second placement carries its frame as the ratio, as authoring tools
  // write it, or no ratio at all.
  for (std::optional<uint16_t> ratio : {std::optional<uint16_t>(2), std::optional<uint16_t>()}) {
    MovieWriter movie = BlueStage();
    TagWriter& t = movie.Timeline();
    CounterSprite(t);
    TagWriter parent;
    parent.Place(PlaceAt(1, 2));
    parent.ShowFrame();
    parent.Remove(1);
    parent.ShowFrame();
    PlaceObject again = PlaceAt(1, 2);
    again.hasRatio = ratio.has_value();
    again.ratio = ratio.value_or(0);
    parent.Place(again);
    parent.ShowFrame();
    t.DefineSprite(3, parent);
    t.Place(PlaceAt(1, 3));
    t.ShowFrame();
    MoviePlayback p = test::LoadMovie(movie);
    for (int tick = 0; tick < 3; ++tick) p.Step();
    const Clip& parentClip = *p.Root()->DisplayList().at(1).clip;
    ASSERT_EQ(FrameAt(parentClip, 1), 0);  // placed again on this tick
    p.Step();  // the parent loops to its first frame
    EXPECT_EQ(parentClip.CurrentFrame(), 0u);
    // A different ratio: the first frame's counter is a new one. The same
    // (none): it is the one already there, which has run on.
    EXPECT_EQ(FrameAt(parentClip, 1), ratio ? 0 : 1);
  }
}

TEST(PlaceRules, AnOpaqueBackgroundFillsTheObjectsBoundsUnderIt) {
  // A red frame 1 pixel wide over the pixels 20 and 79 of each side, no fill.
  MovieWriter movie = BlueStage();
  TagWriter& t = movie.Timeline();
  ShapeBuilder frame;
  unsigned pen = frame.AddLineStyle(20, {255, 0, 0});
  frame.SelectStyles(0, 0, pen);
  frame.Rectangle({410, 1590, 410, 1590});
  t.DefineShape(1, frame);
  PlaceObject place = PlaceAt(1, 1);
  place.hasOpaqueBackground = true;
  place.opaqueBackground = Rgba{0, 255, 0, 0};  // drawn opaque whatever its alpha
  t.Place(place);
  t.ShowFrame();
  Canvas c = DrawAfter(movie, 1);
  EXPECT_EQ(c.Row(50)[50], kOpaqueGreen);
  EXPECT_EQ(c.Row(50)[20], kOpaqueRed) << "the object is drawn over its background";
  EXPECT_EQ(c.Row(50)[10], kOpaqueBlue);
  EXPECT_EQ(c.Row(90)[50], kOpaqueBlue);
}

TEST(FilterRules, ABlurThatChangesOverFramesIsDrawnAtEachFramesAmount) {
  // A white bar blurred by 0, 8, 16, then 8 and 0 pixels again: the drawn
  // edge spreads and draws back in as a fresh playback of each frame draws it.
  auto make = [] {
    MovieWriter movie = BlueStage();
    TagWriter& t = movie.Timeline();
    t.DefineShape(1, SolidRect({255, 255, 255}, 800, 0, 1200, 2000));
    PlaceObject p = PlaceAt(1, 1);
    p.hasFilters = true;
    p.filters = std::vector<Filter>{Filter::Blur(0, 0, 1)};
    t.Place(p);
    t.ShowFrame();
    for (double amount : {8.0, 16.0, 8.0, 0.0}) {
      PlaceObject m;
      m.depth = 1;
      m.move = true;
      m.hasFilters = true;
      m.filters = std::vector<Filter>{Filter::Blur(amount, amount, 1)};
      t.Place(m);
      t.ShowFrame();
    }
    return movie;
  };
  const MovieWriter movie = make();
  Bytes bytes = movie.Finish(Compression::kZlib);
  MoviePlayback played;
  ASSERT_TRUE(played.LoadBytes(bytes.data(), bytes.size()));
  std::vector<int> spreads;
  for (int frame = 1; frame <= 5; ++frame) {
    played.Step();
    Canvas c;
    c.Resize(100, 100);
    played.Draw(c, ScaleMode::ExactFit, true);
    Canvas fresh = DrawAfter(movie, frame, true);
    EXPECT_EQ(c.pixels, fresh.pixels) << "frame " << frame;
    int spread = 0;  // pixels left of the bar that the blur reached
    for (int x = 0; x < 40; ++x) spread += Channel(c.Row(50)[x], 16) > 0;
    spreads.push_back(spread);
  }
  EXPECT_LT(spreads[0], spreads[1]);
  EXPECT_LT(spreads[1], spreads[2]);
  EXPECT_EQ(spreads[3], spreads[1]);
  EXPECT_EQ(spreads[4], spreads[0]);
}

// A white bar over a blue stage of `size` pixels, blurred by `blur` in
// both directions; the bar's edges lie on whole pixels at any view scale.
MovieWriter BlurredBar(int size, int barFrom, int barTo, double blur) {
  MovieWriter movie({0, size * 20, 0, size * 20}, 12);
  TagWriter& t = movie.Timeline();
  t.SetBackgroundColor({0, 0, 255});
  t.DefineShape(1, SolidRect({255, 255, 255}, barFrom * 20, 0, barTo * 20, size * 20));
  PlaceObject p = PlaceAt(1, 1);
  p.hasFilters = true;
  p.filters = std::vector<Filter>{Filter::Blur(blur, blur, 1)};
  t.Place(p);
  t.ShowFrame();
  return movie;
}

TEST(FilterRules, OnlyTheBlurBeyondItsFirstPixelGrowsWithTheView) {
  // Blur 5 on a stage shown at twice its size draws as blur (5 - 1) * 2 + 1
  // = 9 on a stage of that size, not as blur 10.
  const Canvas doubled = DrawAfter(BlurredBar(50, 20, 30, 5), 1, true, 100);
  const Canvas nine = DrawAfter(BlurredBar(100, 40, 60, 9), 1, true, 100);
  const Canvas ten = DrawAfter(BlurredBar(100, 40, 60, 10), 1, true, 100);
  EXPECT_EQ(doubled.pixels, nine.pixels);
  EXPECT_NE(nine.pixels, ten.pixels);
  // A blur of 1 leaves the picture as it is, at any view.
  const Canvas one = DrawAfter(BlurredBar(50, 20, 30, 1), 1, true, 100);
  EXPECT_EQ(one.Row(50)[39], kOpaqueBlue);
  EXPECT_EQ(one.Row(50)[40], 0xFFFFFFFFu);
}

TEST(FilterRules, AFractionalBlurIsDrawnAlikeAtLowAndHighQuality) {
  // The bar's edges are whole pixels, so only the filter could tell the
  // qualities apart: a blur of 4.5 weighs its end pixels in part at both.
  const MovieWriter movie = BlurredBar(100, 40, 60, 4.5);
  const Canvas low = DrawAfter(movie, 1, false), high = DrawAfter(movie, 1, true);
  EXPECT_EQ(low.pixels, high.pixels);
  // The box covers 1 pixel each side whole and the next in part: the pixel
  // two out from the bar's edge gets some white, three out none.
  EXPECT_GT(Channel(low.Row(50)[38], 16), 0);
  EXPECT_EQ(Channel(low.Row(50)[37], 16), 0);
}

TEST(FilterRules, AHugeFilterOnASmallScreenCostsABoundedLayer) {
  // Fifteen passes of the widest blur reach nearly 2,000 pixels past a
  // 64 x 48 picture: the filter's layer stays within a screen's size of it.
  MovieWriter movie({0, 64 * 20, 0, 48 * 20}, 12);
  TagWriter& t = movie.Timeline();
  t.DefineShape(1, SolidRect({255, 255, 255}, 0, 0, 64 * 20, 48 * 20));
  PlaceObject p = PlaceAt(1, 1);
  p.hasFilters = true;
  p.filters = std::vector<Filter>{Filter::Blur(255, 255, 15)};
  t.Place(p);
  t.ShowFrame();
  const Bytes bytes = movie.Finish(Compression::kZlib);
  MoviePlayback playback;
  ASSERT_TRUE(playback.LoadBytes(bytes.data(), bytes.size()));
  playback.Step();
  Canvas c;
  c.Resize(64, 48);
  const test::AllocationCounter counter;
  playback.Draw(c, ScaleMode::ExactFit, false);
  // Three screens a side at most, a few copies of it: well under 2 MB.
  EXPECT_LT(counter.Peak(), size_t{2} << 20);
}

// Draws `frames` frames of `bytes` at `size` x `size`, in one piece or in two
// bands on two threads, and gives every frame's picture.
std::vector<std::vector<uint32_t>> DrawFrames(const Bytes& bytes, int frames, int size, bool bands) {
  MoviePlayback playback;
  EXPECT_TRUE(playback.LoadBytes(bytes.data(), bytes.size()));
  playback.DrawInBands(bands);
  std::vector<std::vector<uint32_t>> pictures;
  Canvas c;
  c.Resize(size, size);
  for (int i = 0; i < frames; ++i) {
    playback.Step();
    playback.Draw(c, ScaleMode::ExactFit, i % 2 == 0);
    pictures.push_back(c.pixels);
  }
  return pictures;
}

TEST(Bands, TwoBandsDrawTheSamePicturesAsOne) {
  // What reaches across the middle row: a blurred square moving down, a
  // mask, a layer with an erasing child, and the demo movie.
  MovieWriter movie = BlueStage();
  TagWriter& t = movie.Timeline();
  t.DefineShape(1, SolidRect({255, 255, 255}, 600, 600, 1400, 1400));
  t.DefineShape(2, SolidRect({0, 255, 0, 200}, 200, 900, 1800, 1100));
  LayerSprite(t, 3, 2, BlendMode::Erase);
  PlaceObject mask = PlaceAt(1, 1, 0, -300);
  mask.hasClipDepth = true;
  mask.clipDepth = 2;
  t.Place(mask);
  PlaceObject layer = PlaceAt(2, 3);
  layer.hasBlendMode = true;
  layer.blendMode = BlendMode::Layer;
  layer.hasColorTransform = true;
  layer.colorTransform = ColorTransform::Alpha(0.7);
  t.Place(layer);
  PlaceObject blurred = PlaceAt(3, 1, -200, -400);
  blurred.hasFilters = true;
  blurred.filters = std::vector<Filter>{Filter::Blur(12, 12, 2)};
  t.Place(blurred);
  t.ShowFrame();
  for (int step = 1; step <= 4; ++step) {
    t.Place(test::MoveTo(3, -200, -400 + 150 * step));
    t.ShowFrame();
  }
  const Bytes bytes = movie.Finish(Compression::kZlib);
  EXPECT_EQ(DrawFrames(bytes, 5, 200, true), DrawFrames(bytes, 5, 200, false));

  std::ifstream demo(VELMORA_SOURCE_DIR "/demo/Flashs/Demo.swf", std::ios::binary);
  const Bytes demoBytes((std::istreambuf_iterator<char>(demo)), std::istreambuf_iterator<char>());
  ASSERT_FALSE(demoBytes.empty());
  EXPECT_EQ(DrawFrames(demoBytes, 6, 240, true), DrawFrames(demoBytes, 6, 240, false));
}

// Bytes as zlib packs them.
std::vector<uint8_t> Packed(const std::vector<uint8_t>& bytes) {
  uLongf size = compressBound(static_cast<uLong>(bytes.size()));
  std::vector<uint8_t> packed(size);
  EXPECT_EQ(compress2(packed.data(), &size, bytes.data(), static_cast<uLong>(bytes.size()), 9), Z_OK);
  packed.resize(size);
  return packed;
}

// A DefineBitsLossless2 picture of 32-bit pixels (alpha first), packed.
void AddLosslessPicture(TagWriter& t, uint16_t id, uint16_t width, uint16_t height, const std::vector<uint8_t>& packed) {
  BitWriter body;
  body.UI16(id);
  body.UI8(5);  // 32-bit pixels
  body.UI16(width);
  body.UI16(height);
  body.Append(packed);
  t.Raw(tag::kDefineBitsLossless2, body.Data());
}

TEST(PictureMemory, AMovieOfManyLargePicturesGetsOnlyWhatItsBudgetHolds) {
  // Five 4096 x 4096 bitmaps of a few kilobytes each: four fill the movie's
  // memory for pictures, the fifth is left out (its fills draw nothing).
  MovieWriter movie({0, 2000, 0, 2000}, 12);
  const std::vector<uint8_t> packed = Packed(std::vector<uint8_t>(static_cast<size_t>(4096) * 4096 * 4, 0));
  for (uint16_t id = 1; id <= 5; ++id) AddLosslessPicture(movie.Timeline(), id, 4096, 4096, packed);
  movie.Timeline().ShowFrame();
  const Bytes bytes = movie.Finish(Compression::kNone);
  const ParseResult result = ParseMovie(bytes.data(), bytes.size());
  ASSERT_TRUE(result.ok);
  EXPECT_TRUE(result.partial);
  for (uint16_t id = 1; id <= 4; ++id) {
    const Character* c = result.movie.Find(id);
    ASSERT_NE(c, nullptr) << id;
    EXPECT_EQ(c->bitmap->width, 4096);
  }
  EXPECT_EQ(result.movie.Find(5), nullptr);
}

TEST(PictureMemory, APictureIsMarkedOpaqueWhenEveryPixelIs) {
  MovieWriter movie({0, 2000, 0, 2000}, 12);
  // Two 2 x 2 pictures of 32-bit pixels (alpha first), the second with one
  // pixel half seen through.
  const std::vector<std::vector<uint8_t>> pixels = {
      {255, 10, 20, 30, 255, 40, 50, 60, 255, 70, 80, 90, 255, 1, 2, 3},
      {255, 10, 20, 30, 128, 40, 50, 60, 255, 70, 80, 90, 255, 1, 2, 3}};
  for (uint16_t id = 1; id <= 2; ++id) AddLosslessPicture(movie.Timeline(), id, 2, 2, Packed(pixels[id - 1]));
  movie.Timeline().ShowFrame();
  const Bytes bytes = movie.Finish(Compression::kNone);
  const ParseResult result = ParseMovie(bytes.data(), bytes.size());
  ASSERT_TRUE(result.ok);
  ASSERT_NE(result.movie.Find(1), nullptr);
  ASSERT_NE(result.movie.Find(2), nullptr);
  EXPECT_TRUE(result.movie.Find(1)->bitmap->opaque);
  EXPECT_FALSE(result.movie.Find(2)->bitmap->opaque);
}

}  // namespace
}  // namespace velmora::swf
