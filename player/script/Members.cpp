// Member access of the Vm: the prototype chain, getters and setters made by
// addProperty, `__proto__`, `__resolve`, and the objects' own hooks.
#include "player/script/Convert.h"
#include "player/script/Realm.h"
#include "player/script/Vm.h"

#include <unordered_set>

namespace velmora::avm1 {
namespace {

// A prototype chain made circular by a script ends here.
constexpr int kMaxChain = 256;

}  // namespace

bool Vm::Get(Object* object, Str* name, Value& out) {
  out = Value();
  if (!object) return false;
  if (object->IsDisplayObject() && !(object = object->Live(*this))) return false;
  Str* key = Key(name);
  if (GetSlow(object, key, name, out)) return true;
  if (key == names_->resolve || key == names_->proto) return false;
  // An object may answer every missing name itself.
  Value resolver;
  if (!GetSlow(object, names_->resolve, names_->resolve, resolver) || !IsCallable(resolver)) return false;
  Value arg = Value::String(name);
  out = Call(resolver, Value::Obj(object), Args(&arg, 1));
  return true;
}

bool Vm::GetSlow(Object* object, Str* key, Str* /*name*/, Value& out) {
  if (key == names_->proto) {
    if (!object->Proto()) return false;
    out = Value::Obj(object->Proto());
    return true;
  }
  Object* receiver = object;
  if (object->GetSpecial(*this, key, out)) return true;
  for (int depth = 0; object && depth < kMaxChain; ++depth, object = object->Proto()) {
    if (Property* p = object->FindOwn(key)) {
      if (p->flags & kAccessor) {
        Value getter = p->value;
        out = IsCallable(getter) ? Call(getter, Value::Obj(receiver), Args()) : Value();
      } else {
        out = p->value;
      }
      return true;
    }
    if (depth == 0 && object->GetFallback(*this, key, out)) return true;
  }
  return false;
}

Value Vm::Get(Object* object, Str* name) {
  Value out;
  Get(object, name, out);
  return out;
}

Value Vm::GetValue(const Value& base, Str* name) {
  Object* object = nullptr;
  switch (base.GetType()) {
    case Type::Object: object = base.AsObject(); break;
    case Type::String:
      if (Key(name) == names_->length) return Value::Number(static_cast<double>(base.AsString()->Length()));
      object = protos_->string;
      break;
    case Type::Number: object = protos_->number; break;
    case Type::Boolean: object = protos_->boolean; break;
    default: return Value();
  }
  if (base.IsObject()) return Get(object, name);
  // A primitive's members come from its class's prototype, with the
  // primitive itself as `this` for getters.
  Value out;
  GetSlow(object, Key(name), name, out);
  return out;
}

void Vm::Put(Object* object, Str* name, const Value& value) {
  if (!object) return;
  if (object->IsDisplayObject() && !(object = object->Live(*this))) return;
  Str* key = Key(name);
  if (key == names_->proto) {
    object->SetProto(value.AsObject());
    return;
  }
  if (object->SetSpecial(*this, key, value)) return;
  SetOwnOrChain(object, key, name, value);
}

void Vm::SetOwnOrChain(Object* object, Str* key, Str* name, const Value& value) {
  Object* holder = object;
  for (int depth = 0; holder && depth < kMaxChain; ++depth, holder = holder->Proto()) {
    Property* p = holder->FindOwn(key);
    if (!p) continue;
    if (p->flags & kAccessor) {
      if (p->setter) {
        Value arg = value;
        Call(Value::Obj(p->setter), Value::Obj(object), Args(&arg, 1));
      }
      return;
    }
    if (holder != object) break;  // a plain inherited value is shadowed
    if (!(p->flags & kReadOnly)) p->value = value;
    return;
  }
  object->PutOwn(heap_, key, name, value);
}

bool Vm::Remove(Object* object, Str* name) {
  if (!object) return false;
  if (object->IsDisplayObject() && !(object = object->Live(*this))) return false;
  Str* key = Key(name);
  bool deleted = false;
  if (object->DeleteSpecial(*this, key, deleted)) return deleted;
  Property* p = object->FindOwn(key);
  if (!p || (p->flags & kDontDelete)) return false;
  return object->RemoveOwn(heap_, key);
}

bool Vm::HasProperty(Object* object, Str* name) {
  Value ignored;
  if (!object) return false;
  return GetSlow(object, Key(name), name, ignored);
}

void Vm::EnumerableNames(Object* object, std::vector<Str*>& names) {
  if (!object) return;
  if (object->IsDisplayObject() && !(object = object->Live(*this))) return;
  std::unordered_set<const Str*> seen;
  std::vector<Str*> special;
  object->EnumerateSpecial(*this, special);
  for (Str* s : special) {
    if (seen.insert(Key(Intern(s))).second) names.push_back(s);
  }
  for (int depth = 0; object && depth < kMaxChain; ++depth, object = object->Proto()) {
    for (const Property& p : object->Properties()) {
      if (!seen.insert(p.key).second || (p.flags & kDontEnum)) continue;
      names.push_back(p.name);
    }
  }
}

bool Vm::IsCallable(const Value& value) const {
  return value.IsObject() && value.AsObject()->Class() == ObjectClass::Function;
}

bool Vm::InstanceOf(const Value& value, Object* constructor) {
  Object* object = value.AsObject();
  if (!object || !constructor) return false;
  Value protoValue = Get(constructor, names_->prototype);
  Object* proto = protoValue.AsObject();
  if (!proto) return false;
  Object* p = object->Proto();
  for (int depth = 0; p && depth < kMaxChain; ++depth, p = p->Proto()) {
    if (p == proto) return true;
    if (const auto* list = p->Interfaces()) {
      for (Object* iface : *list) {
        if (iface == constructor) return true;
        // An interface may extend others: their prototypes name them too.
        Value ip = Get(iface, names_->prototype);
        if (ip.AsObject() && ip.AsObject()->Interfaces()) {
          for (Object* inner : *ip.AsObject()->Interfaces()) {
            if (inner == constructor) return true;
          }
        }
      }
    }
  }
  return false;
}

}  // namespace velmora::avm1
