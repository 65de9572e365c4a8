#include "player/display/ClipMethods.h"

#include "player/display/ClipGeometry.h"
#include "player/display/MovieScripts.h"
#include "player/display/SpriteObject.h"
#include "player/display/TextFieldObject.h"
#include "player/script/Builtins.h"
#include "player/script/Interpreter.h"
#include "player/script/Realm.h"
#include "player/script/Text.h"

#include <cmath>

namespace velmora::swf {
namespace {

using avm1::CallInfo;
using avm1::Value;

constexpr double kTwipsPerPixel = 20;
// What getBounds gives for a clip that shows nothing, as the reference player.
constexpr double kEmptyBoundsValue = 6710886.4;
// getBytesLoaded and getBytesTotal: the movie is all there from the start.
constexpr double kReportedBytes = 1;

MovieScripts& Host(CallInfo& c) { return static_cast<MovieScripts&>(c.vm.Host()); }
Clip* This(CallInfo& c) { return Host(c).LiveClip(c.ThisObject()); }
Value ObjectOf(Clip* clip) { return clip && clip->Object() ? Value::Obj(clip->Object()) : Value(); }

// A script depth as the display list numbers it; false when out of range.
bool ListDepth(double scriptDepth, int32_t& out) {
  if (!std::isfinite(scriptDepth)) return false;
  const double d = std::floor(scriptDepth);
  if (d < -kScriptDepthOffset || d > kMaxScriptDepth) return false;
  out = static_cast<int32_t>(d) + kScriptDepthOffset;
  return true;
}

void Goto(CallInfo& c, bool play) {
  Clip* clip = This(c);
  if (!clip) return;
  const Value target = c.args[0];
  if (target.IsString()) {
    uint32_t frame = 0;
    const std::string label = avm1::ToUtf8(target.AsString()->Text());
    if (MovieScripts::FindLabel(*clip, label, frame)) {
      clip->GotoFrame(frame, play);
      return;
    }
  }
  const double n = avm1::ToNumber(c.vm, target);
  if (!std::isfinite(n) || n < 1) return;
  clip->GotoFrame(static_cast<uint32_t>(std::min(n, 65536.0)) - 1, play);
}

Value Play(CallInfo& c) {
  if (Clip* clip = This(c)) clip->SetPlaying(true);
  return Value();
}
Value Stop(CallInfo& c) {
  if (Clip* clip = This(c)) clip->SetPlaying(false);
  return Value();
}
Value NextFrame(CallInfo& c) {
  if (Clip* clip = This(c)) clip->GotoFrame(clip->CurrentFrame() + 1, false);
  return Value();
}
Value PrevFrame(CallInfo& c) {
  if (Clip* clip = This(c)) clip->GotoFrame(clip->CurrentFrame() > 0 ? clip->CurrentFrame() - 1 : 0, false);
  return Value();
}
Value GotoAndPlay(CallInfo& c) {
  Goto(c, true);
  return Value();
}
Value GotoAndStop(CallInfo& c) {
  Goto(c, false);
  return Value();
}

void CopyInit(avm1::Vm& vm, Clip* clip, const Value& init) {
  avm1::Object* from = init.AsObject();
  if (!clip || !clip->Object() || !from) return;
  std::vector<avm1::Str*> names;
  vm.EnumerableNames(from, names);
  for (avm1::Str* name : names) vm.Put(clip->Object(), name, vm.Get(from, name));
}

Value AttachMovie(CallInfo& c) {
  Clip* clip = This(c);
  int32_t depth = 0;
  if (!clip || !ListDepth(avm1::ToNumber(c.vm, c.args[2]), depth)) return Value();
  const uint16_t id = Host(c).ExportedId(avm1::ToUtf8(avm1::ToText(c.vm, c.args[0])));
  const Character* character = id ? clip->GetMovie().Find(id) : nullptr;
  Clip* made = clip->PlaceDynamic(depth, character, id, avm1::ToUtf8(avm1::ToText(c.vm, c.args[1])));
  CopyInit(c.vm, made, c.args[3]);
  return ObjectOf(made);
}

Value CreateEmptyMovieClip(CallInfo& c) {
  Clip* clip = This(c);
  int32_t depth = 0;
  if (!clip || !ListDepth(avm1::ToNumber(c.vm, c.args[1]), depth)) return Value();
  Clip* made = clip->PlaceDynamic(depth, Host(c).EmptySprite(), 0, avm1::ToUtf8(avm1::ToText(c.vm, c.args[0])));
  return ObjectOf(made);
}

// createTextField(name, depth, x, y, width, height): an empty field in the
// system's sans-serif font at 12 points, black, at script depth `depth`.
Value CreateTextField(CallInfo& c) {
  Clip* clip = This(c);
  int32_t depth = 0;
  if (!clip || !ListDepth(avm1::ToNumber(c.vm, c.args[1]), depth)) return Value();
  double box[4];
  for (int i = 0; i < 4; ++i) {
    box[i] = avm1::ToNumber(c.vm, c.args[2 + i]);
    if (!std::isfinite(box[i])) box[i] = 0;
  }
  const Character* field = Host(c).ScriptField(box[2] * kTwipsPerPixel, box[3] * kTwipsPerPixel);
  if (!field) return Value();
  DisplayObject* made = clip->PlaceDynamicField(depth, field, avm1::ToUtf8(avm1::ToText(c.vm, c.args[0])));
  if (!made) return Value();
  made->matrix.tx = box[0] * kTwipsPerPixel;
  made->matrix.ty = box[1] * kTwipsPerPixel;
  TextFieldObject* object = Host(c).FieldObject(*clip, *made);
  return object ? Value::Obj(object) : Value();
}

Value DuplicateMovieClip(CallInfo& c) {
  Clip* clip = This(c);
  if (!clip) return Value();
  Clip* made = DuplicateClip(*clip, avm1::ToUtf8(avm1::ToText(c.vm, c.args[0])), avm1::ToNumber(c.vm, c.args[1]));
  CopyInit(c.vm, made, c.args[2]);
  return ObjectOf(made);
}

Value RemoveMovieClip(CallInfo& c) {
  if (Clip* clip = This(c)) RemoveScriptClip(*clip);
  return Value();
}

Value GetDepth(CallInfo& c) {
  Clip* clip = This(c);
  if (!clip || !clip->Holder()) return Value::Number(-kScriptDepthOffset);
  return Value::Number(clip->Holder()->depth - kScriptDepthOffset);
}

Value GetNextHighestDepth(CallInfo& c) {
  Clip* clip = This(c);
  if (!clip) return Value();
  const auto& list = clip->DisplayList();
  const int32_t top = list.empty() ? 0 : list.rbegin()->first - kScriptDepthOffset + 1;
  return Value::Number(std::max(0, top));
}

Value GetInstanceAtDepth(CallInfo& c) {
  Clip* clip = This(c);
  int32_t depth = 0;
  if (!clip || !ListDepth(avm1::ToNumber(c.vm, c.args[0]), depth)) return Value();
  auto it = clip->DisplayList().find(depth);
  return it == clip->DisplayList().end() ? Value() : ObjectOf(it->second.clip.get());
}

Value SwapDepths(CallInfo& c) {
  Clip* clip = This(c);
  if (!clip || !clip->Holder() || !clip->Parent()) return Value();
  int32_t to = 0;
  if (Clip* other = Host(c).LiveClip(c.args[0].AsObject())) {
    if (other->Parent() != clip->Parent() || !other->Holder()) return Value();
    to = other->Holder()->depth;
  } else if (!ListDepth(avm1::ToNumber(c.vm, c.args[0]), to)) {
    return Value();
  }
  clip->Parent()->SwapDepths(clip->Holder()->depth, to);
  return Value();
}

Box StageBox(const Clip& clip) { return ContentBox(clip, ClipToStage(clip)); }

Value GetBounds(CallInfo& c) {
  Clip* clip = This(c);
  if (!clip) return Value();
  Matrix toTarget = ClipToStage(*clip);
  if (Clip* target = Host(c).LiveClip(c.args[0].AsObject())) {
    Matrix inverse;
    if (ClipToStage(*target).Invert(inverse)) toTarget = inverse * toTarget;
  }
  const Box b = ContentBox(*clip, toTarget);
  avm1::Object* out = c.vm.NewObject();
  auto put = [&](const char* name, double v) {
    c.vm.SetNamed(out, avm1::FromUtf8(name), Value::Number(b.empty ? kEmptyBoundsValue : v / kTwipsPerPixel));
  };
  put("xMin", b.x0);
  put("xMax", b.x1);
  put("yMin", b.y0);
  put("yMax", b.y1);
  return Value::Obj(out);
}

// The box tests of hitTest: a stage point in the clip's box, or two boxes
// that meet. The shape flag asks for the outline; the box stands in for it.
Value HitTest(CallInfo& c) {
  Clip* clip = This(c);
  if (!clip) return Value::Bool(false);
  const Box mine = StageBox(*clip);
  if (mine.empty) return Value::Bool(false);
  if (Clip* other = Host(c).LiveClip(c.args[0].AsObject())) {
    const Box theirs = StageBox(*other);
    return Value::Bool(!theirs.empty && mine.x0 <= theirs.x1 && theirs.x0 <= mine.x1 && mine.y0 <= theirs.y1 &&
                       theirs.y0 <= mine.y1);
  }
  const double x = avm1::ToNumber(c.vm, c.args[0]) * kTwipsPerPixel;
  const double y = avm1::ToNumber(c.vm, c.args[1]) * kTwipsPerPixel;
  return Value::Bool(x >= mine.x0 && x <= mine.x1 && y >= mine.y0 && y <= mine.y1);
}

void MapPoint(CallInfo& c, bool toGlobal) {
  Clip* clip = This(c);
  avm1::Object* point = c.args[0].AsObject();
  if (!clip || !point) return;
  Matrix m = ClipToStage(*clip);
  if (!toGlobal && !m.Invert(m)) return;
  const double x = avm1::ToNumber(c.vm, c.vm.GetNamed(point, u"x")) * kTwipsPerPixel;
  const double y = avm1::ToNumber(c.vm, c.vm.GetNamed(point, u"y")) * kTwipsPerPixel;
  const Point p = m.Apply({x, y});
  c.vm.SetNamed(point, u"x", Value::Number(p.x / kTwipsPerPixel));
  c.vm.SetNamed(point, u"y", Value::Number(p.y / kTwipsPerPixel));
}

Value LocalToGlobal(CallInfo& c) {
  MapPoint(c, true);
  return Value();
}
Value GlobalToLocal(CallInfo& c) {
  MapPoint(c, false);
  return Value();
}
Value BytesLoaded(CallInfo&) { return Value::Number(kReportedBytes); }

// A clip given as itself or as its target path ("mask", "_parent.mask",
// "/a/mask") from the timeline the script runs on.
Clip* ClipArgument(CallInfo& c, const Value& v) {
  if (v.IsObject()) return Host(c).LiveClip(v.AsObject());
  if (!v.IsString()) return nullptr;
  return Host(c).LiveClip(c.vm.Interp().ResolvePath(v.AsString()->Text(), c.vm.CurrentTarget()));
}

// setMask(mc): this clip shows only through what `mc` draws; null (or
// anything that names no clip) takes the mask away.
Value SetMask(CallInfo& c) {
  Clip* clip = This(c);
  if (!clip) return Value::Bool(false);
  clip->SetScriptMask(ClipArgument(c, c.args[0]));
  return Value::Bool(true);
}

}  // namespace

void InstallClipMethods(avm1::Vm& vm) {
  avm1::Object* p = vm.P().movieClip;
  vm.Method(p, "play", Play);
  vm.Method(p, "stop", Stop);
  vm.Method(p, "nextFrame", NextFrame);
  vm.Method(p, "prevFrame", PrevFrame);
  vm.Method(p, "gotoAndPlay", GotoAndPlay);
  vm.Method(p, "gotoAndStop", GotoAndStop);
  vm.Method(p, "attachMovie", AttachMovie);
  vm.Method(p, "createEmptyMovieClip", CreateEmptyMovieClip);
  vm.Method(p, "createTextField", CreateTextField);
  vm.Method(p, "duplicateMovieClip", DuplicateMovieClip);
  vm.Method(p, "removeMovieClip", RemoveMovieClip);
  vm.Method(p, "getDepth", GetDepth);
  vm.Method(p, "getNextHighestDepth", GetNextHighestDepth);
  vm.Method(p, "getInstanceAtDepth", GetInstanceAtDepth);
  vm.Method(p, "swapDepths", SwapDepths);
  vm.Method(p, "getBounds", GetBounds);
  vm.Method(p, "getRect", GetBounds);
  vm.Method(p, "hitTest", HitTest);
  vm.Method(p, "setMask", SetMask);
  vm.Method(p, "localToGlobal", LocalToGlobal);
  vm.Method(p, "globalToLocal", GlobalToLocal);
  vm.Method(p, "getBytesLoaded", BytesLoaded);
  vm.Method(p, "getBytesTotal", BytesLoaded);
}

Clip* DuplicateClip(Clip& source, const std::string& name, double scriptDepth) {
  Clip* parent = source.Parent();
  DisplayObject* from = source.Holder();
  int32_t depth = 0;
  if (!parent || !from || !ListDepth(scriptDepth, depth)) return nullptr;
  return parent->PlaceDynamic(depth, from->character, from->characterId, name, from);
}

void RemoveScriptClip(Clip& clip) {
  DisplayObject* holder = clip.Holder();
  Clip* parent = clip.Parent();
  if (!holder || !parent || holder->depth < kScriptDepthOffset) return;
  parent->RemoveAt(holder->depth);
}

}  // namespace velmora::swf
