// The timeline and the renderer on movies of our own making: what is shown
// at each frame, and the pixels it gives.
#include "player/render/Filters.h"
#include "player/MoviePlayback.h"
#include "player/render/Paint.h"
#include "player/ScaleMode.h"
#include "tests/native/MovieFixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <vector>

namespace velmora::swf {
namespace {

using test::PlaceAt;
using test::SolidRect;

constexpr uint32_t kOpaqueRed = 0xFFFF0000, kOpaqueBlue = 0xFF0000FF;

uint32_t PixelAt(MoviePlayback& p, int x, int y, bool high, int width = 100, int height = 100) {
  Canvas c;
  c.Resize(width, height);
  p.Draw(c, ScaleMode::ExactFit, high);
  return c.Row(y)[x];
}

MovieWriter BlueStage() {
  MovieWriter movie({0, 2000, 0, 2000}, 12);  // 100 x 100 pixels
  movie.Timeline().SetBackgroundColor({0, 0, 255});
  return movie;
}

TEST(MovieTimeline, PlacesMovesRemovesAndStops) {
  MovieWriter movie = BlueStage();
  TagWriter& t = movie.Timeline();
  t.DefineShape(1, SolidRect({255, 0, 0}, 0, 0, 200, 200));
  t.Place(PlaceAt(1, 1, 100, 0));
  t.ShowFrame();
  t.Place(test::MoveTo(1, 1000, 0));
  t.ShowFrame();
  t.Remove(1);
  t.DoAction(ActionBuilder().Stop());
  t.ShowFrame();
  MoviePlayback p = test::LoadMovie(movie);

  p.Step();
  ASSERT_EQ(p.Root()->DisplayList().count(1), 1u);
  EXPECT_DOUBLE_EQ(p.Root()->DisplayList().at(1).matrix.tx, 100);
  EXPECT_EQ(PixelAt(p, 7, 5, false), kOpaqueRed);
  p.Step();
  EXPECT_DOUBLE_EQ(p.Root()->DisplayList().at(1).matrix.tx, 1000);
  EXPECT_EQ(PixelAt(p, 7, 5, false), kOpaqueBlue);
  EXPECT_EQ(PixelAt(p, 52, 5, false), kOpaqueRed);
  p.Step();
  EXPECT_TRUE(p.Root()->DisplayList().empty());
  EXPECT_FALSE(p.Root()->Playing());
  p.Step();  // stopped: stays on its last frame
  EXPECT_EQ(p.Root()->CurrentFrame(), 2u);
}

TEST(MovieTimeline, LoopsAndGoesBackWithSpritesRunningTheirOwnFrames) {
  MovieWriter movie = BlueStage();
  TagWriter& t = movie.Timeline();
  t.DefineShape(1, SolidRect({255, 0, 0}, 0, 0, 200, 200));
  TagWriter sprite;  // shows the square on its first of three frames only
  sprite.Place(PlaceAt(1, 1));
  sprite.ShowFrame();
  sprite.Remove(1);
  sprite.ShowFrame();
  sprite.ShowFrame();
  t.DefineSprite(2, sprite);
  t.Place(PlaceAt(1, 2));
  t.ShowFrame();
  t.ShowFrame();
  MoviePlayback p = test::LoadMovie(movie);
  p.Step();
  const Clip* child = p.Root()->DisplayList().at(1).clip.get();
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(child->DisplayList().size(), 1u);
  p.Step();
  EXPECT_EQ(p.Root()->CurrentFrame(), 1u);
  EXPECT_EQ(p.Root()->DisplayList().at(1).clip->CurrentFrame(), 1u);
  EXPECT_TRUE(p.Root()->DisplayList().at(1).clip->DisplayList().empty());
  p.Step();  // the root loops; the sprite, still placed, runs on to its third frame
  EXPECT_EQ(p.Root()->CurrentFrame(), 0u);
  EXPECT_EQ(p.Root()->DisplayList().at(1).clip->CurrentFrame(), 2u);
  p.Step();  // the sprite has looped back to the frame with the square
  EXPECT_EQ(p.Root()->DisplayList().at(1).clip->CurrentFrame(), 0u);
  EXPECT_EQ(PixelAt(p, 3, 3, false), kOpaqueRed);

  p.Root()->GotoFrame(0, false);
  EXPECT_EQ(p.Root()->CurrentFrame(), 0u);
  EXPECT_FALSE(p.Root()->Playing());
}

// A movie of `frames` frames with a red square moving right one step a
// frame, and the given script on some frames.
MovieWriter StepsWithScripts(int frames, const std::map<int, ActionBuilder>& scripts) {
  MovieWriter movie = BlueStage();
  TagWriter& t = movie.Timeline();
  t.DefineShape(1, SolidRect({255, 0, 0}, 0, 0, 200, 200));
  for (int f = 0; f < frames; ++f) {
    t.Place(f == 0 ? PlaceAt(1, 1) : test::MoveTo(1, 200 * f, 0));
    if (auto s = scripts.find(f); s != scripts.end()) t.DoAction(s->second);
    t.ShowFrame();
  }
  return movie;
}

TEST(MovieTimeline, GotoAndPlayRunsTheRestOfTheScriptAndTheFrameReached) {
  // gotoAndPlay(1) on the last frame: a go-to (which stops) and a play. The
  // script runs before the frame is shown, so the frame shown is the first.
  MoviePlayback loop = test::LoadMovie(StepsWithScripts(3, {{2, ActionBuilder().GotoFrame(0).Play()}}));
  for (int tick = 0; tick < 10; ++tick) {
    loop.Step();
    EXPECT_EQ(loop.Root()->CurrentFrame(), static_cast<uint32_t>(tick % 2)) << "tick " << tick;
    EXPECT_TRUE(loop.Root()->Playing()) << "tick " << tick;
    EXPECT_DOUBLE_EQ(loop.Root()->DisplayList().at(1).matrix.tx, 200 * (tick % 2));
  }

  // gotoAndStop(1): stays on the first frame.
  MoviePlayback stop = test::LoadMovie(StepsWithScripts(3, {{2, ActionBuilder().GotoFrame(0)}}));
  for (int tick = 0; tick < 6; ++tick) stop.Step();
  EXPECT_EQ(stop.Root()->CurrentFrame(), 0u);
  EXPECT_FALSE(stop.Root()->Playing());

  // The frame reached runs its own script after the one that jumped: its stop
  // wins over the play before it.
  MoviePlayback target = test::LoadMovie(StepsWithScripts(
      4, {{2, ActionBuilder().GotoFrame(3).Play()}, {3, ActionBuilder().Stop()}}));
  for (int tick = 0; tick < 6; ++tick) target.Step();
  EXPECT_EQ(target.Root()->CurrentFrame(), 3u);
  EXPECT_FALSE(target.Root()->Playing());

  // A go-to to the frame it is on does not run that frame's script again.
  MoviePlayback same = test::LoadMovie(StepsWithScripts(3, {{1, ActionBuilder().GotoFrame(1).Play()}}));
  for (int tick = 0; tick < 5; ++tick) same.Step();
  EXPECT_EQ(same.Root()->CurrentFrame(), 1u);
  EXPECT_TRUE(same.Root()->Playing());
}

TEST(MovieTimeline, DemoMovieLoopsForManyPasses) {
  MoviePlayback demo;
  ASSERT_TRUE(demo.Load(VELMORA_SOURCE_DIR "/demo/Flashs/Demo.swf")) << demo.Error();
  const uint32_t frames = demo.GetMovie().frameCount;
  ASSERT_GT(frames, 10u);
  auto picture = [&] {
    Canvas c;
    c.Resize(160, 90);
    demo.Draw(c, ScaleMode::ShowAll, false);
    return std::vector<uint32_t>(c.Row(0), c.Row(0) + 160 * 90);
  };
  // One pass: until the timeline is back on its first frame.
  std::vector<uint32_t> shown;
  std::vector<std::vector<uint32_t>> pictures;
  for (uint32_t tick = 0; tick < 4 * frames; ++tick) {
    demo.Step();
    shown.push_back(demo.Root()->CurrentFrame());
    pictures.push_back(picture());
  }
  size_t pass = 1;
  while (pass < shown.size() && shown[pass] != 0) ++pass;
  ASSERT_GE(pass, frames - 1) << "the timeline came back to its start too early";
  ASSERT_LT(3 * pass, shown.size());
  // Frames at the same positions of the first and the third pass.
  for (size_t at : {size_t{5}, pass / 2, pass - 1}) {
    EXPECT_EQ(shown[at + 2 * pass], shown[at]) << "position " << at;
    EXPECT_TRUE(pictures[at + 2 * pass] == pictures[at]) << "position " << at;
  }
}

TEST(MovieRender, EdgesFollowTheOutlineAtLowAndHighQuality) {
  MovieWriter movie = BlueStage();
  // From pixel 10 to 20.5 across, 0 to 100 down.
  movie.Timeline().DefineShape(1, SolidRect({255, 0, 0}, 200, 0, 410, 2000));
  movie.Timeline().Place(PlaceAt(1, 1));
  movie.Timeline().ShowFrame();
  MoviePlayback p = test::LoadMovie(movie);
  p.Step();
  EXPECT_EQ(PixelAt(p, 9, 50, false), kOpaqueBlue);
  EXPECT_EQ(PixelAt(p, 10, 50, false), kOpaqueRed);
  EXPECT_EQ(PixelAt(p, 19, 50, false), kOpaqueRed);
  // Without anti-aliasing a pixel is the colour at its centre: 20.5 is left out.
  EXPECT_EQ(PixelAt(p, 20, 50, false), kOpaqueBlue);
  // With it, the half-covered column is half red, half blue.
  uint32_t half = PixelAt(p, 20, 50, true);
  EXPECT_NEAR(static_cast<int>((half >> 16) & 0xFF), 128, 3);
  EXPECT_NEAR(static_cast<int>(half & 0xFF), 127, 3);
}

TEST(MovieRender, FillsSharingAnEdgeLeaveNoSeam) {
  MovieWriter movie = BlueStage();
  ShapeBuilder s;  // a square cut along its diagonal into two red fills
  unsigned upper = s.AddSolidFill({255, 0, 0}), lower = s.AddSolidFill({255, 0, 0});
  s.SelectStyles(0, upper, 0);
  s.MoveTo(0, 0);
  s.LineTo(2000, 0);
  s.LineTo(2000, 2000);
  s.SelectStyles(0, lower, 0);
  s.LineTo(0, 2000);
  s.LineTo(0, 0);
  s.SelectStyles(upper, lower, 0);
  s.LineTo(2000, 2000);
  movie.Timeline().DefineShape(1, s);
  movie.Timeline().Place(PlaceAt(1, 1));
  movie.Timeline().ShowFrame();
  MoviePlayback p = test::LoadMovie(movie);
  p.Step();
  Canvas c;
  c.Resize(100, 100);
  p.Draw(c, ScaleMode::ExactFit, true);
  for (int i = 1; i < 99; ++i) {
    EXPECT_EQ(c.Row(i)[i], kOpaqueRed) << "diagonal pixel " << i;
    EXPECT_EQ(c.Row(i)[i - 1], kOpaqueRed) << "beside the diagonal " << i;
  }
}

// A square cut along its diagonal into `hidden` (a fill that paints nothing)
// and a half-transparent red; with `far`, a green square well away from it
// in the same group.
Canvas DiagonalWithHiddenHalf(bool missingPicture, bool far) {
  MovieWriter movie = BlueStage();
  ShapeBuilder s;
  const unsigned hidden = missingPicture ? s.AddBitmapFill(999, Matrix::Scale(20, 20), false, true)
                                         : s.AddSolidFill({10, 20, 30, 0});
  const unsigned red = s.AddSolidFill({255, 0, 0, 128});
  s.SelectStyles(0, red, 0);
  s.MoveTo(100, 100);
  s.LineTo(1310, 100);
  s.LineTo(1310, 1310);
  s.SelectStyles(0, hidden, 0);
  s.LineTo(100, 1310);
  s.LineTo(100, 100);
  s.SelectStyles(hidden, red, 0);
  s.LineTo(1310, 1310);
  if (far) {
    const unsigned green = s.AddSolidFill({0, 255, 0});
    s.SelectStyles(0, green, 0);
    s.Rectangle({1700, 1900, 1700, 1900});
  }
  movie.Timeline().DefineShape(1, s);
  movie.Timeline().Place(PlaceAt(1, 1));
  movie.Timeline().ShowFrame();
  MoviePlayback p = test::LoadMovie(movie);
  p.Step();
  Canvas c;
  c.Resize(100, 100);
  p.Draw(c, ScaleMode::ExactFit, true);
  return c;
}

TEST(MovieRender, AFillThatPaintsNothingLeavesItsNeighbourAsAddedUpInALayer) {
  // With the green square two fills paint and the group is added up in a
  // layer; without it the red one is drawn alone: the same pixels.
  for (bool missingPicture : {false, true}) {
    const Canvas alone = DiagonalWithHiddenHalf(missingPicture, false);
    const Canvas layered = DiagonalWithHiddenHalf(missingPicture, true);
    int compared = 0;
    for (int y = 0; y < 80; ++y)
      for (int x = 0; x < 80; ++x, ++compared)
        ASSERT_EQ(alone.Row(y)[x], layered.Row(y)[x]) << x << ", " << y << " missing " << missingPicture;
    EXPECT_EQ(compared, 6400);
    // The diagonal's pixels are partly red over the blue stage.
    EXPECT_NE(alone.Row(30)[30], kOpaqueBlue);
    EXPECT_EQ(alone.Row(50)[20], kOpaqueBlue);
    EXPECT_EQ(layered.Row(90)[90], 0xFF00FF00u);
  }
}

TEST(MovieRender, EdgeWithTheSameFillOnBothSidesBoundsNothing) {
  MovieWriter movie = BlueStage();
  ShapeBuilder s;  // a red square, with a loose edge inside it that has red either side
  unsigned red = s.AddSolidFill({255, 0, 0});
  s.SelectStyles(0, red, 0);
  s.MoveTo(0, 0);
  s.LineTo(2000, 0);
  s.LineTo(2000, 2000);
  s.LineTo(0, 2000);
  s.LineTo(0, 0);
  s.SelectStyles(red, red, 0);
  s.MoveTo(1000, 500);
  s.LineTo(1000, 1500);
  movie.Timeline().DefineShape(1, s);
  movie.Timeline().Place(PlaceAt(1, 1));
  movie.Timeline().ShowFrame();
  MoviePlayback p = test::LoadMovie(movie);
  p.Step();
  for (bool high : {false, true}) {
    Canvas c;
    c.Resize(100, 100);
    p.Draw(c, ScaleMode::ExactFit, high);
    int wrong = 0;
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 100; ++x) wrong += c.Row(y)[x] != kOpaqueRed;
    EXPECT_EQ(wrong, 0) << (high ? "high" : "low") << " quality";
  }
}

TEST(MovieRender, MaskShowsOnlyWhatItCovers) {
  MovieWriter movie = BlueStage();
  TagWriter& t = movie.Timeline();
  t.DefineShape(1, SolidRect({0, 255, 0}, 0, 0, 1000, 2000));   // left half
  t.DefineShape(2, SolidRect({255, 0, 0}, 0, 0, 2000, 2000));   // everything
  PlaceObject mask = PlaceAt(1, 1);
  mask.hasClipDepth = true;
  mask.clipDepth = 2;
  t.Place(mask);
  t.Place(PlaceAt(2, 2));
  t.ShowFrame();
  MoviePlayback p = test::LoadMovie(movie);
  p.Step();
  EXPECT_EQ(PixelAt(p, 25, 50, false), kOpaqueRed);   // masked in
  EXPECT_EQ(PixelAt(p, 75, 50, false), kOpaqueBlue);  // masked out; the mask itself is never drawn
}

TEST(MovieRender, ColorTransformAlphaAndBackgroundOverride) {
  MovieWriter movie = BlueStage();
  movie.Timeline().DefineShape(1, SolidRect({255, 0, 0}, 0, 0, 2000, 2000));
  PlaceObject place = PlaceAt(1, 1);
  place.hasColorTransform = true;
  place.colorTransform = ColorTransform::Alpha(0.5);
  movie.Timeline().Place(place);
  movie.Timeline().ShowFrame();
  MoviePlayback p = test::LoadMovie(movie);
  p.Step();
  uint32_t mixed = PixelAt(p, 50, 50, false);
  EXPECT_NEAR(static_cast<int>((mixed >> 16) & 0xFF), 128, 2);
  EXPECT_NEAR(static_cast<int>(mixed & 0xFF), 127, 2);
  Canvas c;
  c.Resize(100, 100);
  p.Draw(c, ScaleMode::ExactFit, false, 0x00FF00);
  EXPECT_NEAR(static_cast<int>((c.Row(50)[50] >> 8) & 0xFF), 127, 2);  // green shows through
}

TEST(ScaleModes, FitTheStageAndCentreIt) {
  const Rect stage{0, 400 * 20, 0, 300 * 20};
  auto corner = [&](ScaleMode mode, Point p) { return ViewMatrix(stage, 800, 300, mode).Apply(p); };
  Point far{8000, 6000};
  Point a = corner(ScaleMode::ShowAll, far);
  EXPECT_DOUBLE_EQ(a.x, 600);  // 400 wide at scale 1, centred in 800
  EXPECT_DOUBLE_EQ(a.y, 300);
  Point b = corner(ScaleMode::NoBorder, far);
  EXPECT_DOUBLE_EQ(b.x, 800);  // scale 2, the height overflows evenly
  EXPECT_DOUBLE_EQ(b.y, 450);
  EXPECT_DOUBLE_EQ(corner(ScaleMode::NoBorder, {0, 0}).y, -150);
  Point c = corner(ScaleMode::ExactFit, far);
  EXPECT_DOUBLE_EQ(c.x, 800);
  EXPECT_DOUBLE_EQ(c.y, 300);
  Point d = corner(ScaleMode::NoScale, {0, 0});
  EXPECT_DOUBLE_EQ(d.x, 200);
  EXPECT_DOUBLE_EQ(d.y, 0);
}

TEST(BoxBlur, EvenWidthWeighsEndPixelsHalfOnlyWhenSmooth) {
  Canvas line;
  line.Resize(9, 1);
  line.pixels[4] = 0xFF000000u;
  Canvas smooth = line;
  BoxBlur(smooth, 4, 0, 1, true);
  // A 4-pixel box centred on each pixel: the pixels 2 away are half inside.
  // Means are cut down to whole steps: 255 / 4 gives 63, 255 / 8 gives 31.
  EXPECT_EQ(smooth.pixels[2] >> 24, 31u);
  EXPECT_EQ(smooth.pixels[3] >> 24, 63u);
  EXPECT_EQ(smooth.pixels[4] >> 24, 63u);
  EXPECT_EQ(smooth.pixels[6] >> 24, 31u);
  EXPECT_EQ(smooth.pixels[7], 0u);
  Canvas coarse = line;
  BoxBlur(coarse, 4, 0, 1, false);
  // Without smoothing only the 3 whole pixels count.
  EXPECT_EQ(coarse.pixels[3] >> 24, 85u);
  EXPECT_EQ(coarse.pixels[2], 0u);
}

TEST(GradientRamp, SpreadsStopsOverRatiosWithTransform) {
  Gradient g;
  g.stops = {{0, {0, 0, 0, 255}}, {255, {255, 255, 255, 255}}};
  auto ramp = BuildGradientRamp(g, ColorTransform{});
  EXPECT_EQ(ramp[0], 0xFF000000u);
  EXPECT_EQ(ramp[kRampSize - 1], 0xFFFFFFFFu);
  EXPECT_EQ(ramp[kRampSize / 2] & 0xFF, 128u);
  // Before the first stop and after the last, the end colours hold.
  g.stops = {{100, {255, 0, 0, 255}}, {200, {0, 0, 255, 255}}};
  ramp = BuildGradientRamp(g, ColorTransform{});
  EXPECT_EQ(ramp[0], kOpaqueRed);
  EXPECT_EQ(ramp[kRampSize - 1], kOpaqueBlue);
  ColorTransform halfAlpha;
  halfAlpha.aMult = 128;
  ramp = BuildGradientRamp(g, halfAlpha);
  EXPECT_EQ(ramp[0] >> 24, 127u);  // 255 * 128 / 256
}

// The ramp entry that stands for ratio `r` (0..255, fractions allowed).
size_t EntryAt(double r) { return static_cast<size_t>(std::lround(r * (kRampSize - 1) / 255)); }

TEST(GradientRamp, StopsSharingARatioShowInTheirOrder) {
  Gradient g;
  g.stops = {{0, {0, 0, 0, 255}}, {100, {255, 0, 0, 255}}, {100, {0, 255, 0, 255}},
             {100, {0, 0, 255, 255}}, {255, {0, 0, 255, 255}}};
  auto ramp = BuildGradientRamp(g, ColorTransform{}, RampSteps::WholeRatios);
  EXPECT_EQ(ramp[EntryAt(100)], kOpaqueRed);
  EXPECT_EQ(ramp[EntryAt(101)], 0xFF00FF00u) << "the second stop at 100 takes the next ratio";
  EXPECT_EQ(ramp[EntryAt(102)], kOpaqueBlue);
  EXPECT_EQ(ramp[EntryAt(200)], kOpaqueBlue);
}

TEST(GradientRamp, WholeRatioStepsHoldEachRatiosColour) {
  Gradient g;
  g.stops = {{0, {0, 0, 0, 255}}, {255, {255, 255, 255, 255}}};
  auto stepped = BuildGradientRamp(g, ColorTransform{}, RampSteps::WholeRatios);
  auto smooth = BuildGradientRamp(g, ColorTransform{}, RampSteps::Smooth);
  EXPECT_EQ(stepped[EntryAt(10)], stepped[EntryAt(10.9)]);
  EXPECT_EQ(stepped[EntryAt(10)] & 0xFF, 10u);
  EXPECT_EQ(stepped[EntryAt(11)] & 0xFF, 11u);
  EXPECT_NE(smooth[EntryAt(10)], smooth[EntryAt(10.9)]);
}

TEST(GradientRamp, WholeRatioColoursAreCutDownAndSmoothRampsRunBetweenThem) {
  Gradient g;  // blue from 0 to 100: ratio 2 is 0.78 and ratio 3 is 1.18 of it
  g.stops = {{0, {0, 0, 0, 255}}, {255, {0, 0, 100, 255}}};
  auto stepped = BuildGradientRamp(g, ColorTransform{}, RampSteps::WholeRatios);
  auto smooth = BuildGradientRamp(g, ColorTransform{}, RampSteps::Smooth);
  EXPECT_EQ(stepped[EntryAt(2.5)] & 0xFF, 0u);
  EXPECT_EQ(stepped[EntryAt(3.5)] & 0xFF, 1u);
  EXPECT_EQ(stepped[EntryAt(255)] & 0xFF, 100u);
  // A quarter of the way from ratio 2 (0) to ratio 3 (1), not a quarter past 0.78.
  EXPECT_EQ(smooth[EntryAt(2.25)] & 0xFF, 0u);
  EXPECT_EQ(smooth[EntryAt(2.75)] & 0xFF, 1u);
  EXPECT_EQ(smooth[kRampSize - 1] & 0xFF, 100u);
}

}  // namespace
}  // namespace velmora::swf
