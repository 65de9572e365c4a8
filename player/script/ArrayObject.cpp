#include "player/script/ArrayObject.h"

#include "player/script/Convert.h"
#include "player/script/Realm.h"
#include "player/script/Text.h"
#include "player/script/Vm.h"

#include <cmath>

namespace velmora::avm1 {

bool ArrayIndex(const Str* name, uint32_t& index) {
  const std::u16string& t = name->Text();
  if (t.empty() || t.size() > 10 || (t.size() > 1 && t[0] == u'0')) return false;
  uint64_t v = 0;
  for (char16_t c : t) {
    if (c < u'0' || c > u'9') return false;
    v = v * 10 + (c - u'0');
  }
  if (v >= 0xFFFFFFFFull) return false;
  index = static_cast<uint32_t>(v);
  return true;
}

bool ArrayIndex(const Value& value, uint32_t& index) {
  if (value.IsNumber()) {
    double d = value.AsNumber();
    if (d >= 0 && d < 4294967295.0 && d == std::floor(d)) {
      index = static_cast<uint32_t>(d);
      return true;
    }
    return false;
  }
  return value.IsString() && ArrayIndex(value.AsString(), index);
}

bool ArrayObject::Resize(Vm& vm, size_t length) {
  if (length > vm.GetLimits().arrayLength) return false;
  ptrdiff_t delta = static_cast<ptrdiff_t>(length) - static_cast<ptrdiff_t>(elements_.size());
  elements_.resize(length);
  vm.GetHeap().Charge(this, delta * static_cast<ptrdiff_t>(sizeof(Value)));
  return true;
}

bool ArrayObject::SetElement(Vm& vm, uint32_t index, const Value& value) {
  if (index >= elements_.size() && !Resize(vm, size_t{index} + 1)) return false;
  elements_[index] = value;
  return true;
}

bool ArrayObject::GetSpecial(Vm& vm, Str* key, Value& out) {
  if (key == vm.N().length) {
    out = Value::Number(Length());
    return true;
  }
  uint32_t index;
  if (!ArrayIndex(key, index) || index >= elements_.size()) return false;
  out = elements_[index];
  return true;
}

bool ArrayObject::SetSpecial(Vm& vm, Str* key, const Value& value) {
  if (key == vm.N().length) {
    double n = ToInteger(ToNumber(vm, value));
    if (n < 0) n = 0;
    if (!Resize(vm, n > vm.GetLimits().arrayLength ? vm.GetLimits().arrayLength : static_cast<size_t>(n))) return true;
    return true;
  }
  uint32_t index;
  if (!ArrayIndex(key, index)) return false;
  return SetElement(vm, index, value);
}

bool ArrayObject::DeleteSpecial(Vm&, Str* key, bool& deleted) {
  uint32_t index;
  if (!ArrayIndex(key, index) || index >= elements_.size()) return false;
  elements_[index] = Value();
  deleted = true;
  return true;
}

void ArrayObject::EnumerateSpecial(Vm& vm, std::vector<Str*>& names) {
  for (uint32_t i = 0; i < elements_.size(); ++i) {
    if (elements_[i].IsUndefined()) continue;
    names.push_back(vm.Intern(NumberToText(i)));
  }
}

void ArrayObject::Trace(Tracer& tracer) {
  Object::Trace(tracer);
  for (const Value& v : elements_) tracer.Mark(v);
}

ArrayObject* NewArray(Vm& vm, Args values) {
  auto* a = vm.GetHeap().New<ArrayObject>(vm.P().array);
  size_t n = std::min<size_t>(values.Size(), vm.GetLimits().arrayLength);
  a->Resize(vm, n);
  for (size_t i = 0; i < n; ++i) a->Elements()[i] = values[i];
  return a;
}

}  // namespace velmora::avm1
