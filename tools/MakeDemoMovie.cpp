// make_demo_movie <out.swf>
//
// Writes the demo movie shipped as demo/Flashs/Demo.swf: a calm 1920x1080
// background loop of 120 frames at 30 fps. Every motion completes whole
// cycles within the loop, so frame 120 runs seamlessly into frame 1; a last,
// unseen frame goes back to the first with gotoAndPlay(1).
#include "player/swf/SwfWriter.h"

#include <cmath>
#include <exception>
#include <fstream>
#include <iostream>
#include <vector>

namespace swf = velmora::swf;

namespace {

constexpr int kFrames = 120;
constexpr int32_t kWidth = 1920 * 20, kHeight = 1080 * 20;  // twips
constexpr int32_t kCentreX = kWidth / 2, kCentreY = kHeight / 2;
const double kPi = std::acos(-1.0);

// Character ids.
constexpr uint16_t kBackdrop = 1, kBlueGlow = 2, kRoseGlow = 3, kHexagon = 4,
                   kSquare = 5, kDot = 6, kTriangle = 7, kDiamond = 8, kDotCluster = 20;

// Depths on the main timeline, back to front.
constexpr uint16_t kBackdropDepth = 1, kBlueGlowDepth = 2, kRoseGlowDepth = 3,
                   kHexagonDepth = 4, kSquareDepth = 5, kTriangleDepth = 6,
                   kClusterDepth = 7, kDiamondDepth = 8;

// The gradient square is 32768 twips wide; this scales it to `twips`.
double GradientScale(int32_t twips) { return twips / 32768.0; }

int32_t Round(double v) { return static_cast<int32_t>(std::lround(v)); }

swf::ShapeBuilder Backdrop() {
  swf::ShapeBuilder s;
  // Turned a quarter so the gradient runs top to bottom.
  const double scale = GradientScale(kHeight);
  s.AddLinearGradient(swf::Matrix::ScaleRotateTranslate(scale, scale, kPi / 2, kCentreX, kCentreY),
                      {{0, {24, 42, 64}}, {140, {30, 56, 76}}, {255, {14, 24, 38}}});
  s.SelectStyles(0, 1, 0);
  s.Rectangle({0, kWidth, 0, kHeight});
  return s;
}

swf::ShapeBuilder Glow(int32_t radius, swf::Rgba inner, swf::Rgba outer) {
  swf::ShapeBuilder s;
  const double scale = GradientScale(2 * radius);
  swf::Rgba middle = outer;
  middle.a = static_cast<uint8_t>(inner.a / 2);
  swf::Rgba edge = outer;
  edge.a = 0;
  s.AddRadialGradient(swf::Matrix::ScaleRotateTranslate(scale, scale, 0, 0, 0),
                      {{0, inner}, {110, middle}, {255, edge}});
  s.SelectStyles(0, 1, 0);
  s.Ellipse(0, 0, radius, radius);
  return s;
}

// A regular polygon centred on the origin, corners clockwise on screen.
swf::ShapeBuilder RegularPolygon(int corners, int32_t radius, swf::Rgba fill,
                                 swf::Rgba outline) {
  swf::ShapeBuilder s;
  const unsigned f = s.AddSolidFill(fill);
  const unsigned l = s.AddLineStyle(40, outline);
  s.SelectStyles(0, f, l);
  std::vector<swf::ShapeBuilder::Point> points;
  for (int i = 0; i < corners; ++i) {
    const double a = -kPi / 2 + 2 * kPi * i / corners;
    points.push_back({Round(radius * std::cos(a)), Round(radius * std::sin(a))});
  }
  s.Polygon(points);
  return s;
}

swf::ShapeBuilder Square(int32_t half, swf::Rgba fill) {
  swf::ShapeBuilder s;
  s.SelectStyles(0, s.AddSolidFill(fill), 0);
  s.Rectangle({-half, half, -half, half});
  return s;
}

swf::ShapeBuilder Dot(int32_t radius, swf::Rgba fill) {
  swf::ShapeBuilder s;
  s.SelectStyles(0, s.AddSolidFill(fill), 0);
  s.Ellipse(0, 0, radius, radius);
  return s;
}

// Three dots breathing one after another, a 20-frame loop of its own.
swf::TagWriter DotCluster() {
  constexpr int kSpriteFrames = 20;
  swf::TagWriter t;
  for (int frame = 0; frame < kSpriteFrames; ++frame) {
    for (int i = 0; i < 3; ++i) {
      const double phase = 2 * kPi * (frame / double(kSpriteFrames) - i / 3.0);
      const double scale = 0.75 + 0.25 * std::sin(phase);
      swf::PlaceObject p;
      p.depth = static_cast<uint16_t>(1 + i);
      p.move = frame > 0;
      if (frame == 0) {
        p.hasCharacter = true;
        p.characterId = kDot;
      }
      p.hasMatrix = true;
      p.matrix = swf::Matrix::ScaleRotateTranslate(scale, scale, 0, (i - 1) * 1600, 0);
      p.hasColorTransform = true;
      p.colorTransform = swf::ColorTransform::Alpha(0.55 + 0.45 * std::sin(phase));
      t.Place(p);
    }
    t.ShowFrame();
  }
  return t;
}

swf::PlaceObject At(uint16_t depth, int frame, uint16_t character, const swf::Matrix& m) {
  swf::PlaceObject p;
  p.depth = depth;
  p.move = frame > 0;
  if (frame == 0) {
    p.hasCharacter = true;
    p.characterId = character;
  }
  p.hasMatrix = true;
  p.matrix = m;
  return p;
}

void DefineCharacters(swf::TagWriter& t) {
  t.DefineShape(kBackdrop, Backdrop());
  t.DefineShape(kBlueGlow, Glow(9000, {120, 190, 215, 120}, {70, 130, 190}));
  t.DefineShape(kRoseGlow, Glow(6000, {215, 160, 190, 90}, {150, 110, 170}));
  t.DefineShape(kHexagon,
                RegularPolygon(6, 2600, {110, 170, 175, 80}, {190, 225, 225, 110}));
  t.DefineShape(kSquare, Square(1500, {165, 140, 200, 60}));
  t.DefineShape(kTriangle,
                RegularPolygon(3, 3200, {150, 200, 220, 255}, {220, 240, 245, 255}));
  t.DefineShape(kDiamond, RegularPolygon(4, 900, {235, 225, 195, 200}, {255, 250, 235, 220}));
  t.DefineShape(kDot, Dot(500, {230, 220, 190, 170}));
  t.DefineSprite(kDotCluster, DotCluster());
}

// The diamond shows for the middle third of the loop only.
void PlaceDiamond(swf::TagWriter& t, int frame) {
  constexpr int kDiamondFrom = 40, kDiamondTo = 80;
  if (frame >= kDiamondFrom && frame < kDiamondTo) {
    const double shown = (frame - kDiamondFrom) / double(kDiamondTo - kDiamondFrom);
    swf::PlaceObject d = At(kDiamondDepth, frame - kDiamondFrom, kDiamond,
                            swf::Matrix::ScaleRotateTranslate(1, 1, kPi * shown, 20500, 4500));
    d.hasColorTransform = true;
    d.colorTransform = swf::ColorTransform::Alpha(std::sin(kPi * shown));
    t.Place(d);
  } else if (frame == kDiamondTo) {
    t.Remove(kDiamondDepth);
  }
}

// The moving shapes of one frame of the loop.
void PlaceFrame(swf::TagWriter& t, int frame) {
  const double turn = 2 * kPi * frame / kFrames;  // one full cycle per loop

  // The glows drift on slow figure-of-eight paths.
  t.Place(At(kBlueGlowDepth, frame, kBlueGlow,
             swf::Matrix::Translate(Round(kCentreX + 7000 * std::cos(turn)),
                                    Round(kCentreY + 3000 * std::sin(2 * turn)))));
  const double roseScale = 1 + 0.15 * std::sin(turn);
  t.Place(At(kRoseGlowDepth, frame, kRoseGlow,
             swf::Matrix::ScaleRotateTranslate(roseScale, roseScale, 0,
                                               Round(kCentreX - 8000 * std::cos(turn)),
                                               Round(kCentreY - 2500 * std::sin(2 * turn)))));

  // A sixth of a turn for the hexagon and a quarter for the square bring
  // each back to its starting look.
  const double pulse = 1 + 0.08 * std::sin(turn);
  t.Place(At(kHexagonDepth, frame, kHexagon,
             swf::Matrix::ScaleRotateTranslate(pulse, pulse, turn / 6, 9000, 7000)));
  t.Place(At(kSquareDepth, frame, kSquare,
             swf::Matrix::ScaleRotateTranslate(2 - pulse, 2 - pulse, -turn / 4, 28000, 6500)));

  // The triangle fades in and out through its colour transform.
  swf::PlaceObject fade = At(kTriangleDepth, frame, kTriangle,
                             swf::Matrix::ScaleRotateTranslate(1, 1, turn / 3, 12000, 15500));
  fade.hasColorTransform = true;
  fade.colorTransform = swf::ColorTransform::Alpha(0.3 - 0.22 * std::cos(turn));
  t.Place(fade);

  PlaceDiamond(t, frame);
}

swf::Bytes BuildMovie() {
  swf::MovieWriter movie({0, kWidth, 0, kHeight}, 30);
  swf::TagWriter& t = movie.Timeline();
  t.SetBackgroundColor({18, 30, 46});
  DefineCharacters(t);

  t.FrameLabel("loop");
  t.Place(At(kBackdropDepth, 0, kBackdrop, {}));
  // The cluster plays its own timeline wherever it is put.
  t.Place(At(kClusterDepth, 0, kDotCluster, swf::Matrix::Translate(30000, 17000)));
  for (int frame = 0; frame < kFrames; ++frame) {
    PlaceFrame(t, frame);
    t.ShowFrame();
  }
  // One more frame whose script goes back to the first: a frame's script runs
  // before the frame is shown, so this frame is never seen and the loop is
  // exactly the 120 frames above.
  t.DoAction(swf::ActionBuilder().GotoFrame(0).Play());
  t.ShowFrame();
  return movie.Finish(swf::Compression::kZlib);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_demo_movie <out.swf>\n";
    return 2;
  }
  try {
    const swf::Bytes movie = BuildMovie();
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(movie.data()),
              static_cast<std::streamsize>(movie.size()));
    out.close();
    if (!out) {
      std::cerr << "make_demo_movie: cannot write " << argv[1] << "\n";
      return 1;
    }
    std::cout << argv[1] << ": " << movie.size() << " bytes, " << kFrames << " frames\n";
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "make_demo_movie: " << e.what() << "\n";
    return 1;
  }
}
