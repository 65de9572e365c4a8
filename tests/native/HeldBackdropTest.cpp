// Played frame after frame into one canvas, a movie over a still background
// gives every frame the picture it has drawn whole, although the held
// background is put back only where the frame before drew over it: with
// shadows reaching past their objects, blend modes, objects leaving the
// canvas or the list, changes of quality and of bands between frames. Every
// pixel that changed from one frame to the next lies inside the area the
// playback says it changed, which is less than the whole where it can be.
#include "player/MoviePlayback.h"
#include "player/render/ChangedArea.h"
#include "tests/native/MovieFixtures.h"

#include <gtest/gtest.h>

namespace velmora::swf {
namespace {

using test::MoveTo;
using test::PlaceAt;
using test::SolidRect;

// The shadow the tests' objects cast.
Filter Shadow(double distance) { return test::DropShadow(distance, 6, 2); }

// A still backdrop under a shadowed square that crosses the stage and
// leaves it, a multiplied square that is taken away on frame 12, and a
// third square that comes back on frame 16.
Bytes MovingOverBackdrop() {
  MovieWriter movie({0, 4000, 0, 3000}, 12);
  TagWriter& t = movie.Timeline();
  t.SetBackgroundColor({20, 40, 60});
  t.DefineShape(1, SolidRect({90, 120, 150}, 0, 0, 4000, 3000));
  t.DefineShape(2, SolidRect({220, 60, 40}, 0, 0, 500, 500));
  t.DefineShape(3, SolidRect({40, 90, 230, 160}, 0, 0, 700, 400));
  t.Place(PlaceAt(1, 1));
  PlaceObject shadowed = PlaceAt(2, 2, -400, 800);
  shadowed.hasFilters = true;
  shadowed.filters = {Shadow(25)};
  t.Place(shadowed);
  PlaceObject multiplied = PlaceAt(3, 3, 2500, 300);
  multiplied.hasBlendMode = true;
  multiplied.blendMode = BlendMode::Multiply;
  t.Place(multiplied);
  t.Place(PlaceAt(4, 2, 3000, 2400));
  t.ShowFrame();
  for (int frame = 1; frame < 24; ++frame) {
    t.Place(MoveTo(2, -400 + frame * 230, 800 + frame * 37));
    if (frame < 12) t.Place(MoveTo(3, 2500 - frame * 90, 300 + frame * 110));
    if (frame == 12) t.Remove(3);
    if (frame == 8) t.Remove(4);
    if (frame == 16) t.Place(PlaceAt(4, 2, 1000, 2000));
    t.ShowFrame();
  }
  return movie.Finish(Compression::kZlib);
}

struct Played {
  int partial = 0;   // frames that took less than a whole frame from the held background
  int narrowed = 0;  // frames whose changed area was less than the whole canvas
};

// Plays `played` through DrawIfChanged and `whole` through Draw, in step,
// on canvases of `width` x `height`; every frame's pictures must agree, and
// what changed in `played`'s canvas must lie within its changed area.
// Quality and bands change on the way.
Played PlayBeside(MoviePlayback& played, MoviePlayback& whole, int width, int height, int steps) {
  Canvas a, b;
  a.Resize(width, height);
  b.Resize(width, height);
  Played counts;
  for (int step = 1; step <= steps; ++step) {
    const bool high = step < steps / 2 || step > steps / 2 + 2;
    played.DrawInBands(step < steps * 3 / 4 || step > steps * 3 / 4 + 3);
    played.Step();
    whole.Step();
    const std::vector<uint32_t> before = a.pixels;
    const bool drawn = played.DrawIfChanged(a, ScaleMode::ShowAll, high);
    whole.Draw(b, ScaleMode::ShowAll, high);
    EXPECT_EQ(a.pixels, b.pixels) << "frame " << step;
    if (a.pixels != b.pixels) return {-1, -1};
    const ChangedRect changed = ChangedArea(a.pixels.data(), width, before.data(), width, width, height);
    const PixelBounds said = drawn ? played.ChangedBounds() : PixelBounds{};
    if (!changed.Empty()) {
      EXPECT_TRUE(changed.x0 >= said.x0 && changed.y0 >= said.y0 && changed.x1 <= said.x1 && changed.y1 <= said.y1)
          << "frame " << step << ": changed " << changed.x0 << "," << changed.y0 << " - " << changed.x1 << ","
          << changed.y1 << " outside " << said.x0 << "," << said.y0 << " - " << said.x1 << "," << said.y1;
    }
    if (drawn && (said.x0 > 0 || said.y0 > 0 || said.x1 < width || said.y1 < height)) ++counts.narrowed;
    const size_t taken = played.PixelsTakenFromHeld();
    if (taken > 0 && taken < a.pixels.size()) ++counts.partial;
  }
  return counts;
}

TEST(HeldBackdrop, ObjectsMovingOverAStillBackdropGiveTheWholePicture) {
  const Bytes bytes = MovingOverBackdrop();
  for (int height : {150, 90}) {  // in two bands and in one
    MoviePlayback played, whole;
    ASSERT_TRUE(played.LoadBytes(bytes.data(), bytes.size()));
    ASSERT_TRUE(whole.LoadBytes(bytes.data(), bytes.size()));
    const Played counts = PlayBeside(played, whole, height * 4 / 3, height, 60);
    EXPECT_GT(counts.partial, 30) << height;
    EXPECT_GT(counts.narrowed, 30) << height;
  }
}

TEST(HeldBackdrop, TheDemoPlayedGivesTheWholePicture) {
  MoviePlayback played, whole;
  ASSERT_TRUE(played.Load(VELMORA_SOURCE_DIR "/demo/Flashs/Demo.swf")) << played.Error();
  ASSERT_TRUE(whole.Load(VELMORA_SOURCE_DIR "/demo/Flashs/Demo.swf"));
  // Past the end of its loop, back to the first frame.
  const Played counts = PlayBeside(played, whole, 320, 180, 130);
  EXPECT_GT(counts.partial, 100);
  EXPECT_GT(counts.narrowed, 100);
}

}  // namespace
}  // namespace velmora::swf
