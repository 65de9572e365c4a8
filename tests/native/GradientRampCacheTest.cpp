// The renderer keeps gradient ramps between fills and frames: a gradient
// drawn beside the same gradient under another colour transform, or under
// a transform that changes from frame to frame, looks as it does alone.
#include "player/MoviePlayback.h"
#include "tests/native/MovieFixtures.h"

#include <gtest/gtest.h>

namespace velmora::swf {
namespace {

constexpr int kWidth = 100, kHeight = 50;

ColorTransform Tint(int frame) {
  ColorTransform t = ColorTransform::Alpha(0.4 + 0.2 * frame);
  t.rAdd = 30 * frame;
  return t;
}

// One radial gradient square shown twice, side by side: on the left tinted
// anew each frame, on the right as it is; `left` and `right` choose which.
Bytes TwoGradients(bool left, bool right) {
  MovieWriter movie({0, kWidth * 20, 0, kHeight * 20}, 12);
  TagWriter& t = movie.Timeline();
  t.SetBackgroundColor({255, 255, 255});
  ShapeBuilder s;
  s.SelectStyles(0, s.AddRadialGradient(Matrix::ScaleRotateTranslate(0.04, 0.04, 0, 500, 500),
                                        {{0, {250, 200, 40}}, {128, {30, 160, 90, 200}}, {255, {10, 20, 200}}}),
                 0);
  s.Rectangle({0, 1000, 0, 1000});
  t.DefineShape(1, s);
  for (int frame = 0; frame < 3; ++frame) {
    if (left) {
      PlaceObject p = frame == 0 ? test::PlaceAt(1, 1) : test::MoveTo(1, 0, 0);
      p.hasColorTransform = true;
      p.colorTransform = Tint(frame);
      t.Place(p);
    }
    if (right && frame == 0) t.Place(test::PlaceAt(2, 1, 1000, 0));
    t.ShowFrame();
  }
  return movie.Finish(Compression::kZlib);
}

// Frame `frame` of `bytes` drawn by a renderer of its own.
Canvas DrawnAlone(const Bytes& bytes, int frame, bool high) {
  MoviePlayback p;
  EXPECT_TRUE(p.LoadBytes(bytes.data(), bytes.size()));
  for (int i = 0; i < frame; ++i) p.Step();
  Canvas c;
  c.Resize(kWidth, kHeight);
  p.Draw(c, ScaleMode::ShowAll, high);
  return c;
}

TEST(GradientRampCache, AGradientUnderEachTransformLooksAsItDoesAlone) {
  const Bytes b = TwoGradients(true, true), l = TwoGradients(true, false), r = TwoGradients(false, true);
  MoviePlayback both;
  ASSERT_TRUE(both.LoadBytes(b.data(), b.size()));
  Canvas c;
  c.Resize(kWidth, kHeight);
  for (int frame = 1; frame <= 3; ++frame) {
    both.Step();
    // Both qualities, whose ramps step differently, from the same renderer.
    for (bool high : {true, false}) {
      both.Draw(c, ScaleMode::ShowAll, high);
      const Canvas cl = DrawnAlone(l, frame, high), cr = DrawnAlone(r, frame, high);
      for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
          ASSERT_EQ(c.Row(y)[x], (x < kWidth / 2 ? cl : cr).Row(y)[x])
              << "frame " << frame << " at " << x << "," << y << (high ? " high" : " low");
    }
  }
}

}  // namespace
}  // namespace velmora::swf
