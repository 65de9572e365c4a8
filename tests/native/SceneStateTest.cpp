// A frame whose display tree and view are those of the frame before is not
// drawn again; any change anywhere in the tree, or in the view, is.
#include "player/render/SceneState.h"
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

// The shadow the tests' objects cast.
Filter Shadow(double distance) { return test::DropShadow(distance, 4, 1); }

// A sprite with a drop shadow over a masked square. The sprite's own square
// moves on its next `innerMoves` frames and then stops; the main timeline
// moves nothing after its first frame, but on frame `shadowFrame` (if any)
// places the sprite again with a longer shadow.
Bytes NestedMovie(int innerMoves, int frames, int shadowFrame = -1) {
  MovieWriter movie({0, 2000, 0, 2000}, 12);
  TagWriter& t = movie.Timeline();
  t.SetBackgroundColor({200, 200, 200});
  TagWriter sprite;
  sprite.DefineShape(4, SolidRect({0, 0, 255, 255}, 0, 0, 400, 400));
  sprite.Place(PlaceAt(1, 4));
  sprite.ShowFrame();
  for (int i = 1; i <= innerMoves; ++i) {
    sprite.Place(MoveTo(1, 100 * i, 50 * i));
    if (i == innerMoves) sprite.DoAction(ActionBuilder().Stop());
    sprite.ShowFrame();
  }
  t.DefineShape(1, SolidRect({255, 0, 0, 255}, 200, 200, 1800, 1800));
  t.DefineShape(2, SolidRect({0, 255, 0, 255}, 0, 0, 1200, 1200));
  t.DefineSprite(3, sprite);
  PlaceObject mask = PlaceAt(1, 2);
  mask.hasClipDepth = true;
  mask.clipDepth = 2;
  t.Place(mask);
  t.Place(PlaceAt(2, 1));
  PlaceObject shadowed = PlaceAt(3, 3, 300, 300);
  shadowed.hasFilters = true;
  shadowed.filters = {Shadow(4)};
  t.Place(shadowed);
  t.ShowFrame();
  for (int frame = 1; frame < frames; ++frame) {
    if (frame == shadowFrame) {
      PlaceObject longer;
      longer.depth = 3;
      longer.move = true;
      longer.hasFilters = true;
      longer.filters = {Shadow(12)};
      t.Place(longer);
    }
    t.ShowFrame();
  }
  return movie.Finish(Compression::kNone);
}

Canvas DrawnFromNothing(const Bytes& bytes, int steps, bool high, std::optional<uint32_t> background) {
  MoviePlayback p;
  EXPECT_TRUE(p.LoadBytes(bytes.data(), bytes.size()));
  for (int i = 0; i < steps; ++i) p.Step();
  Canvas c;
  c.Resize(90, 90);
  p.Draw(c, ScaleMode::ShowAll, high, background);
  return c;
}

// Plays `bytes` for `steps` frames through DrawIfChanged into one canvas;
// each frame's picture must be the one drawn from nothing.
std::vector<bool> Played(const Bytes& bytes, int steps) {
  MoviePlayback p;
  EXPECT_TRUE(p.LoadBytes(bytes.data(), bytes.size()));
  Canvas c;
  c.Resize(90, 90);
  std::vector<bool> drawn;
  for (int step = 1; step <= steps; ++step) {
    p.Step();
    drawn.push_back(p.DrawIfChanged(c, ScaleMode::ShowAll, true));
    EXPECT_EQ(c.pixels, DrawnFromNothing(bytes, step, true, std::nullopt).pixels) << "frame " << step;
  }
  return drawn;
}

TEST(StillFrames, AStillFilteredAndMaskedTreeIsDrawnOnce) {
  // Nothing moves after the first frame: the looping movie draws only it.
  EXPECT_EQ(Played(NestedMovie(0, 3), 7), (std::vector<bool>{true, false, false, false, false, false, false}));
}

TEST(StillFrames, AChangeDeepInsideASpriteIsDrawn) {
  // The main timeline stands still; the sprite's square moves on its
  // frames 2-4 and then stops.
  EXPECT_EQ(Played(NestedMovie(3, 1), 6), (std::vector<bool>{true, true, true, true, false, false}));
}

TEST(StillFrames, AFilterChangedAloneIsDrawn) {
  EXPECT_EQ(Played(NestedMovie(0, 4, 2), 4), (std::vector<bool>{true, false, true, false}));
}

TEST(StillFrames, AnotherViewOfTheSameTreeIsDrawn) {
  const Bytes bytes = NestedMovie(0, 1);
  MoviePlayback p;
  ASSERT_TRUE(p.LoadBytes(bytes.data(), bytes.size()));
  Canvas c;
  c.Resize(90, 90);
  p.Step();
  ASSERT_TRUE(p.DrawIfChanged(c, ScaleMode::ShowAll, true));
  p.Step();
  EXPECT_FALSE(p.DrawIfChanged(c, ScaleMode::ShowAll, true));
  EXPECT_TRUE(p.DrawIfChanged(c, ScaleMode::ShowAll, false)) << "another quality";
  EXPECT_TRUE(p.DrawIfChanged(c, ScaleMode::ShowAll, false, 0x102030)) << "another background";
  EXPECT_EQ(c.pixels, DrawnFromNothing(bytes, 2, false, 0x102030).pixels);
  EXPECT_TRUE(p.DrawIfChanged(c, ScaleMode::ExactFit, false, 0x102030)) << "another scale mode";
  Canvas other;
  other.Resize(90, 90);
  EXPECT_TRUE(p.DrawIfChanged(other, ScaleMode::ExactFit, false, 0x102030)) << "another canvas holds nothing yet";
  c.Resize(60, 60);
  EXPECT_TRUE(p.DrawIfChanged(c, ScaleMode::ExactFit, false, 0x102030)) << "another size";
  EXPECT_FALSE(p.DrawIfChanged(c, ScaleMode::ExactFit, false, 0x102030));
}

TEST(StillFrames, TheFirstStateAndOneAfterForgetAreComparedWithNothing) {
  const Bytes bytes = NestedMovie(0, 1);
  const ParseResult parsed = ParseMovie(bytes.data(), bytes.size());
  Clip clip(parsed.movie, parsed.movie.timeline, true);
  clip.Start();
  SceneState state;
  EXPECT_FALSE(state.TakeAndCompare(clip));
  EXPECT_TRUE(state.TakeAndCompare(clip));
  state.Forget();
  EXPECT_FALSE(state.TakeAndCompare(clip));
  clip.GotoFrame(0, false);
  EXPECT_TRUE(state.TakeAndCompare(clip)) << "showing the same frame again changes nothing";
}

}  // namespace
}  // namespace velmora::swf
