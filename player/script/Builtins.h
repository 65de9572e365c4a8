// The built-in classes and functions, each file installing one family on
// the global object; helpers the natives share.
#pragma once

#include "player/script/Convert.h"
#include "player/script/Function.h"
#include "player/script/Vm.h"

#include <string>
#include <string_view>

namespace velmora::avm1 {

// Boolean, Number and String objects made by `new`: the primitive they box.
class BoxObject final : public Object {
 public:
  BoxObject(Object* proto, ObjectClass cls, const Value& primitive) : Object(proto, cls), primitive_(primitive) {}
  const Value& Primitive() const { return primitive_; }
  void SetPrimitive(const Value& v) { primitive_ = v; }
  bool GetSpecial(Vm& vm, Str* key, Value& out) override;
  void Trace(Tracer& tracer) override {
    Object::Trace(tracer);
    tracer.Mark(primitive_);
  }

 private:
  Value primitive_;
};

class DateObject final : public Object {
 public:
  DateObject(Object* proto, double time) : Object(proto, ObjectClass::Date), time_(time) {}
  double Time() const { return time_; }
  void SetTime(double t) { time_ = t; }

 private:
  double time_;
};

void InstallBuiltins(Vm& vm);
void InstallObjectAndFunction(Vm& vm);
void InstallArray(Vm& vm);
void InstallString(Vm& vm);
void InstallNumberAndMath(Vm& vm);
void InstallGlobals(Vm& vm);
void InstallDate(Vm& vm);
void InstallInput(Vm& vm);
void InstallGeometry(Vm& vm);

// Helpers for natives.
inline double NumberArg(CallInfo& c, size_t i) { return ToNumber(c.vm, c.args[i]); }
inline Value TextValue(Vm& vm, std::u16string text) {
  Str* s = vm.NewString(std::move(text));
  return s ? Value::String(s) : Value();
}
inline Value AsciiValue(Vm& vm, std::string_view text) { return Value::String(vm.Intern(text)); }
// A constructor function with its prototype object linked both ways, made a
// global under `name` (DontEnum).
NativeFunction* DefineClass(Vm& vm, Object* holder, std::string_view name, NativeFn ctor, Object* proto);
void SetConstant(Vm& vm, Object* target, std::string_view name, const Value& value);
// The property a built-in object shows through a getter and maybe a setter.
void DefineAccessor(Vm& vm, Object* target, std::string_view name, NativeFn getter, NativeFn setter, int tag = 0);

}  // namespace velmora::avm1
