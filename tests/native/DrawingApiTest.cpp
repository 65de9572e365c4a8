// The drawing methods of movie clips (beginFill, lineTo, curveTo,
// beginGradientFill, clear...) as movies use them, drawn and measured, and
// the bounds that keep a drawing from growing for ever.
#include "ScriptedMovies.h"
#include "player/display/ClipDrawing.h"
#include "player/render/ShapeGeometry.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <map>

namespace velmora::test {
namespace {

using avm1::PushArg;
using swf::MoviePlayback;

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kGreen = 0xFF00FF00;
constexpr uint32_t kBlue = 0xFF0000FF;
constexpr double kHalfTurn = 3.141592653589793;

// An argument of a call: a value, or a variable's value.
struct Arg {
  Arg(int v) : value(v) {}
  Arg(double v) : value(v) {}
  Arg(const char* v) : value(v) {}
  static Arg Var(const char* name) {
    Arg a(name);
    a.variable = true;
    return a;
  }
  PushArg value;
  bool variable = false;
};

// target.method(args...), its result dropped.
void Call(ActionAssembler& a, const std::string& target, const std::string& method, const std::vector<Arg>& args) {
  for (auto it = args.rbegin(); it != args.rend(); ++it) {
    a.Push({it->value});
    if (it->variable) a.Do(Op::GetVariable);
  }
  a.Push({static_cast<int>(args.size())});
  GetVar(a, target).Push({method}).Do(Op::CallMethod).Do(Op::Pop);
}

// name = [values...]
void SetArray(ActionAssembler& a, const std::string& name, const std::vector<PushArg>& values) {
  a.Push({name});
  for (auto it = values.rbegin(); it != values.rend(); ++it) a.Push({*it});
  a.Push({static_cast<int>(values.size())}).Do(Op::InitArray).Do(Op::SetVariable);
}

// name = {key: value, ...}
void SetObject(ActionAssembler& a, const std::string& name, const std::vector<std::pair<const char*, PushArg>>& members) {
  a.Push({name});
  for (const auto& [key, value] : members) a.Push({key, value});
  a.Push({static_cast<int>(members.size())}).Do(Op::InitObject).Do(Op::SetVariable);
}

// A square path from (x0, y0) to (x1, y1) in pixels, left open at its
// start unless `close`.
void Square(ActionAssembler& a, const std::string& clip, int x0, int y0, int x1, int y1, bool close = true) {
  Call(a, clip, "moveTo", {x0, y0});
  Call(a, clip, "lineTo", {x1, y0});
  Call(a, clip, "lineTo", {x1, y1});
  Call(a, clip, "lineTo", {x0, y1});
  if (close) Call(a, clip, "lineTo", {x0, y0});
}

// A white stage whose first frame makes the empty clip "pic" and runs
// `script`, then stops; `backdrop` adds a small blue square of the
// timeline's own at depth 1 (held by the renderer as a still backdrop).
MoviePlayback DrawingMovie(const std::function<void(ActionAssembler&)>& script, bool backdrop = false) {
  swf::MovieWriter movie = ScriptStage();
  swf::TagWriter& t = movie.Timeline();
  if (backdrop) {
    t.DefineShape(1, SolidRect({0, 0, 255}, 9000, 6000, 10000, 7000));
    t.Place(PlaceAt(1, 1));
  }
  ActionAssembler a;
  Call(a, "_root", "createEmptyMovieClip", {"pic", 5});
  script(a);
  a.Do(Op::Stop);
  t.DoAction(a.Bytes());
  t.ShowFrame();
  MoviePlayback p = LoadMovie(movie);
  p.Step();
  return p;
}

size_t CountOf(const swf::Canvas& c, uint32_t colour) {
  size_t n = 0;
  for (uint32_t px : c.pixels) n += px == colour;
  return n;
}

uint32_t At(const swf::Canvas& c, int x, int y) { return c.Row(y)[x]; }

swf::Clip* ClipOf(MoviePlayback& p, const std::string& path) {
  auto* object = static_cast<swf::SpriteObject*>(ChildObject(p, path));
  return object ? object->GetClip() : nullptr;
}

void CallScript(MoviePlayback& p, const std::string& path, const char16_t* method, std::vector<avm1::Value> args) {
  avm1::Vm& vm = p.Scripts()->GetVm();
  avm1::Object* target = path.empty() ? p.Scripts()->Root()->Object() : ChildObject(p, path);
  ASSERT_TRUE(vm.CallMethodByName(target, method, avm1::Args(args.data(), args.size())).Ok());
}

TEST(DrawingApi, FillsAreClosedAndDrawnInsideTheirOutlineOnly) {
  // A square drawn whole, one left open (closed by endFill) and one left
  // open when the next fill begins: all three filled.
  MoviePlayback p = DrawingMovie([](ActionAssembler& a) {
    Call(a, "pic", "beginFill", {0xFF0000});
    Square(a, "pic", 100, 100, 200, 200);
    Call(a, "pic", "endFill", {});
    Call(a, "pic", "beginFill", {0x00FF00});
    Square(a, "pic", 300, 100, 400, 200, false);
    Call(a, "pic", "endFill", {});
    Call(a, "pic", "beginFill", {0x0000FF, 100});
    Square(a, "pic", 100, 250, 200, 350, false);
    Call(a, "pic", "beginFill", {0xFF0000, 50});
    Call(a, "pic", "endFill", {});
  });
  swf::Canvas c = DrawStage(p);
  EXPECT_EQ(At(c, 150, 150), kRed);
  EXPECT_EQ(At(c, 100, 100), kRed);
  EXPECT_EQ(At(c, 199, 199), kRed);
  EXPECT_EQ(At(c, 99, 150), kWhite);
  EXPECT_EQ(At(c, 200, 150), kWhite);
  EXPECT_EQ(CountOf(c, kRed), 100u * 100u) << "nothing red outside the square";
  EXPECT_EQ(At(c, 350, 150), kGreen) << "closed by endFill";
  EXPECT_EQ(At(c, 301, 198), kGreen);
  EXPECT_EQ(At(c, 150, 300), kBlue) << "closed when the next fill begins";
  EXPECT_EQ(CountOf(c, kGreen), 100u * 100u);
  EXPECT_EQ(CountOf(c, kBlue), 100u * 100u);
}

TEST(DrawingApi, LinesWithoutAFillAreStrokesOnly) {
  MoviePlayback p = DrawingMovie([](ActionAssembler& a) {
    // A fill drawn and ended first: the lines after it fill nothing.
    Call(a, "pic", "beginFill", {0xFF0000});
    Square(a, "pic", 0, 0, 10, 10);
    Call(a, "pic", "endFill", {});
    Call(a, "pic", "lineTo", {500, 390});  // no pen yet: nothing drawn
    Call(a, "pic", "lineStyle", {4, 0x0000FF, 100});
    Square(a, "pic", 100, 100, 300, 300);
    Call(a, "pic", "lineStyle", {0, 0xFF0000});
    Call(a, "pic", "moveTo", {350, 50});
    Call(a, "pic", "lineTo", {350, 350});
    Call(a, "pic", "lineStyle", {});
    Call(a, "pic", "lineTo", {500, 50});  // the pen put away: nothing drawn
  });
  swf::Canvas c = DrawStage(p);
  EXPECT_EQ(At(c, 200, 100), kBlue);
  EXPECT_EQ(At(c, 100, 200), kBlue);
  EXPECT_EQ(At(c, 200, 200), kWhite) << "no fill inside the strokes";
  EXPECT_EQ(At(c, 200, 105), kWhite) << "a 4 pixel pen reaches 2 pixels each side";
  EXPECT_NE(At(c, 350, 200), kWhite) << "a hairline";
  EXPECT_EQ(At(c, 352, 200), kWhite);
  EXPECT_EQ(At(c, 400, 312), kWhite);
  EXPECT_EQ(CountOf(c, kRed), 100u);
  EXPECT_EQ(At(c, 425, 200), kWhite);
}

TEST(DrawingApi, CurvesBendTowardsTheirControlPoint) {
  // From (100, 200) over (200, 0) to (300, 200): the top of the curve is at y 100.
  MoviePlayback p = DrawingMovie([](ActionAssembler& a) {
    Call(a, "pic", "beginFill", {0xFF0000});
    Call(a, "pic", "moveTo", {100, 200});
    Call(a, "pic", "curveTo", {200, 0, 300, 200});
    Call(a, "pic", "endFill", {});
  });
  swf::Canvas c = DrawStage(p);
  EXPECT_EQ(At(c, 200, 105), kRed) << "above the chord, inside the curve";
  EXPECT_EQ(At(c, 200, 95), kWhite);
  EXPECT_EQ(At(c, 200, 195), kRed);
  EXPECT_EQ(At(c, 200, 205), kWhite);
  EXPECT_EQ(NumberOf(p, ChildObject(p, "pic"), "_height"), 100);
  EXPECT_EQ(NumberOf(p, ChildObject(p, "pic"), "_width"), 200);
}

// A linear red-to-blue gradient over the box (100, 100)-(300, 200) with the
// matrix `m` set by `setMatrix`, filling that box.
swf::Canvas GradientBox(const std::function<void(ActionAssembler&)>& setMatrix) {
  MoviePlayback p = DrawingMovie([&](ActionAssembler& a) {
    SetArray(a, "cols", {0xFF0000, 0x0000FF});
    SetArray(a, "alphas", {100, 100});
    SetArray(a, "ratios", {0, 255});
    setMatrix(a);
    Call(a, "pic", "beginGradientFill",
         {"linear", Arg::Var("cols"), Arg::Var("alphas"), Arg::Var("ratios"), Arg::Var("m")});
    Square(a, "pic", 100, 100, 300, 200);
    Call(a, "pic", "endFill", {});
  });
  return DrawStage(p);
}

void ExpectRedToBlue(const swf::Canvas& c) {
  const uint32_t left = At(c, 101, 150), right = At(c, 298, 150), middle = At(c, 200, 150);
  EXPECT_GE((left >> 16) & 0xFF, 0xF0u) << std::hex << left;
  EXPECT_LE(left & 0xFF, 0x10u) << std::hex << left;
  EXPECT_GE(right & 0xFF, 0xF0u) << std::hex << right;
  EXPECT_LE((right >> 16) & 0xFF, 0x10u) << std::hex << right;
  EXPECT_NEAR(static_cast<int>((middle >> 16) & 0xFF), 0x80, 8) << std::hex << middle;
  const uint32_t quarter = At(c, 150, 150);
  EXPECT_NEAR(static_cast<int>((quarter >> 16) & 0xFF), 0xBF, 8) << std::hex << quarter;
  EXPECT_EQ(At(c, 200, 99), kWhite);
  EXPECT_EQ(At(c, 301, 150), kWhite);
}

TEST(DrawingApi, LinearGradientRunsAcrossItsBoxInEachMatrixForm) {
  SCOPED_TRACE("box");
  swf::Canvas box = GradientBox([](ActionAssembler& a) {
    SetObject(a, "m", {{"matrixType", "box"}, {"x", 100}, {"y", 100}, {"w", 200}, {"h", 100}, {"r", 0}});
  });
  ExpectRedToBlue(box);
  SCOPED_TRACE("a b c d tx ty");
  swf::Canvas geom = GradientBox([](ActionAssembler& a) {
    SetObject(a, "m", {{"a", 200 / 1638.4}, {"b", 0}, {"c", 0}, {"d", 100 / 1638.4}, {"tx", 200}, {"ty", 150}});
  });
  ExpectRedToBlue(geom);
  SCOPED_TRACE("3 x 3");
  swf::Canvas nine = GradientBox([](ActionAssembler& a) {
    SetObject(a, "m", {{"a", 200}, {"b", 0}, {"c", 0}, {"d", 0}, {"e", 100}, {"f", 0}, {"g", 200}, {"h", 150}, {"i", 1}});
  });
  ExpectRedToBlue(nine);
  // Turned a half turn, the box's colours swap ends.
  swf::Canvas turned = GradientBox([](ActionAssembler& a) {
    SetObject(a, "m", {{"matrixType", "box"}, {"x", 100}, {"y", 100}, {"w", 200}, {"h", 100}, {"r", kHalfTurn}});
  });
  EXPECT_GE((At(turned, 298, 150) >> 16) & 0xFF, 0xF0u);
  EXPECT_GE(At(turned, 101, 150) & 0xFF, 0xF0u);
}

TEST(DrawingApi, ClearRemovesTheDrawingAndTheNextFrameShowsIt) {
  MoviePlayback p = DrawingMovie([](ActionAssembler& a) {
    Call(a, "pic", "beginFill", {0xFF0000});
    Square(a, "pic", 100, 100, 200, 200);
  });
  swf::Canvas c;
  c.Resize(550, 400);
  EXPECT_TRUE(p.DrawIfChanged(c, swf::ScaleMode::ShowAll, true));
  EXPECT_EQ(CountOf(c, kRed), 100u * 100u);
  EXPECT_FALSE(p.DrawIfChanged(c, swf::ScaleMode::ShowAll, true)) << "nothing changed: nothing drawn";
  p.Step();
  EXPECT_FALSE(p.DrawIfChanged(c, swf::ScaleMode::ShowAll, true));
  CallScript(p, "pic", u"clear", {});
  EXPECT_TRUE(p.DrawIfChanged(c, swf::ScaleMode::ShowAll, true)) << "only the drawing changed";
  EXPECT_EQ(CountOf(c, kWhite), c.pixels.size());
  // Drawn on again after clear(): from the origin, with no pen and no fill.
  CallScript(p, "pic", u"lineTo", {avm1::Value::Number(300), avm1::Value::Number(300)});
  EXPECT_EQ(CountOf(DrawStage(p), kWhite), c.pixels.size());
  CallScript(p, "pic", u"beginFill", {avm1::Value::Number(0x00FF00)});
  CallScript(p, "pic", u"lineTo", {avm1::Value::Number(100), avm1::Value::Number(0)});
  CallScript(p, "pic", u"lineTo", {avm1::Value::Number(100), avm1::Value::Number(100)});
  EXPECT_TRUE(p.DrawIfChanged(c, swf::ScaleMode::ShowAll, true));
  EXPECT_EQ(At(c, 166, 133), kGreen) << "the fill begins at the pen";
  EXPECT_FALSE(p.DrawIfChanged(c, swf::ScaleMode::ShowAll, true));
}

TEST(DrawingApi, TheRootsOwnDrawingIsRedrawnUnderAStillBackdrop) {
  MoviePlayback p = DrawingMovie(
      [](ActionAssembler& a) {
        Call(a, "pic", "removeMovieClip", {});  // the root holds the still shape alone
        Call(a, "_root", "beginFill", {0xFF0000});
        Square(a, "_root", 0, 0, 50, 50);
      },
      true);
  swf::Canvas c;
  c.Resize(550, 400);
  for (int i = 0; i < 3; ++i) {
    p.Step();
    p.DrawIfChanged(c, swf::ScaleMode::ShowAll, true);
  }
  EXPECT_EQ(At(c, 25, 25), kRed);
  EXPECT_EQ(At(c, 475, 325), kBlue);
  EXPECT_FALSE(p.Draw(c, swf::ScaleMode::ShowAll, true)) << "the same picture as the last";
  CallScript(p, "", u"clear", {});
  EXPECT_TRUE(p.DrawIfChanged(c, swf::ScaleMode::ShowAll, true));
  EXPECT_EQ(At(c, 25, 25), kWhite) << "the held backdrop did not keep the old drawing";
  EXPECT_EQ(At(c, 475, 325), kBlue);
  CallScript(p, "", u"beginFill", {avm1::Value::Number(0x00FF00)});
  CallScript(p, "", u"lineTo", {avm1::Value::Number(0), avm1::Value::Number(60)});
  CallScript(p, "", u"lineTo", {avm1::Value::Number(60), avm1::Value::Number(60)});
  EXPECT_TRUE(p.Draw(c, swf::ScaleMode::ShowAll, true));
  EXPECT_EQ(At(c, 10, 50), kGreen);
  // The held picture waits for the drawing to stand still one frame, as it
  // does for the objects.
  swf::BackdropCache cache;
  const swf::BackdropView view{550, 400, kWhite, {}, {}};
  EXPECT_EQ(cache.Plan(*p.Root(), view), 0u);
  EXPECT_EQ(cache.Plan(*p.Root(), view), 1u);
  EXPECT_TRUE(cache.Fresh());
  CallScript(p, "", u"lineTo", {avm1::Value::Number(0), avm1::Value::Number(0)});
  EXPECT_EQ(cache.Plan(*p.Root(), view), 0u) << "the drawing changed";
  EXPECT_FALSE(cache.Unchanged());
  EXPECT_EQ(cache.Plan(*p.Root(), view), 1u);
  EXPECT_TRUE(cache.Fresh());
  EXPECT_EQ(cache.Plan(*p.Root(), view), 1u);
  EXPECT_FALSE(cache.Fresh());
  EXPECT_TRUE(cache.Unchanged());
}

// method(args...) as a plain function call, its result dropped.
void CallPlain(ActionAssembler& a, const std::string& method, const std::vector<PushArg>& args) {
  for (auto it = args.rbegin(); it != args.rend(); ++it) a.Push({*it});
  a.Push({static_cast<int>(args.size()), method}).Do(Op::CallFunction).Do(Op::Pop);
}

TEST(DrawingApi, CalledAsPlainFunctionsTheMethodsDrawOnTheTimelineThatRuns) {
  MoviePlayback p = DrawingMovie([](ActionAssembler& a) {
    CallPlain(a, "beginFill", {0xFF0000});
    CallPlain(a, "moveTo", {100, 100});
    CallPlain(a, "lineTo", {200, 100});
    CallPlain(a, "lineTo", {200, 200});
    CallPlain(a, "lineTo", {100, 200});
    CallPlain(a, "endFill", {});
  });
  swf::Canvas c = DrawStage(p);
  EXPECT_EQ(At(c, 150, 150), kRed);
  EXPECT_EQ(CountOf(c, kRed), 100u * 100u);
  EXPECT_NE(p.Root()->Drawing(), nullptr);
  EXPECT_EQ(ClipOf(p, "pic")->Drawing(), nullptr) << "nothing drawn on the clip the script made";
  // with (pic) { beginFill(0x00FF00); moveTo(300, 100); lineTo(...)... }
  MoviePlayback w = DrawingMovie([](ActionAssembler& a) {
    GetVar(a, "pic").With();
    CallPlain(a, "beginFill", {0x00FF00});
    CallPlain(a, "moveTo", {300, 100});
    CallPlain(a, "lineTo", {400, 100});
    CallPlain(a, "lineTo", {400, 200});
    CallPlain(a, "lineTo", {300, 200});
    CallPlain(a, "endFill", {});
    a.EndWith();
  });
  EXPECT_EQ(CountOf(DrawStage(w), kGreen), 100u * 100u);
  EXPECT_EQ(w.Root()->Drawing(), nullptr) << "drawn on the with block's clip, not the timeline";
}

TEST(DrawingApi, TheDrawingLiesBelowTheClipsChildren) {
  MoviePlayback p = DrawingMovie([](ActionAssembler& a) {
    Call(a, "pic", "createEmptyMovieClip", {"top", 1});
    a.Push({"t"});
    GetVar(a, "pic").Push({"top"}).Do(Op::GetMember).Do(Op::SetVariable);
    Call(a, "t", "beginFill", {0x00FF00});
    Square(a, "t", 150, 150, 250, 250);
    Call(a, "pic", "beginFill", {0xFF0000});
    Square(a, "pic", 100, 100, 200, 200);
  });
  swf::Canvas c = DrawStage(p);
  EXPECT_EQ(At(c, 175, 175), kGreen) << "the child's drawing over its parent's, drawn later";
  EXPECT_EQ(At(c, 125, 125), kRed);
  EXPECT_EQ(At(c, 225, 225), kGreen);
}

TEST(DrawingApi, TheDrawingCountsInBoundsSizeAndHitTests) {
  MoviePlayback p = DrawingMovie([](ActionAssembler& a) {
    Call(a, "pic", "beginFill", {0xFF0000});
    Square(a, "pic", 100, 50, 200, 250);
    Call(a, "pic", "endFill", {});
    Call(a, "_root", "createEmptyMovieClip", {"framed", 6});
    Call(a, "framed", "lineStyle", {10, 0});
    Square(a, "framed", 300, 100, 400, 200);
    a.Push({"b", "_root", 1});
    GetVar(a, "pic").Push({"getBounds"}).Do(Op::CallMethod).Do(Op::SetVariable);
  });
  avm1::Object* bounds = ChildObject(p, "b");
  EXPECT_EQ(NumberOf(p, bounds, "xMin"), 100);
  EXPECT_EQ(NumberOf(p, bounds, "xMax"), 200);
  EXPECT_EQ(NumberOf(p, bounds, "yMin"), 50);
  EXPECT_EQ(NumberOf(p, bounds, "yMax"), 250);
  EXPECT_EQ(NumberOf(p, ChildObject(p, "pic"), "_width"), 100);
  EXPECT_EQ(NumberOf(p, ChildObject(p, "pic"), "_height"), 200);
  EXPECT_EQ(NumberOf(p, ChildObject(p, "framed"), "_width"), 110) << "the pen's width counts";
  avm1::Vm& vm = p.Scripts()->GetVm();
  avm1::Value inside[2] = {avm1::Value::Number(150), avm1::Value::Number(100)};
  avm1::Value outside[2] = {avm1::Value::Number(250), avm1::Value::Number(100)};
  EXPECT_TRUE(vm.CallMethodByName(ChildObject(p, "pic"), u"hitTest", avm1::Args(inside, 2)).value.AsBool());
  EXPECT_FALSE(vm.CallMethodByName(ChildObject(p, "pic"), u"hitTest", avm1::Args(outside, 2)).value.AsBool());
  CallScript(p, "pic", u"clear", {});
  EXPECT_EQ(NumberOf(p, ChildObject(p, "pic"), "_width"), 0);
  EXPECT_FALSE(vm.CallMethodByName(ChildObject(p, "pic"), u"hitTest", avm1::Args(inside, 2)).value.AsBool());
}

TEST(DrawingApi, ADrawingStopsGrowingAtItsBoundAndStillCloses) {
  MoviePlayback p = DrawingMovie([](ActionAssembler&) {});
  swf::Clip* pic = ClipOf(p, "pic");
  ASSERT_NE(pic, nullptr);
  swf::ClipDrawing& d = pic->MutableDrawing();
  swf::FillStyle red;
  red.color = {255, 0, 0};
  d.BeginFill(red);
  d.MoveTo({2000, 2000});
  // A zigzag one pixel high, so that drawing it stays quick.
  for (int i = 0; i < 150000; ++i) d.LineTo({2000.0 + (i % 4000), 2000.0 + (i % 2) * 20});
  const size_t atBound = d.RecordCount();
  EXPECT_LE(atBound, 100000u);
  EXPECT_GE(atBound, 99990u);
  const uint64_t version = d.Version();
  d.LineTo({0, 0});
  d.SetLine(true, {});
  EXPECT_EQ(d.Version(), version) << "calls past the bound change nothing";
  d.EndFill();
  EXPECT_LE(d.RecordCount(), atBound + 2) << "the fill is still closed";
  // Every loop of the fill is closed: as many edges leave each point as reach it.
  const swf::ShapeGeometry g = swf::BuildGeometry(d.GetShape());
  std::map<std::pair<double, double>, int> ends;
  for (const swf::StyleGroup& group : g.groups)
    for (const swf::FillGeometry& fill : group.fills)
      for (const swf::Edge& e : fill.edges) {
        ++ends[{e.from.x, e.from.y}];
        --ends[{e.to.x, e.to.y}];
      }
  for (const auto& [point, balance] : ends) EXPECT_EQ(balance, 0) << point.first << "," << point.second;
  DrawStage(p);
  d.Clear();
  d.LineTo({100, 100});
  EXPECT_EQ(d.RecordCount(), 0u) << "no pen, no fill";
  d.SetLine(true, {});
  d.LineTo({100, 100});
  EXPECT_EQ(d.RecordCount(), 2u) << "after clear() the drawing takes edges again";
}

TEST(DrawingApi, NoValueAScriptPassesBreaksTheDrawing) {
  const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
  MoviePlayback p = DrawingMovie([&](ActionAssembler& a) {
    Call(a, "pic", "lineStyle", {1e300, 0xFFFFFF, -5});
    Call(a, "pic", "moveTo", {nan, 10});
    Call(a, "pic", "lineTo", {inf, -inf});
    Call(a, "pic", "lineTo", {1e300, -1e300});
    Call(a, "pic", "curveTo", {5});
    Call(a, "pic", "lineStyle", {nan, nan, nan});
    Call(a, "pic", "beginFill", {});
    Call(a, "pic", "beginFill", {"red", "half"});
    Call(a, "pic", "lineTo", {20, 20});
    Call(a, "pic", "beginGradientFill", {"linear"});
    Call(a, "pic", "beginGradientFill", {"conic", 1, 2, 3, 4});
    std::vector<PushArg> many, ratios;
    for (int i = 0; i < 20; ++i) {
      many.push_back(i * 0x0F0F0F);
      ratios.push_back(255 - i * 13);  // falling, and past 0 at the end
    }
    SetArray(a, "cols", many);
    SetArray(a, "alphas", {100, 50, 0, 200, -3, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100});
    SetArray(a, "ratios", ratios);
    Call(a, "pic", "beginGradientFill", {"radial", Arg::Var("cols"), Arg::Var("alphas"), Arg::Var("ratios")});
    Square(a, "pic", 10, 10, 500, 390);
    SetObject(a, "m", {{"matrixType", "box"}, {"w", nan}, {"r", inf}});
    Call(a, "pic", "beginGradientFill",
         {"linear", Arg::Var("cols"), Arg::Var("alphas"), Arg::Var("ratios"), Arg::Var("m")});
    Square(a, "pic", 10, 10, 500, 390);
    Call(a, "pic", "endFill", {1, 2, 3});
  });
  DrawStage(p);
  EXPECT_NE(NumberOf(p, ChildObject(p, "pic"), "_width"), 0);
  const swf::ClipDrawing* d = ClipOf(p, "pic")->Drawing();
  ASSERT_NE(d, nullptr);
  bool sawGradient = false;
  for (const swf::StyleTable& table : d->GetShape().styleTables)
    for (const swf::FillStyle& f : table.fills) {
      if (f.kind == swf::FillKind::Solid) continue;
      sawGradient = true;
      EXPECT_EQ(f.gradient.stops.size(), 15u) << "clamped to the shortest array and to 15";
      for (size_t i = 1; i < f.gradient.stops.size(); ++i)
        EXPECT_GE(f.gradient.stops[i].ratio, f.gradient.stops[i - 1].ratio);
    }
  EXPECT_TRUE(sawGradient);
  for (const swf::StyleTable& table : d->GetShape().styleTables)
    for (const swf::LineStyle& l : table.lines) EXPECT_LE(l.width, 255 * 20);
}

}  // namespace
}  // namespace velmora::test
