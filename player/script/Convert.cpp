#include "player/script/Convert.h"

#include "player/script/Realm.h"
#include "player/script/Text.h"
#include "player/script/Vm.h"

#include <cmath>
#include <limits>

namespace velmora::avm1 {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kTwo32 = 4294967296.0;

// A clip converts to its path while it is on the stage, to "" once removed.
bool ClipText(Vm& vm, Object* object, std::u16string& out) {
  if (!object->IsDisplayObject()) return false;
  Object* live = object->Live(vm);
  if (live) out += static_cast<ClipObject*>(live)->Path();
  return true;
}

Value CallConversion(Vm& vm, Object* object, Str* name) {
  Value method;
  if (!vm.Get(object, name, method) || !vm.IsCallable(method)) return Value::Obj(object);
  return vm.Call(method, Value::Obj(object), Args());
}

}  // namespace

double ToNumber(Vm& vm, const Value& v) {
  switch (v.GetType()) {
    case Type::Undefined:
    case Type::Null: return vm.Version() >= 7 ? kNaN : 0;
    case Type::Boolean: return v.AsBool() ? 1 : 0;
    case Type::Number: return v.AsNumber();
    case Type::String:
      if (vm.Version() < 5) return ToNumberSwf4(vm, v);
      return TextToNumber(v.AsString()->Text());
    case Type::Object: {
      if (vm.Version() < 5) return 0;
      Value p = ToPrimitive(vm, v, Hint::Number);
      if (p.IsObject()) return kNaN;
      return ToNumber(vm, p);
    }
  }
  return kNaN;
}

double ToNumberSwf4(Vm& vm, const Value& v) {
  if (v.IsString()) {
    double n = ParseFloatPrefix(v.AsString()->Text());
    return std::isnan(n) ? 0 : n;
  }
  if (v.IsObject()) return 0;
  double n = ToNumber(vm, v);
  return std::isnan(n) ? 0 : n;
}

bool ToBoolean(Vm& vm, const Value& v) {
  switch (v.GetType()) {
    case Type::Undefined:
    case Type::Null: return false;
    case Type::Boolean: return v.AsBool();
    case Type::Number: return v.AsNumber() != 0 && !std::isnan(v.AsNumber());
    case Type::String: {
      if (vm.Version() >= 7) return v.AsString()->Length() > 0;
      double n = vm.Version() < 5 ? ToNumberSwf4(vm, v) : TextToNumber(v.AsString()->Text());
      return n != 0 && !std::isnan(n);
    }
    case Type::Object: return true;
  }
  return false;
}

void AppendText(Vm& vm, const Value& v, std::u16string& out) {
  const Names& n = vm.N();
  switch (v.GetType()) {
    case Type::Undefined:
      if (vm.Version() >= 7) out += n.undefined->Text();
      return;
    case Type::Null: out += n.null->Text(); return;
    case Type::Boolean: out += (v.AsBool() ? n.trueText : n.falseText)->Text(); return;
    case Type::Number: out += NumberToText(v.AsNumber()); return;
    case Type::String: out += v.AsString()->Text(); return;
    case Type::Object: {
      if (ClipText(vm, v.AsObject(), out)) return;
      Value p = ToPrimitive(vm, v, Hint::String);
      if (p.IsObject()) {
        out += p.AsObject()->Class() == ObjectClass::Function ? u"[type Function]" : u"[type Object]";
      } else {
        AppendText(vm, p, out);
      }
      return;
    }
  }
}

std::u16string ToText(Vm& vm, const Value& v) {
  std::u16string out;
  AppendText(vm, v, out);
  return out;
}

Str* ToStr(Vm& vm, const Value& v) {
  if (v.IsString()) return v.AsString();
  const Names& n = vm.N();
  if (v.IsUndefined()) return vm.Version() >= 7 ? n.undefined : n.empty;
  if (v.IsNull()) return n.null;
  if (v.IsBoolean()) return v.AsBool() ? n.trueText : n.falseText;
  Str* s = vm.NewString(ToText(vm, v));
  return s ? s : n.empty;
}

