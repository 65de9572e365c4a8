// Number, Math and the global functions (parseInt, escape, getTimer,
// trace, setInterval...).
#include "player/script/Builtins.h"
#include "player/script/Realm.h"
#include "player/script/Text.h"
#include "player/script/Timers.h"

#include <cfloat>
#include <cmath>

namespace velmora::avm1 {
namespace {

double ThisNumber(CallInfo& c) {
  Value v = c.thisValue;
  if (auto* box = dynamic_cast<BoxObject*>(v.AsObject())) v = box->Primitive();
  return ToNumber(c.vm, v);
}

Value NumberCtor(CallInfo& c) {
  Value v = Value::Number(c.args.Size() ? NumberArg(c, 0) : 0);
  if (!c.construct) return v;
  return Value::Obj(c.vm.GetHeap().New<BoxObject>(c.vm.P().number, ObjectClass::Number, v));
}

Value NumberToString(CallInfo& c) {
  int radix = c.args[0].IsUndefined() ? 10 : ToInt32(NumberArg(c, 0));
  return TextValue(c.vm, NumberToTextRadix(ThisNumber(c), radix));
}

Value NumberValueOf(CallInfo& c) { return Value::Number(ThisNumber(c)); }

enum MathFn { kAbs, kAcos, kAsin, kAtan, kCeil, kCos, kExp, kFloor, kLog, kRound, kSin, kSqrt, kTan };

Value MathUnary(CallInfo& c) {
  double x = NumberArg(c, 0);
  switch (static_cast<NativeFunction*>(c.callee)->Tag()) {
    case kAbs: return Value::Number(std::fabs(x));
    case kAcos: return Value::Number(std::acos(x));
    case kAsin: return Value::Number(std::asin(x));
    case kAtan: return Value::Number(std::atan(x));
    case kCeil: return Value::Number(std::ceil(x));
    case kCos: return Value::Number(std::cos(x));
    case kExp: return Value::Number(std::exp(x));
    case kFloor: return Value::Number(std::floor(x));
    case kLog: return Value::Number(std::log(x));
    case kRound: return Value::Number(std::floor(x + 0.5));
    case kSin: return Value::Number(std::sin(x));
    case kSqrt: return Value::Number(std::sqrt(x));
    default: return Value::Number(std::tan(x));
  }
}

Value MathAtan2(CallInfo& c) { return Value::Number(std::atan2(NumberArg(c, 0), NumberArg(c, 1))); }
Value MathPow(CallInfo& c) { return Value::Number(std::pow(NumberArg(c, 0), NumberArg(c, 1))); }
Value MathRandom(CallInfo& c) { return Value::Number(c.vm.Host().Random()); }

Value MathMinMax(CallInfo& c) {
  bool max = static_cast<NativeFunction*>(c.callee)->Tag() == 1;
  double r = max ? -HUGE_VAL : HUGE_VAL;
  for (size_t i = 0; i < c.args.Size(); ++i) {
    double x = NumberArg(c, i);
    if (std::isnan(x)) return Value::Number(x);
    r = max ? std::fmax(r, x) : std::fmin(r, x);
  }
  return Value::Number(r);
}

Value ParseInt(CallInfo& c) {
  int radix = c.args[1].IsUndefined() ? 0 : ToInt32(NumberArg(c, 1));
  return Value::Number(ParseIntPrefix(ToText(c.vm, c.args[0]), radix));
}

Value ParseFloat(CallInfo& c) { return Value::Number(ParseFloatPrefix(ToText(c.vm, c.args[0]))); }
Value IsNaN(CallInfo& c) { return Value::Bool(std::isnan(NumberArg(c, 0))); }
Value IsFinite(CallInfo& c) { return Value::Bool(std::isfinite(NumberArg(c, 0))); }

bool Unreserved(char16_t ch) {
  return (ch >= u'0' && ch <= u'9') || (ch >= u'a' && ch <= u'z') || (ch >= u'A' && ch <= u'Z');
}

Value Escape(CallInfo& c) {
  std::u16string s = ToText(c.vm, c.args[0]);
  std::string bytes = c.vm.Version() >= 6 ? ToUtf8(s) : std::string(s.begin(), s.end());
  static const char kHex[] = "0123456789ABCDEF";
  std::u16string out;
  for (unsigned char b : bytes) {
    if (Unreserved(b)) {
      out.push_back(b);
    } else {
      out += {u'%', static_cast<char16_t>(kHex[b >> 4]), static_cast<char16_t>(kHex[b & 15])};
    }
  }
  return TextValue(c.vm, std::move(out));
}

int HexDigit(char16_t ch) {
  if (ch >= u'0' && ch <= u'9') return ch - u'0';
  if (ch >= u'a' && ch <= u'f') return ch - u'a' + 10;
  if (ch >= u'A' && ch <= u'F') return ch - u'A' + 10;
  return -1;
}

Value Unescape(CallInfo& c) {
  std::u16string s = ToText(c.vm, c.args[0]);
  std::string bytes;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == u'%' && i + 2 < s.size() + 0 && i + 2 <= s.size() - 1 && HexDigit(s[i + 1]) >= 0 && HexDigit(s[i + 2]) >= 0) {
      bytes.push_back(static_cast<char>(HexDigit(s[i + 1]) * 16 + HexDigit(s[i + 2])));
      i += 2;
    } else if (s[i] < 0x80) {
      bytes.push_back(static_cast<char>(s[i]));
    } else {
      bytes += ToUtf8(s.substr(i, 1));
    }
  }
  return TextValue(c.vm, c.vm.Version() >= 6 ? FromUtf8(bytes) : FromLatin1(bytes));
}

