// The Color class of movies before ColorTransform: new Color(clip) and its
// setRGB, getRGB, setTransform and getTransform on the clip's colour
// transform (multipliers in percent, offsets in channel levels). A colour
// set so is the script's: the timeline tints the clip no more.
#include "player/display/ClipMethods.h"
#include "player/display/MovieScripts.h"
#include "player/script/Builtins.h"
#include "player/script/Interpreter.h"
#include "player/script/Text.h"

#include <cmath>

namespace velmora::swf {
namespace {

using avm1::CallInfo;
using avm1::Value;

constexpr double kUnit = 256;  // a colour transform's multiplier for 100 %
constexpr const char16_t* kTargetName = u"__colorTarget";

// The display object of the clip a Color stands for.
DisplayObject* TargetOf(CallInfo& c) {
  avm1::Object* self = c.ThisObject();
  if (!self) return nullptr;
  const Value target = c.vm.GetNamed(self, kTargetName);
  avm1::Object* object = target.AsObject();
  if (!object && target.IsString())
    object = c.vm.Interp().ResolvePath(target.AsString()->Text(), c.vm.CurrentTarget());
  Clip* clip = static_cast<MovieScripts&>(c.vm.Host()).LiveClip(object);
  return clip ? clip->Holder() : nullptr;
}

Value ColorCtor(CallInfo& c) {
  if (avm1::Object* self = c.ThisObject()) {
    avm1::Str* name = c.vm.Intern(std::u16string_view(kTargetName));
    self->PutOwn(c.vm.GetHeap(), c.vm.Key(name), name, c.args[0], avm1::kDontEnum);
  }
  return c.thisValue;
}

int32_t Level(double v) { return static_cast<int32_t>(std::lround(std::fmax(-255, std::fmin(255, v)))); }

Value SetRgb(CallInfo& c) {
  DisplayObject* o = TargetOf(c);
  if (!o) return Value();
  const uint32_t rgb = avm1::ToUint32(avm1::ToNumber(c.vm, c.args[0]));
  ColorTransform& t = o->colorTransform;
  t.rMult = t.gMult = t.bMult = 0;
  t.rAdd = (rgb >> 16) & 0xFF;
  t.gAdd = (rgb >> 8) & 0xFF;
  t.bAdd = rgb & 0xFF;
  o->scripted = true;
  return Value();
}

Value GetRgb(CallInfo& c) {
  DisplayObject* o = TargetOf(c);
  if (!o) return Value();
  const ColorTransform& t = o->colorTransform;
  return Value::Number(((t.rAdd & 0xFF) << 16) | ((t.gAdd & 0xFF) << 8) | (t.bAdd & 0xFF));
}

struct Channel {
  const char16_t *mult, *add;
  int32_t ColorTransform::*multField;
  int32_t ColorTransform::*addField;
};
constexpr Channel kChannels[4] = {{u"ra", u"rb", &ColorTransform::rMult, &ColorTransform::rAdd},
                                  {u"ga", u"gb", &ColorTransform::gMult, &ColorTransform::gAdd},
                                  {u"ba", u"bb", &ColorTransform::bMult, &ColorTransform::bAdd},
                                  {u"aa", u"ab", &ColorTransform::aMult, &ColorTransform::aAdd}};

Value SetTransform(CallInfo& c) {
  DisplayObject* o = TargetOf(c);
  avm1::Object* from = c.args[0].AsObject();
  if (!o || !from) return Value();
  // Only the members the object has change; a number that is none leaves its part.
  for (const Channel& ch : kChannels) {
    const double mult = avm1::ToNumber(c.vm, c.vm.GetNamed(from, ch.mult));
    const double add = avm1::ToNumber(c.vm, c.vm.GetNamed(from, ch.add));
    if (std::isfinite(mult)) o->colorTransform.*ch.multField = static_cast<int32_t>(std::lround(mult / 100 * kUnit));
    if (std::isfinite(add)) o->colorTransform.*ch.addField = Level(add);
  }
  o->scripted = true;
  return Value();
}

Value GetTransform(CallInfo& c) {
  DisplayObject* o = TargetOf(c);
  if (!o) return Value();
  avm1::Object* out = c.vm.NewObject();
  for (const Channel& ch : kChannels) {
    c.vm.SetNamed(out, ch.mult, Value::Number(o->colorTransform.*ch.multField / kUnit * 100));
    c.vm.SetNamed(out, ch.add, Value::Number(o->colorTransform.*ch.addField));
  }
  return Value::Obj(out);
}

}  // namespace

void InstallColorClass(avm1::Vm& vm) {
  avm1::Object* proto = vm.NewObject();
  avm1::DefineClass(vm, vm.Global(), "Color", ColorCtor, proto);
  vm.Method(proto, "setRGB", SetRgb);
  vm.Method(proto, "getRGB", GetRgb);
  vm.Method(proto, "setTransform", SetTransform);
  vm.Method(proto, "getTransform", GetTransform);
}

}  // namespace velmora::swf
