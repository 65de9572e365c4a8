// Buttons on movies of our own making: DefineButton and DefineButton2 read
// back as written, the up state drawn with each record's placement, and a
// button on the timeline behaving as any display object.
#include "player/MoviePlayback.h"
#include "player/ScaleMode.h"
#include "player/swf/SwfParser.h"
#include "tests/native/MovieFixtures.h"

#include <gtest/gtest.h>

#include <vector>

namespace velmora::swf {
namespace {

using test::PlaceAt;
using test::SolidRect;

constexpr uint32_t kOpaqueRed = 0xFFFF0000, kOpaqueGreen = 0xFF00FF00, kOpaqueBlue = 0xFF0000FF;
constexpr uint32_t kOpaqueWhite = 0xFFFFFFFF, kOpaqueYellow = 0xFFFFFF00;

// A stage of 100 x 100 pixels in blue.
MovieWriter BlueStage() {
  MovieWriter movie({0, 2000, 0, 2000}, 12);
  movie.Timeline().SetBackgroundColor({0, 0, 255});
  return movie;
}

Canvas Draw(MoviePlayback& playback, bool high = false) {
  Canvas c;
  c.Resize(100, 100);
  playback.Draw(c, ScaleMode::ExactFit, high);
  return c;
}

Canvas DrawAfter(const MovieWriter& movie, int frames, bool high = false) {
  MoviePlayback playback = test::LoadMovie(movie);
  for (int i = 0; i < frames; ++i) playback.Step();
  return Draw(playback, high);
}

ButtonRecord Record(uint16_t id, uint16_t depth, const std::vector<ButtonState>& states,
                    const Matrix& matrix = Matrix{}) {
  ButtonRecord r;
  r.characterId = id;
  r.depth = depth;
  r.matrix = matrix;
  for (ButtonState s : states) {
    r.up |= s == ButtonState::Up;
    r.over |= s == ButtonState::Over;
    r.down |= s == ButtonState::Down;
    r.hitTest |= s == ButtonState::HitTest;
  }
  return r;
}

// Red, white and yellow 20 x 20 pixel squares at the stage's corner: the
// characters 1, 2 and 3 the buttons below show.
void ThreeSquares(TagWriter& t) {
  t.DefineShape(1, SolidRect({255, 0, 0}, 0, 0, 400, 400));
  t.DefineShape(2, SolidRect({255, 255, 255}, 0, 0, 400, 400));
  t.DefineShape(3, SolidRect({255, 255, 0}, 0, 0, 400, 400));
}

// Button 10: the red square for the up state, 20 pixels right and turned
// green by its colour transform; the white one over, the yellow one down
// and as the hit area, each at its own place.
Button StatesButton() {
  Button b;
  ButtonRecord up = Record(1, 1, {ButtonState::Up}, Matrix::Translate(400, 0));
  up.colorTransform.rMult = 0;
  up.colorTransform.gAdd = 255;
  b.records = {up, Record(2, 1, {ButtonState::Over}, Matrix::Translate(0, 800)),
               Record(3, 2, {ButtonState::Down, ButtonState::HitTest}, Matrix::Translate(800, 800))};
  return b;
}

TEST(ButtonFile, DefineButton2ReadsBackAsWritten) {
  MovieWriter movie = BlueStage();
  TagWriter& t = movie.Timeline();
  ThreeSquares(t);
  Button b = StatesButton();
  b.trackAsMenu = true;
  b.records[1].blendMode = BlendMode::Multiply;
  Filter bevel;
  bevel.kind = FilterKind::Bevel;
  bevel.color = {255, 0, 0, 128};
  bevel.highlight = {0, 0, 255, 64};
  bevel.blurX = 4;
  bevel.blurY = 2;
  bevel.angle = 0.5;
  bevel.distance = 3;
  bevel.strength = 1.5;
  bevel.onTop = true;
  bevel.passes = 2;
  b.records[2].filters = {Filter::Blur(3, 5, 1), bevel};
  b.conditions = {{buttoncond::kOverDownToOverUp, {0x07, 0x00}},
                  {static_cast<uint16_t>(buttoncond::kIdleToOverUp | (13 << buttoncond::kKeyPressShift)), {0x06, 0x00}}};
  t.DefineButton2(10, b);
  t.ShowFrame();
  const Bytes bytes = movie.Finish(Compression::kNone);
  const ParseResult result = ParseMovie(bytes.data(), bytes.size());
  ASSERT_TRUE(result.ok);
  EXPECT_FALSE(result.partial) << result.error;
  const Character* c = result.movie.Find(10);
  ASSERT_NE(c, nullptr);
  ASSERT_EQ(c->kind, Character::Kind::Button);
  const Button& read = *c->button;
  EXPECT_TRUE(read.trackAsMenu);
  ASSERT_EQ(read.records.size(), 3u);
  EXPECT_TRUE(read.records[0].up && !read.records[0].over && !read.records[0].down && !read.records[0].hitTest);
  EXPECT_EQ(read.records[0].colorTransform.rMult, 0);
  EXPECT_EQ(read.records[0].colorTransform.gAdd, 255);
  EXPECT_DOUBLE_EQ(read.records[0].matrix.tx, 400);
  EXPECT_EQ(read.records[1].blendMode, BlendMode::Multiply);
  EXPECT_TRUE(read.records[2].down && read.records[2].hitTest && !read.records[2].up);
  EXPECT_EQ(read.records[2].depth, 2);
  EXPECT_EQ(read.records[2].characterId, 3);
  ASSERT_EQ(read.records[2].filters.size(), 2u);
  const Filter& f = read.records[2].filters[1];
  EXPECT_EQ(f.kind, FilterKind::Bevel);
  EXPECT_EQ(f.color, bevel.color);
  EXPECT_EQ(f.highlight, bevel.highlight);
  EXPECT_DOUBLE_EQ(f.distance, 3);
  EXPECT_DOUBLE_EQ(f.strength, 1.5);
  EXPECT_TRUE(f.onTop);
  EXPECT_FALSE(f.inner);
  EXPECT_EQ(f.passes, 2);
  EXPECT_DOUBLE_EQ(read.records[2].filters[0].blurY, 5);
  ASSERT_EQ(read.conditions.size(), 2u);
  EXPECT_EQ(read.conditions[0].conditions, buttoncond::kOverDownToOverUp);
  EXPECT_EQ(read.conditions[0].actions, (std::vector<uint8_t>{0x07, 0x00}));
  EXPECT_EQ((read.conditions[1].conditions & buttoncond::kKeyPressMask) >> buttoncond::kKeyPressShift, 13);
  EXPECT_TRUE(read.conditions[1].conditions & buttoncond::kIdleToOverUp);
  EXPECT_EQ(read.conditions[1].actions, (std::vector<uint8_t>{0x06, 0x00}));
}

TEST(ButtonFile, DefineButtonTakesItsColourFromDefineButtonCxformAndActsOnRelease) {
  MovieWriter movie = BlueStage();
  TagWriter& t = movie.Timeline();
  ThreeSquares(t);
  Button b;
  b.records = {Record(1, 1, {ButtonState::Up, ButtonState::HitTest})};
  b.conditions = {{buttoncond::kOverDownToOverUp, {0x06, 0x07, 0x00}}};
  t.DefineButton(10, b);
  ColorTransform blueOnly;
  blueOnly.rMult = 0;
  blueOnly.bAdd = 255;
  t.DefineButtonCxform(10, blueOnly);
  // DefineButton2's records carry their own transform: the tag leaves them.
  t.DefineButton2(11, b);
  t.DefineButtonCxform(11, blueOnly);
  t.ShowFrame();
  const Bytes bytes = movie.Finish(Compression::kNone);
  const ParseResult result = ParseMovie(bytes.data(), bytes.size());
  ASSERT_TRUE(result.ok);
  const Button& plain = *result.movie.Find(10)->button;
  ASSERT_EQ(plain.records.size(), 1u);
  EXPECT_TRUE(plain.records[0].up && plain.records[0].hitTest);
  EXPECT_EQ(plain.records[0].colorTransform.rMult, 0);
  EXPECT_EQ(plain.records[0].colorTransform.bAdd, 255);
  ASSERT_EQ(plain.conditions.size(), 1u);
  EXPECT_EQ(plain.conditions[0].conditions, buttoncond::kOverDownToOverUp);
  EXPECT_EQ(plain.conditions[0].actions, (std::vector<uint8_t>{0x06, 0x07, 0x00}));
  EXPECT_TRUE(result.movie.Find(11)->button->records[0].colorTransform.IsIdentity());
}

TEST(ButtonFile, ADamagedButtonKeepsTheRecordsBeforeTheDamage) {
  // DefineButton2 cut inside its second record, and one whose action
  // offset points past the tag.
  BitWriter cut;
  cut.UI16(10);
  cut.UI8(0);
  cut.UI16(0);  // no actions
  cut.UI8(buttonflag::kStateUp);
  cut.UI16(1);
  cut.UI16(1);
  cut.MatrixField(Matrix::Translate(20, 40));
  cut.ColorTransformField(ColorTransform{});
  cut.UI8(buttonflag::kStateOver);
  cut.UI16(2);
  BitWriter pastEnd;
  pastEnd.UI16(11);
  pastEnd.UI8(0);
  pastEnd.UI16(0x4000);
  pastEnd.UI8(buttonflag::kStateUp);
  pastEnd.UI16(1);
  pastEnd.UI16(1);
  pastEnd.MatrixField(Matrix{});
  pastEnd.ColorTransformField(ColorTransform{});
  pastEnd.UI8(0);
  MovieWriter movie = BlueStage();
  movie.Timeline().Raw(tag::kDefineButton2, cut.Data());
  movie.Timeline().Raw(tag::kDefineButton2, pastEnd.Data());
  movie.Timeline().ShowFrame();
  const Bytes bytes = movie.Finish(Compression::kNone);
  const ParseResult result = ParseMovie(bytes.data(), bytes.size());
  ASSERT_TRUE(result.ok);
  EXPECT_TRUE(result.partial);
  const Button& first = *result.movie.Find(10)->button;
  ASSERT_EQ(first.records.size(), 1u);
  EXPECT_DOUBLE_EQ(first.records[0].matrix.ty, 40);
  const Button& second = *result.movie.Find(11)->button;
  EXPECT_EQ(second.records.size(), 1u);
  EXPECT_TRUE(second.conditions.empty());
}

TEST(ButtonDrawing, TheUpStateIsDrawnWithEachRecordsMatrixAndColourTransform) {
  MovieWriter movie = BlueStage();
  TagWriter& t = movie.Timeline();
  ThreeSquares(t);
  t.DefineButton2(10, StatesButton());
  t.Place(PlaceAt(1, 10, 200, 200));  // the button 10 pixels in
  t.ShowFrame();
  const Canvas c = DrawAfter(movie, 1);
  // The up record: 20 + 10 pixels right, 10 down, red turned green.
  EXPECT_EQ(c.Row(15)[35], kOpaqueGreen);
  EXPECT_EQ(c.Row(15)[25], kOpaqueBlue);
  EXPECT_EQ(c.Row(15)[55], kOpaqueBlue);
  // Neither the over, the down nor the hit state shows.
  EXPECT_EQ(c.Row(55)[15], kOpaqueBlue);
  EXPECT_EQ(c.Row(55)[55], kOpaqueBlue);
}

TEST(ButtonDrawing, TheTimelineSwapsASpriteForAButtonAtItsDepth) {
  MovieWriter movie = BlueStage();
  TagWriter& t = movie.Timeline();
  ThreeSquares(t);
  t.DefineButton2(10, StatesButton());
  TagWriter sprite;
  sprite.Place(PlaceAt(1, 3));  // yellow
  sprite.ShowFrame();
  t.DefineSprite(20, sprite);
  t.Place(PlaceAt(1, 20, 200, 200));
  t.ShowFrame();
  PlaceObject swap;
  swap.depth = 1;
  swap.move = true;
  swap.hasCharacter = true;
  swap.characterId = 10;
  t.Place(swap);  // keeps the sprite's matrix
  t.ShowFrame();
  t.Remove(1);
  t.ShowFrame();
  MoviePlayback p = test::LoadMovie(movie);
  p.Step();
  EXPECT_EQ(Draw(p).Row(15)[15], kOpaqueYellow);
  p.Step();
  const Canvas swapped = Draw(p);
  EXPECT_EQ(swapped.Row(15)[15], kOpaqueBlue);
  EXPECT_EQ(swapped.Row(15)[35], kOpaqueGreen);
  ASSERT_NE(p.Root()->DisplayList().at(1).clip, nullptr);
  EXPECT_NE(p.Root()->DisplayList().at(1).clip->GetButton(), nullptr);
  p.Step();
  EXPECT_TRUE(p.Root()->DisplayList().empty());
  EXPECT_EQ(Draw(p).Row(15)[35], kOpaqueBlue);
}

TEST(ButtonDrawing, AButtonIsMaskedAndTintedAsAnyDisplayObject) {
  // The button's up state covers the stage in red; a mask over the left
  // half, and on a second movie a colour transform of the placement.
  auto make = [](bool masked) {
    MovieWriter movie = BlueStage();
    TagWriter& t = movie.Timeline();
    t.DefineShape(1, SolidRect({255, 0, 0}, 0, 0, 2000, 2000));
    t.DefineShape(2, SolidRect({0, 0, 0}, 0, 0, 1000, 2000));
    Button b;
    b.records = {Record(1, 1, {ButtonState::Up})};
    t.DefineButton2(10, b);
    if (masked) {
      PlaceObject mask = PlaceAt(1, 2);
      mask.hasClipDepth = true;
      mask.clipDepth = 2;
      t.Place(mask);
    }
    PlaceObject button = PlaceAt(2, 10);
    if (!masked) {
      button.hasColorTransform = true;
      button.colorTransform.rMult = 0;
      button.colorTransform.gAdd = 255;
    }
    t.Place(button);
    t.ShowFrame();
    return movie;
  };
  const Canvas masked = DrawAfter(make(true), 1);
  EXPECT_EQ(masked.Row(50)[25], kOpaqueRed);
  EXPECT_EQ(masked.Row(50)[75], kOpaqueBlue);
  const Canvas tinted = DrawAfter(make(false), 1);
  EXPECT_EQ(tinted.Row(50)[25], kOpaqueGreen);
  EXPECT_EQ(tinted.Row(50)[75], kOpaqueGreen);
}

TEST(ButtonDrawing, ARecordsFilterAndBlendModeAreDrawn) {
  MovieWriter movie = BlueStage();
  TagWriter& t = movie.Timeline();
  t.DefineShape(1, SolidRect({255, 255, 255}, 800, 0, 1200, 2000));
  t.DefineShape(2, SolidRect({255, 0, 0}, 0, 1000, 2000, 2000));
  Button b;
  ButtonRecord blurred = Record(1, 1, {ButtonState::Up});
  blurred.filters = {Filter::Blur(8, 8, 1)};
  // Red in the difference mode over the blue: magenta.
  ButtonRecord difference = Record(2, 2, {ButtonState::Up});
  difference.blendMode = BlendMode::Difference;
  b.records = {blurred, difference};
  t.DefineButton2(10, b);
  t.Place(PlaceAt(1, 10));
  t.ShowFrame();
  const Canvas c = DrawAfter(movie, 1, true);
  const uint32_t spread = c.Row(25)[38];
  EXPECT_GT((spread >> 16) & 0xFF, 0u) << "the blur reaches past the bar";
  EXPECT_LT((spread >> 16) & 0xFF, 255u);
  EXPECT_EQ(c.Row(75)[10], 0xFFFF00FFu);
}

TEST(ButtonStates, StateChildrenAreDisplayObjectsOfTheirOwn) {
  // A sprite that turns from red to white is the up and the over state's
  // character at depth 1; the over state adds the yellow square at depth 2.
  MovieWriter movie = BlueStage();
  TagWriter& t = movie.Timeline();
  ThreeSquares(t);
  TagWriter sprite;
  sprite.Place(PlaceAt(1, 1));
  sprite.ShowFrame();
  sprite.Remove(1);
  sprite.Place(PlaceAt(1, 2));
  sprite.ShowFrame();
  sprite.DoAction(ActionBuilder().Stop());
  sprite.ShowFrame();
  t.DefineSprite(20, sprite);
  Button b;
  b.records = {Record(20, 1, {ButtonState::Up, ButtonState::Over}),
               Record(3, 2, {ButtonState::Over}, Matrix::Translate(800, 0))};
  t.DefineButton2(10, b);
  t.Place(PlaceAt(1, 10));
  t.ShowFrame();
  MoviePlayback p = test::LoadMovie(movie);
  p.Step();
  EXPECT_EQ(Draw(p).Row(10)[10], kOpaqueRed);
  p.Step();
  EXPECT_EQ(Draw(p).Row(10)[10], kOpaqueWhite) << "the state's sprite runs its frames";
  Clip& button = *p.Root()->DisplayList().at(1).clip;
  const Clip* child = button.DisplayList().at(1).clip.get();
  button.ShowButtonState(ButtonState::Over);
  EXPECT_EQ(button.ShownButtonState(), ButtonState::Over);
  EXPECT_EQ(button.DisplayList().at(1).clip.get(), child) << "kept where both states show it";
  const Canvas over = Draw(p);
  EXPECT_EQ(over.Row(10)[10], kOpaqueWhite);
  EXPECT_EQ(over.Row(10)[50], kOpaqueYellow);
  button.ShowButtonState(ButtonState::Down);
  EXPECT_TRUE(button.DisplayList().empty());
  EXPECT_EQ(Draw(p).Row(10)[10], kOpaqueBlue);
}

TEST(ButtonStates, ButtonsAndSpritesThatHoldThemselvesStopAtANestingLimit) {
  MovieWriter movie = BlueStage();
  TagWriter& t = movie.Timeline();
  t.DefineShape(1, SolidRect({255, 0, 0}, 0, 0, 400, 400));
  Button b;
  b.records = {Record(1, 1, {ButtonState::Up}), Record(10, 2, {ButtonState::Up}, Matrix::Translate(20, 0))};
  t.DefineButton2(10, b);
  TagWriter sprite;
  sprite.Place(PlaceAt(1, 1));
  sprite.Place(PlaceAt(2, 20, 20, 0));
  sprite.ShowFrame();
  t.DefineSprite(20, sprite);
  t.Place(PlaceAt(1, 10));
  t.Place(PlaceAt(2, 20, 0, 1000));
  t.ShowFrame();
  MoviePlayback p = test::LoadMovie(movie);
  p.Step();
  p.Step();
  const Canvas c = Draw(p, true);
  EXPECT_EQ(c.Row(10)[10], kOpaqueRed);
  EXPECT_EQ(c.Row(60)[10], kOpaqueRed);
}

}  // namespace
}  // namespace velmora::swf