Value GetTimer(CallInfo& c) { return Value::Number(std::floor(c.vm.Host().TimerMs())); }

Value TraceFn(CallInfo& c) {
  Value v = c.args[0];
  c.vm.Host().Trace(ToUtf8(v.IsUndefined() ? u"undefined" : ToText(c.vm, v)));
  return Value();
}

// setInterval(function, ms, args...) or setInterval(object, "method", ms, args...).
Value AddTimer(CallInfo& c) {
  Vm& vm = c.vm;
  bool repeat = static_cast<NativeFunction*>(c.callee)->Tag() == 0;
  size_t first = vm.IsCallable(c.args[0]) ? 1 : 2;
  if (first == 2 && (!c.args[0].IsObject() || c.args[1].IsNullish())) return Value();
  if (c.args.Size() < first + 1) return Value();
  double ms = NumberArg(c, first);
  Args rest(c.args.Data() + first + 1, c.args.Size() - first - 1);
  Str* method = first == 2 ? vm.Intern(ToStr(vm, c.args[1])) : nullptr;
  int id = vm.GetTimers().Add(vm, first == 1 ? c.args[0] : Value(), first == 2 ? c.args[0] : Value(), method, rest,
                              std::isfinite(ms) ? ms : 0, repeat);
  return id ? Value::Number(id) : Value();
}

Value ClearTimer(CallInfo& c) {
  c.vm.GetTimers().Clear(ToInt32(NumberArg(c, 0)));
  return Value();
}

}  // namespace

void InstallNumberAndMath(Vm& vm) {
  Protos& p = vm.P();
  p.number = vm.NewObject();
  NativeFunction* ctor = DefineClass(vm, vm.Global(), "Number", NumberCtor, p.number);
  vm.Method(p.number, "toString", NumberToString);
  vm.Method(p.number, "valueOf", NumberValueOf);
  SetConstant(vm, ctor, "MAX_VALUE", Value::Number(DBL_MAX));
  SetConstant(vm, ctor, "MIN_VALUE", Value::Number(4.9406564584124654e-324));
  SetConstant(vm, ctor, "NaN", Value::Number(std::nan("")));
  SetConstant(vm, ctor, "NEGATIVE_INFINITY", Value::Number(-HUGE_VAL));
  SetConstant(vm, ctor, "POSITIVE_INFINITY", Value::Number(HUGE_VAL));

  Object* math = vm.NewObject();
  SetConstant(vm, vm.Global(), "Math", Value::Obj(math));
  const char* unary[] = {"abs", "acos", "asin", "atan", "ceil", "cos", "exp", "floor", "log", "round", "sin", "sqrt", "tan"};
  for (int i = 0; i <= kTan; ++i) vm.Method(math, unary[i], MathUnary, i);
  vm.Method(math, "atan2", MathAtan2);
  vm.Method(math, "pow", MathPow);
  vm.Method(math, "random", MathRandom);
  vm.Method(math, "min", MathMinMax, 0);
  vm.Method(math, "max", MathMinMax, 1);
  SetConstant(vm, math, "E", Value::Number(2.718281828459045));
  SetConstant(vm, math, "LN10", Value::Number(2.302585092994046));
  SetConstant(vm, math, "LN2", Value::Number(0.6931471805599453));
  SetConstant(vm, math, "LOG10E", Value::Number(0.4342944819032518));
  SetConstant(vm, math, "LOG2E", Value::Number(1.4426950408889634));
  SetConstant(vm, math, "PI", Value::Number(3.141592653589793));
  SetConstant(vm, math, "SQRT1_2", Value::Number(0.7071067811865476));
  SetConstant(vm, math, "SQRT2", Value::Number(1.4142135623730951));
}

void InstallGlobals(Vm& vm) {
  Object* g = vm.Global();
  vm.Method(g, "parseInt", ParseInt);
  vm.Method(g, "parseFloat", ParseFloat);
  vm.Method(g, "isNaN", IsNaN);
  vm.Method(g, "isFinite", IsFinite);
  vm.Method(g, "escape", Escape);
  vm.Method(g, "unescape", Unescape);
  vm.Method(g, "getTimer", GetTimer);
  vm.Method(g, "trace", TraceFn);
  vm.Method(g, "setInterval", AddTimer, 0);
  vm.Method(g, "setTimeout", AddTimer, 1);
  vm.Method(g, "clearInterval", ClearTimer);
  vm.Method(g, "clearTimeout", ClearTimer);
  SetConstant(vm, g, "NaN", Value::Number(std::nan("")));
  SetConstant(vm, g, "Infinity", Value::Number(HUGE_VAL));
}

}  // namespace velmora::avm1
