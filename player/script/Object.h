// A script object: named properties in the order they were made, each with
// its flags, and the `__proto__` link. Names are interned strings; the key
// of a name is the string itself, or its folded form where the movie's
// version ignores case, so a lookup compares pointers only. Subclasses
// (arrays, functions, display objects) answer some names themselves
// through the hooks below.
#pragma once

#include "player/script/Value.h"

#include <memory>
#include <unordered_map>
#include <vector>

namespace velmora::avm1 {

class Vm;

enum PropFlags : uint16_t {
  kDontEnum = 0x01,
  kDontDelete = 0x02,
  kReadOnly = 0x04,
  kAccessor = 0x100,  // value holds the getter, `setter` the setter
};

struct Property {
  Str* key = nullptr;   // what lookups compare
  Str* name = nullptr;  // as first written, for enumeration
  Value value;
  Object* setter = nullptr;
  uint16_t flags = 0;
};

enum class ObjectClass : uint8_t {
  Plain, Function, Array, Arguments, Boolean, Number, String, Date, Clip, Activation, Native,
};

class Object : public GcCell {
 public:
  explicit Object(Object* proto, ObjectClass cls = ObjectClass::Plain) : proto_(proto), class_(cls) {}

  ObjectClass Class() const { return class_; }
  Object* Proto() const { return proto_; }
  void SetProto(Object* proto) { proto_ = proto; }

  Property* FindOwn(const Str* key);
  const std::vector<Property>& Properties() const { return props_; }
  // Makes or overwrites an own property, flags included.
  Property& PutOwn(Heap& heap, Str* key, Str* name, const Value& value, uint16_t flags = 0);
  bool RemoveOwn(Heap& heap, const Str* key);

  // Names the object answers before its own properties (an array's length
  // and elements, a movie's levels).
  virtual bool GetSpecial(Vm&, Str* /*key*/, Value& /*out*/) { return false; }
  // Names answered after its own properties but before the prototype (a
  // clip's children by instance name, then its built-in properties).
  virtual bool GetFallback(Vm&, Str* /*key*/, Value& /*out*/) { return false; }
  // True when the object took the assignment itself.
  virtual bool SetSpecial(Vm&, Str* /*key*/, const Value& /*value*/) { return false; }
  // True when the name is one of the object's own; `deleted` tells the result.
  virtual bool DeleteSpecial(Vm&, Str* /*key*/, bool& /*deleted*/) { return false; }
  // Names to enumerate before the own properties.
  virtual void EnumerateSpecial(Vm&, std::vector<Str*>& /*names*/) {}
  virtual const char* TypeName() const { return "object"; }
  // A display object removed from the stage answers the live object now at
  // its path, or null; every other object is itself.
  virtual Object* Live(Vm&) { return this; }
  bool IsDisplayObject() const { return class_ == ObjectClass::Clip; }

  // Interfaces named by ImplementsOp, on a class's prototype.
  const std::vector<Object*>* Interfaces() const { return interfaces_.get(); }
  void SetInterfaces(std::vector<Object*> list);

  void Trace(Tracer& tracer) override;

 private:
  void RebuildIndex();

  Object* proto_;
  ObjectClass class_;
  std::vector<Property> props_;
  // Built once an object has many properties; small ones are scanned.
  std::unique_ptr<std::unordered_map<const Str*, uint32_t>> index_;
  std::unique_ptr<std::vector<Object*>> interfaces_;
};

// The scope chain: a list of objects searched for names, innermost first.
class Scope final : public GcCell {
 public:
  Scope(Object* object, Scope* next) : object_(object), next_(next) {}
  Object* GetObject() const { return object_; }
  Scope* Next() const { return next_; }
  void Trace(Tracer& tracer) override {
    tracer.Mark(object_);
    tracer.Mark(next_);
  }

 private:
  Object* object_;
  Scope* next_;
};

}  // namespace velmora::avm1