Value ToPrimitive(Vm& vm, const Value& v, Hint hint) {
  if (!v.IsObject()) return v;
  Object* o = v.AsObject();
  if (o->IsDisplayObject()) {
    std::u16string path;
    ClipText(vm, o, path);
    Str* s = vm.NewString(std::move(path));
    return s ? Value::String(s) : Value();
  }
  if (hint == Hint::None) hint = o->Class() == ObjectClass::Date ? Hint::String : Hint::Number;
  const Names& n = vm.N();
  Str* first = hint == Hint::String ? n.toString : n.valueOf;
  Str* second = hint == Hint::String ? n.valueOf : n.toString;
  Value r = CallConversion(vm, o, first);
  if (!r.IsObject() || vm.Failing()) return r;
  return CallConversion(vm, o, second);
}

Object* ToObject(Vm& vm, const Value& v) {
  if (v.IsObject()) return v.AsObject()->IsDisplayObject() ? v.AsObject()->Live(vm) : v.AsObject();
  if (v.IsNullish()) return nullptr;
  Value ctor;
  Protos& p = vm.P();
  Object* proto = v.IsString() ? p.string : v.IsNumber() ? p.number : p.boolean;
  vm.Get(proto, vm.N().constructor, ctor);
  Value args[1] = {v};
  return vm.Construct(ctor, Args(args, 1)).AsObject();
}

const char* TypeOf(const Value& v) {
  switch (v.GetType()) {
    case Type::Undefined: return "undefined";
    case Type::Null: return "null";
    case Type::Boolean: return "boolean";
    case Type::Number: return "number";
    case Type::String: return "string";
    case Type::Object: return v.AsObject()->TypeName();
  }
  return "undefined";
}

int32_t ToInt32(double n) {
  if (!std::isfinite(n)) return 0;
  double m = std::fmod(std::trunc(n), kTwo32);
  if (m < 0) m += kTwo32;
  return static_cast<int32_t>(static_cast<uint32_t>(m));
}

uint32_t ToUint32(double n) { return static_cast<uint32_t>(ToInt32(n)); }

double ToInteger(double n) { return std::isnan(n) ? 0 : std::trunc(n); }

bool StrictEquals(const Value& a, const Value& b) {
  if (a.GetType() != b.GetType()) return false;
  switch (a.GetType()) {
    case Type::Undefined:
    case Type::Null: return true;
    case Type::Boolean: return a.AsBool() == b.AsBool();
    case Type::Number: return a.AsNumber() == b.AsNumber();
    case Type::String: return a.AsString() == b.AsString() || a.AsString()->Text() == b.AsString()->Text();
    case Type::Object: return a.AsObject() == b.AsObject();
  }
  return false;
}

bool LooseEquals(Vm& vm, const Value& a, const Value& b) {
  for (int round = 0; round < 4; ++round) {
    if (a.GetType() == b.GetType()) return StrictEquals(a, b);
    if (a.IsNullish() && b.IsNullish()) return true;
    if (a.IsNullish() || b.IsNullish()) return false;
    if ((a.IsNumber() && b.IsString()) || (a.IsString() && b.IsNumber())) {
      return ToNumber(vm, a) == ToNumber(vm, b);
    }
    if (a.IsBoolean()) return LooseEquals(vm, Value::Number(a.AsBool() ? 1 : 0), b);
    if (b.IsBoolean()) return LooseEquals(vm, a, Value::Number(b.AsBool() ? 1 : 0));
    if (a.IsObject() != b.IsObject()) {
      Value pa = ToPrimitive(vm, a, Hint::None), pb = ToPrimitive(vm, b, Hint::None);
      if (pa.IsObject() || pb.IsObject()) return false;
      return LooseEquals(vm, pa, pb);
    }
  }
  return false;
}

Value LessThan(Vm& vm, const Value& a, const Value& b) {
  Value pa = ToPrimitive(vm, a, Hint::Number), pb = ToPrimitive(vm, b, Hint::Number);
  if (pa.IsString() && pb.IsString()) return Value::Bool(pa.AsString()->Text() < pb.AsString()->Text());
  double x = ToNumber(vm, pa), y = ToNumber(vm, pb);
  if (std::isnan(x) || std::isnan(y)) return Value();
  return Value::Bool(x < y);
}

Value BoolValue(Vm& vm, bool b) { return vm.Version() < 5 ? Value::Number(b ? 1 : 0) : Value::Bool(b); }

}  // namespace velmora::avm1
