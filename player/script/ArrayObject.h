// Arrays: dense elements up to the Vm's bound, `length` kept with them.
// An index beyond the bound is stored as a plain named property, so no
// script can make one array take unbounded memory.
#pragma once

#include "player/script/Object.h"

#include <vector>

namespace velmora::avm1 {

class ArrayObject final : public Object {
 public:
  explicit ArrayObject(Object* proto) : Object(proto, ObjectClass::Array) {}

  std::vector<Value>& Elements() { return elements_; }
  uint32_t Length() const { return static_cast<uint32_t>(elements_.size()); }
  // False (and nothing changed) when the length is above the bound.
  bool Resize(Vm& vm, size_t length);
  bool SetElement(Vm& vm, uint32_t index, const Value& value);
  Value Element(uint32_t index) const { return index < elements_.size() ? elements_[index] : Value(); }
  void PushBack(Vm& vm, const Value& value) { SetElement(vm, Length(), value); }

  bool GetSpecial(Vm& vm, Str* key, Value& out) override;
  bool SetSpecial(Vm& vm, Str* key, const Value& value) override;
  bool DeleteSpecial(Vm& vm, Str* key, bool& deleted) override;
  void EnumerateSpecial(Vm& vm, std::vector<Str*>& names) override;
  void Trace(Tracer& tracer) override;

 private:
  std::vector<Value> elements_;
};

ArrayObject* NewArray(Vm& vm, Args values = Args());
// The element index a name stands for ("0", "17"; not "01" or "-1").
bool ArrayIndex(const Str* name, uint32_t& index);
bool ArrayIndex(const Value& value, uint32_t& index);

}  // namespace velmora::avm1
