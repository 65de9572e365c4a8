// The held picture of still back objects: a frame drawn through it must be
// the frame drawn from nothing, and it must be used only while it is right.
#include "player/render/BackdropCache.h"
#include "player/MoviePlayback.h"
#include "player/swf/SwfParser.h"
#include "tests/native/MovieFixtures.h"

#include <gtest/gtest.h>

#include <optional>

namespace velmora::swf {
namespace {

using test::MoveTo;
using test::PlaceAt;
using test::SolidRect;

Bytes FileOf(const MovieWriter& movie) { return movie.Finish(Compression::kNone); }

// A still gradient backdrop, a translucent square moving over it, a still
// shape in front, then a frame that changes the backdrop, then a stop.
Bytes BackdropMovie() {
  MovieWriter movie({0, 2000, 0, 2000}, 12);
  TagWriter& t = movie.Timeline();
  ShapeBuilder backdrop;
  unsigned fill = backdrop.AddLinearGradient(Matrix::ScaleRotateTranslate(2000 / 32768.0, 1, 0.3, 1000, 1000),
                                             {{0, {200, 30, 30, 255}}, {255, {20, 40, 220, 255}}});
  backdrop.SelectStyles(0, fill, 0);
  backdrop.Rectangle({0, 2000, 0, 2000});
  t.DefineShape(1, backdrop);
  t.DefineShape(2, SolidRect({255, 255, 0, 128}, 0, 0, 500, 500));
  t.DefineShape(3, SolidRect({0, 160, 0, 255}, 1200, 1200, 1700, 1500));
  t.Place(PlaceAt(1, 1));
  t.Place(PlaceAt(2, 2, 100, 100));
  t.Place(PlaceAt(3, 3));
  t.ShowFrame();
  for (int frame = 1; frame < 5; ++frame) {
    t.Place(MoveTo(2, 100 + 230 * frame, 100 + 110 * frame));
    t.ShowFrame();
  }
  PlaceObject shift = MoveTo(1, 0, 0);
  shift.hasColorTransform = true;
  shift.colorTransform = ColorTransform::Alpha(0.5);
  t.Place(shift);
  t.ShowFrame();
  t.ShowFrame();
  t.DoAction(ActionBuilder().Stop());
  t.ShowFrame();
  return FileOf(movie);
}

Canvas DrawnFromNothing(const Bytes& bytes, int steps, bool high, int size = 80,
                        std::optional<uint32_t> background = std::nullopt) {
  MoviePlayback p;
  EXPECT_TRUE(p.LoadBytes(bytes.data(), bytes.size()));
  for (int i = 0; i < steps; ++i) p.Step();
  Canvas c;
  c.Resize(size, size);
  p.Draw(c, ScaleMode::ShowAll, high, background);
  return c;
}

TEST(BackdropCache, FramesDrawnThroughTheHeldPictureMatchFramesDrawnFromNothing) {
  const Bytes bytes = BackdropMovie();
  for (bool high : {false, true}) {
    MoviePlayback p;
    ASSERT_TRUE(p.LoadBytes(bytes.data(), bytes.size()));
    Canvas c;
    c.Resize(80, 80);
    for (int step = 1; step <= 10; ++step) {
      p.Step();
      p.Draw(c, ScaleMode::ShowAll, high);
      Canvas expected = DrawnFromNothing(bytes, step, high);
      ASSERT_EQ(c.pixels, expected.pixels) << "frame " << step << (high ? " high" : " low");
    }
    // A new background and a new size are not served from the old picture.
    // (The backdrop is half transparent by now, so the background shows.)
    p.Draw(c, ScaleMode::ShowAll, high, 0x102030);
    EXPECT_EQ(c.pixels, DrawnFromNothing(bytes, 10, high, 80, 0x102030).pixels);
    c.Resize(40, 40);
    p.Draw(c, ScaleMode::ShowAll, high);
    EXPECT_EQ(c.pixels, DrawnFromNothing(bytes, 10, high, 40).pixels);
  }
}

TEST(BackdropCache, ReportsAStillFrameAsUnchanged) {
  const Bytes bytes = BackdropMovie();
  MoviePlayback p;
  ASSERT_TRUE(p.LoadBytes(bytes.data(), bytes.size()));
  Canvas c;
  c.Resize(80, 80);
  std::vector<bool> changed;
  for (int step = 1; step <= 10; ++step) {
    p.Step();
    changed.push_back(p.Draw(c, ScaleMode::ShowAll, false));
  }
  // Frames 1-5 move the square, 6 changes the backdrop; 7 shows 6 again, and
  // the stop on frame 8 holds it.
  EXPECT_EQ(changed, (std::vector<bool>{true, true, true, true, true, true, false, false, false, false}));
  EXPECT_TRUE(p.Draw(c, ScaleMode::ShowAll, true)) << "another quality is another picture";
}

// Plans against a clip of the parsed movie.
struct PlannedClip {
  explicit PlannedClip(const Bytes& bytes) : parsed(ParseMovie(bytes.data(), bytes.size())) {
    clip = std::make_unique<Clip>(parsed.movie, parsed.movie.timeline, true);
    clip->Start();
  }
  ParseResult parsed;
  std::unique_ptr<Clip> clip;
};

TEST(BackdropCache, KeepsOnlyLeadingObjectsThatStayedStill) {
  PlannedClip movie(BackdropMovie());
  BackdropCache cache;
  const BackdropView view{80, 80, 0xFFFFFFFF, Matrix{}, RenderOptions{}};
  EXPECT_EQ(cache.Plan(*movie.clip, view), 0u) << "nothing has stayed still yet";
  movie.clip->Advance();
  EXPECT_EQ(cache.Plan(*movie.clip, view), 1u) << "the backdrop stayed; the square moved";
  EXPECT_TRUE(cache.Fresh());
  movie.clip->Advance();
  EXPECT_EQ(cache.Plan(*movie.clip, view), 1u);
  EXPECT_FALSE(cache.Fresh()) << "the picture held is reused";
  // The same frame again: everything has stayed.
  EXPECT_EQ(cache.Plan(*movie.clip, view), 3u);
  EXPECT_TRUE(cache.Fresh()) << "a longer run is drawn anew";
  EXPECT_EQ(cache.Plan(*movie.clip, view), 3u);
  EXPECT_FALSE(cache.Fresh());
  BackdropView other = view;
  other.view.tx = 1;
  EXPECT_EQ(cache.Plan(*movie.clip, other), 0u) << "a moved view holds nothing at first";
  EXPECT_EQ(cache.Plan(*movie.clip, other), 3u);
  EXPECT_TRUE(cache.Fresh()) << "the view stayed: the picture is drawn again";
  EXPECT_EQ(cache.Plan(*movie.clip, other), 3u);
  EXPECT_FALSE(cache.Fresh());
}

TEST(BackdropCache, MasksAndSpritesEndTheKeptRun) {
  MovieWriter movie({0, 2000, 0, 2000}, 12);
  TagWriter& t = movie.Timeline();
  t.DefineShape(1, SolidRect({255, 0, 0, 255}, 0, 0, 2000, 2000));
  TagWriter sprite;
  sprite.DefineShape(4, SolidRect({0, 0, 255, 255}, 0, 0, 100, 100));
  sprite.Place(PlaceAt(1, 4));
  sprite.ShowFrame();
  t.DefineShape(2, SolidRect({0, 255, 0, 255}, 0, 0, 1000, 1000));
  t.DefineSprite(3, sprite);
  t.Place(PlaceAt(1, 1));
  PlaceObject mask = PlaceAt(2, 2);
  mask.hasClipDepth = true;
  mask.clipDepth = 3;
  t.Place(mask);
  t.Place(PlaceAt(3, 1));
  t.ShowFrame();
  t.ShowFrame();
  PlannedClip masked(FileOf(movie));
  BackdropCache cache;
  const BackdropView view{80, 80, 0xFFFFFFFF, Matrix{}, RenderOptions{}};
  cache.Plan(*masked.clip, view);
  masked.clip->Advance();
  EXPECT_EQ(cache.Plan(*masked.clip, view), 1u) << "the mask at depth 2 ends the run";

  MovieWriter withSprite({0, 2000, 0, 2000}, 12);
  TagWriter& s = withSprite.Timeline();
  s.DefineShape(1, SolidRect({255, 0, 0, 255}, 0, 0, 2000, 2000));
  s.DefineSprite(3, sprite);
  s.Place(PlaceAt(1, 3));
  s.Place(PlaceAt(2, 1));
  s.ShowFrame();
  s.ShowFrame();
  PlannedClip led(FileOf(withSprite));
  BackdropCache spriteCache;
  spriteCache.Plan(*led.clip, view);
  led.clip->Advance();
  EXPECT_EQ(spriteCache.Plan(*led.clip, view), 0u) << "a sprite in front of all keeps nothing";
}

}  // namespace
}  // namespace velmora::swf
