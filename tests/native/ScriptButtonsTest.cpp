// Buttons made by scripts' handlers: a sprite clip with onPress, onRelease,
// onRollOver... answers the pointer as a button over all it holds and shows
// its _up, _over and _down frames; a button placed with a name has an object
// whose handlers run; `enabled = false` takes either out.
#include "tests/native/ScriptedMovies.h"

#include "player/swf/TagCodes.h"

#include <gtest/gtest.h>

namespace velmora::test {
namespace {

using swf::ButtonState;
using swf::MoviePlayback;

// o.name = function () { trace(text); }
void TraceHandler(ActionAssembler& a, const std::string& object, const std::string& name, const std::string& text) {
  GetVar(a, object).Push({name}).DefineFunction("", {});
  TraceText(a, text).EndFunction().Do(Op::SetMember);
}

// "card" at 100,100 pixels: a 20 pixel square sprite of three frames
// labelled _up (red), _over (green) and _down (blue), holding "inner", the
// red square again as a sprite. "btn" at 300,100: a button of the
// same square without condition actions. `script` runs in the root's frame.
swf::MovieWriter HandlerMovie(const ActionAssembler& script) {
  swf::MovieWriter movie = ScriptStage();
  swf::TagWriter& t = movie.Timeline();
  t.DefineShape(1, SolidRect({255, 0, 0}, 0, 0, 400, 400));
  t.DefineShape(2, SolidRect({0, 255, 0}, 0, 0, 400, 400));
  t.DefineShape(3, SolidRect({0, 0, 255}, 0, 0, 400, 400));
  swf::TagWriter inner;
  inner.Place(PlaceAt(1, 1));
  inner.ShowFrame();
  t.DefineSprite(19, inner);
  swf::TagWriter card;
  const char* labels[] = {"_up", "_over", "_down"};
  for (uint16_t frame = 0; frame < 3; ++frame) {
    if (frame > 0) card.Remove(1);
    card.Place(PlaceAt(1, static_cast<uint16_t>(1 + frame)));
    if (frame == 0) card.Place(PlaceNamed(2, 19, "inner"));
    card.FrameLabel(labels[frame]);
    if (frame == 0) {
      ActionAssembler stop;
      card.DoAction(stop.Do(Op::Stop).Bytes());
    }
    card.ShowFrame();
  }
  t.DefineSprite(20, card);
  swf::Button b;
  swf::ButtonRecord r;
  r.characterId = 1;
  r.depth = 1;
  r.up = r.over = r.down = r.hitTest = true;
  b.records = {r};
  t.DefineButton2(21, b);
  t.Place(PlaceNamed(1, 20, "card", 2000, 2000));
  t.Place(PlaceNamed(2, 21, "btn", 6000, 2000));
  ActionAssembler a = script;
  t.DoAction(a.Do(Op::Stop).Bytes());
  t.ShowFrame();
  return movie;
}

ActionAssembler CardHandlers() {
  ActionAssembler a;
  for (const char* name : {"onPress", "onRelease", "onReleaseOutside", "onRollOver", "onRollOut"})
    TraceHandler(a, "card", name, std::string("card ") + name);
  GetVar(a, "card").Push({"inner"}).Do(Op::GetMember).Push({"onPress"}).DefineFunction("", {});
  TraceText(a, "inner onPress").EndFunction().Do(Op::SetMember);
  // btn.onRelease = function () { trace(this._name + " onRelease"); }
  GetVar(a, "btn").Push({"onRelease"}).DefineFunction("", {});
  a.Push({"this"}).Do(Op::GetVariable).Push({"_name"}).Do(Op::GetMember).Push({" onRelease"}).Do(Op::Add2);
  a.Do(Op::Trace).EndFunction().Do(Op::SetMember);
  return a;
}

struct Pointer {
  MoviePlayback p;
  explicit Pointer(const ActionAssembler& script) : p(LoadMovie(HandlerMovie(script))) {
    p.Step();
    swf::Canvas c;
    c.Resize(550, 400);
    p.Draw(c, swf::ScaleMode::ExactFit, false);
  }
  std::string After(const std::function<void(MoviePlayback&)>& act) {
    const size_t before = p.Scripts()->TraceLines().size();
    act(p);
    std::string out;
    const auto& lines = p.Scripts()->TraceLines();
    for (size_t i = before; i < lines.size(); ++i) out += (out.empty() ? "" : ", ") + lines[i];
    return out;
  }
  uint32_t CardFrame() { return p.Root()->DisplayList().at(1).clip->CurrentFrame(); }
};

TEST(ScriptButtons, ASpriteWithHandlersIsAButtonOverAllItHoldsAndShowsItsStateFrames) {
  Pointer t(CardHandlers());
  EXPECT_EQ(t.After([](MoviePlayback& p) { p.PointerMoved(110, 110); }), "card onRollOver");
  EXPECT_EQ(t.CardFrame(), 1u) << "_over";
  EXPECT_EQ(t.After([](MoviePlayback& p) { p.PointerButton(true, 110, 110); }), "card onPress")
      << "the inner clip's own handler does not run: the card takes the pointer";
  EXPECT_EQ(t.CardFrame(), 2u) << "_down";
  EXPECT_EQ(t.After([](MoviePlayback& p) { p.PointerButton(false, 110, 110); }), "card onRelease");
  EXPECT_EQ(t.After([](MoviePlayback& p) { p.PointerMoved(200, 200); }), "card onRollOut");
  EXPECT_EQ(t.CardFrame(), 0u) << "_up";
  EXPECT_EQ(t.After([](MoviePlayback& p) {
    p.PointerMoved(105, 105);
    p.PointerButton(true, 105, 105);
    p.PointerMoved(250, 250);
    p.PointerButton(false, 250, 250);
  }),
            "card onRollOver, card onPress, card onReleaseOutside");
}

TEST(ScriptButtons, ANamedButtonsObjectRunsItsHandlersWithItselfAsThis) {
  Pointer t(CardHandlers());
  EXPECT_EQ(t.After([](MoviePlayback& p) {
    p.PointerMoved(310, 110);
    p.PointerButton(true, 310, 110);
    p.PointerButton(false, 310, 110);
  }),
            "btn onRelease");
  // Its properties are a clip's: _x in pixels.
  EXPECT_DOUBLE_EQ(NumberOf(t.p, ChildObject(t.p, "btn"), "_x"), 300);
}

TEST(ScriptButtons, DisabledOrHandlerlessClipsLetThePointerThrough) {
  // card.enabled = false; btn.enabled = false;
  ActionAssembler a = CardHandlers();
  GetVar(a, "card").Push({"enabled", false}).Do(Op::SetMember);
  GetVar(a, "btn").Push({"enabled", false}).Do(Op::SetMember);
  Pointer t(a);
  EXPECT_EQ(t.After([](MoviePlayback& p) {
    p.PointerMoved(110, 110);
    p.PointerButton(true, 110, 110);
    p.PointerButton(false, 110, 110);
    p.PointerMoved(310, 110);
    p.PointerButton(true, 310, 110);
    p.PointerButton(false, 310, 110);
  }),
            "inner onPress")
      << "the disabled card no longer covers its inner clip";
  EXPECT_EQ(t.CardFrame(), 0u);
  Pointer none{ActionAssembler()};
  EXPECT_EQ(none.After([](MoviePlayback& p) {
    p.PointerMoved(110, 110);
    p.PointerButton(true, 110, 110);
  }),
            "");
  EXPECT_EQ(none.CardFrame(), 0u) << "a sprite without handlers is no button";
}

TEST(ScriptButtons, KeyPressConditionsOfButtonsAndClipEventsRunForTheirKey) {
  // Button 21 with on(keyPress "a") and on(keyPress "<Left>"); sprite "card"
  // with onClipEvent(keyPress "b").
  swf::MovieWriter movie = ScriptStage();
  swf::TagWriter& t = movie.Timeline();
  t.DefineShape(1, SolidRect({255, 0, 0}, 0, 0, 400, 400));
  swf::Button b;
  swf::ButtonRecord r;
  r.characterId = 1;
  r.depth = 1;
  r.up = r.hitTest = true;
  b.records = {r};
  auto keyTrace = [](uint8_t key, const std::string& text) {
    ActionAssembler a;
    TraceText(a, text);
    return swf::ButtonCondition{static_cast<uint16_t>(key << swf::buttoncond::kKeyPressShift), a.Bytes()};
  };
  b.conditions = {keyTrace('a', "button a"), keyTrace(1, "button left")};
  t.DefineButton2(21, b);
  swf::TagWriter card;
  card.Place(PlaceAt(1, 1));
  card.ShowFrame();
  t.DefineSprite(20, card);
  t.Place(PlaceAt(1, 21, 2000, 2000));
  ActionAssembler clipB;
  TraceText(clipB, "clip b");
  swf::ClipAction onB = OnClipEvent(swf::clipevent::kKeyPress, clipB);
  onB.keyCode = 'b';
  swf::PlaceObject place = PlaceNamed(2, 20, "card");
  place.clipActions = {onB};
  t.Place(place);
  ActionAssembler stop;
  t.DoAction(stop.Do(Op::Stop).Bytes());
  t.ShowFrame();
  MoviePlayback p = LoadMovie(movie);
  p.Step();
  p.Step();
  swf::MovieScripts& s = *p.Scripts();
  s.KeyChanged('A', 'a', true);
  s.KeyChanged('A', 'a', false);
  s.KeyChanged(37, 0, true);  // the left arrow
  s.KeyChanged('B', 'b', true);
  s.KeyChanged('C', 'c', true);
  EXPECT_EQ(s.TraceLines(), (std::vector<std::string>{"button a", "button left", "clip b"}))
      << "each on its key going down, nothing on a key going up or on a key none names";
}

}  // namespace
}  // namespace velmora::test
