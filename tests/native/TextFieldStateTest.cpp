// A text field shows the text its state holds, not only its initial text:
// a new text is drawn, counts as a change of the scene, and gets a layout
// of its own while the renderer keeps only a bounded number of them.
#include "player/render/FrameRenderer.h"
#include "player/render/SceneState.h"
#include "tests/native/TextFixtures.h"

#include <gtest/gtest.h>

namespace velmora::test {
namespace {

// The state of the field at depth 1 of the root.
swf::FieldState& FieldAt(swf::MoviePlayback& p) {
  swf::DisplayObject& o = p.Root()->MutableDisplayList().at(1);
  EXPECT_TRUE(o.field);
  return *o.field;
}

swf::Canvas Draw(swf::MoviePlayback& p) {
  swf::Canvas c;
  c.Resize(100, 100);
  p.Draw(c, swf::ScaleMode::ExactFit, false);
  return c;
}

TEST(TextFieldState, StartsFromTheFieldAndDrawsTheTextItHoldsNow) {
  swf::EditText f = BlockField("", 80, 40);
  f.wordWrap = f.multiline = false;
  swf::MoviePlayback p = LoadMovie(FieldMovie(f, 10, 10));
  p.Step();
  EXPECT_EQ(FieldAt(p).text, u"");
  EXPECT_FALSE(HasInk(Draw(p), 0, 0, 100, 100));
  FieldAt(p).text = u"AA";
  swf::Canvas two = Draw(p);
  // Two 8-pixel blocks after the 2-pixel gutter, 10 pixels apart.
  EXPECT_TRUE(HasInk(two, 12, 20, 20, 30));
  EXPECT_TRUE(HasInk(two, 22, 20, 30, 30));
  EXPECT_FALSE(HasInk(two, 32, 0, 100, 100));
  FieldAt(p).text = u"A";
  swf::Canvas one = Draw(p);
  EXPECT_TRUE(HasInk(one, 12, 20, 20, 30));
  EXPECT_FALSE(HasInk(one, 22, 0, 100, 100));
}

TEST(TextFieldState, LooksChangeColourBorderAndBackground) {
  swf::EditText f = BlockField("A", 40, 30);
  swf::MoviePlayback p = LoadMovie(FieldMovie(f, 10, 10));
  p.Step();
  EXPECT_FALSE(FieldAt(p).looks.border);
  FieldAt(p).looks.color = {255, 0, 0, 255};
  EXPECT_EQ(Draw(p).Row(25)[14], 0xFFFF0000u);
  FieldAt(p).looks.background = true;
  FieldAt(p).looks.backgroundColor = {0, 255, 0, 255};
  swf::Canvas c = Draw(p);
  EXPECT_EQ(c.Row(12)[40], 0xFF00FF00u);  // the box, beside the glyph
  EXPECT_EQ(c.Row(10)[10], 0xFF00FF00u);  // no border line on its edge
  FieldAt(p).looks.border = true;
  EXPECT_EQ(Draw(p).Row(10)[10], 0xFF000000u);
}

TEST(TextFieldState, SceneChangesWhenOnlyTheTextOrItsLooksChange) {
  swf::MoviePlayback p = LoadMovie(FieldMovie(BlockField("A", 40, 30)));
  p.Step();
  swf::SceneState scene;
  EXPECT_FALSE(scene.TakeAndCompare(*p.Root()));
  EXPECT_TRUE(scene.TakeAndCompare(*p.Root()));
  FieldAt(p).text = u"AA";
  EXPECT_FALSE(scene.TakeAndCompare(*p.Root()));
  EXPECT_TRUE(scene.TakeAndCompare(*p.Root()));
  FieldAt(p).looks.color = {1, 2, 3, 255};
  EXPECT_FALSE(scene.TakeAndCompare(*p.Root()));
  // The playback's own check: a new text is a new picture.
  swf::Canvas c;
  c.Resize(100, 100);
  p.DrawIfChanged(c, swf::ScaleMode::ExactFit, false);
  EXPECT_FALSE(p.DrawIfChanged(c, swf::ScaleMode::ExactFit, false));
  FieldAt(p).text = u"A";
  EXPECT_TRUE(p.DrawIfChanged(c, swf::ScaleMode::ExactFit, false));
}

TEST(TextFieldState, KeepsABoundedNumberOfLayoutsForEverChangingText) {
  swf::EditText f = BlockField("", 90, 40);
  f.wordWrap = f.multiline = false;
  swf::MoviePlayback p = LoadMovie(FieldMovie(f));
  p.Step();
  swf::FrameRenderer renderer(p.GetMovie());
  swf::Canvas c;
  c.Resize(100, 100);
  swf::RenderOptions options;
  swf::Matrix view;  // twips to pixels
  view.a = view.d = 1.0 / 20;
  constexpr int kTexts = 10000;
  for (int i = 0; i < kTexts; ++i) {
    // A different text each time: i written in A (1) and W (0) digits.
    std::u16string text;
    for (int v = i + 1; v > 0; v /= 2) text.push_back(v % 2 ? u'A' : u'W');
    FieldAt(p).text = text;
    renderer.Render(*p.Root(), view, options, kStageBlue, c);
    ASSERT_LE(renderer.KeptFieldLayouts(), swf::kMaxFieldLayouts);
  }
  EXPECT_EQ(renderer.KeptFieldLayouts(), swf::kMaxFieldLayouts);
  // After all of them, a text is still drawn as it reads.
  FieldAt(p).text = u"W";
  renderer.Render(*p.Root(), view, options, kStageBlue, c);
  EXPECT_TRUE(HasInk(c, 2, 7, 20, 17));
  EXPECT_FALSE(HasInk(c, 22, 0, 100, 100));
}

}  // namespace
}  // namespace velmora::test
