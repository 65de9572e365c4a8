// Object, Function, Boolean, Error and the global object they hang on.
#include "player/script/ArrayObject.h"
#include "player/script/Builtins.h"
#include "player/script/Realm.h"
#include "player/script/Text.h"

namespace velmora::avm1 {
namespace {

Object* ThisObj(CallInfo& c) { return c.thisValue.AsObject(); }

Value ObjectCtor(CallInfo& c) {
  if (c.args.Size() > 0 && c.args[0].IsObject()) return c.args[0];
  if (c.construct) return c.thisValue;
  return Value::Obj(c.vm.NewObject());
}

Value ObjectToString(CallInfo& c) {
  Object* o = ThisObj(c);
  if (o && o->Class() == ObjectClass::Function) return AsciiValue(c.vm, "[type Function]");
  return AsciiValue(c.vm, "[object Object]");
}

Value ObjectValueOf(CallInfo& c) {
  Object* o = ThisObj(c);
  if (auto* box = dynamic_cast<BoxObject*>(o)) return box->Primitive();
  return c.thisValue;
}

Value AddProperty(CallInfo& c) {
  Object* o = ThisObj(c);
  Vm& vm = c.vm;
  Value getter = c.args[1], setter = c.args[2];
  if (!o || !vm.IsCallable(getter) || c.args[0].IsNullish()) return Value::Bool(false);
  if (!setter.IsNull() && !vm.IsCallable(setter)) return Value::Bool(false);
  Str* name = vm.Intern(ToStr(vm, c.args[0]));
  if (name->Length() == 0) return Value::Bool(false);
  Property& p = o->PutOwn(vm.GetHeap(), vm.Key(name), name, getter, kAccessor);
  p.setter = setter.AsObject();
  return Value::Bool(true);
}

Value HasOwnProperty(CallInfo& c) {
  Object* o = ThisObj(c);
  if (!o) return Value::Bool(false);
  Str* name = c.vm.Intern(ToStr(c.vm, c.args[0]));
  if (o->FindOwn(c.vm.Key(name))) return Value::Bool(true);
  uint32_t index;
  if (o->Class() == ObjectClass::Array && ArrayIndex(name, index)) {
    return Value::Bool(index < static_cast<ArrayObject*>(o)->Length());
  }
  return Value::Bool(false);
}

Value IsPropertyEnumerable(CallInfo& c) {
  Object* o = ThisObj(c);
  if (!o) return Value::Bool(false);
  Property* p = o->FindOwn(c.vm.Key(c.vm.Intern(ToStr(c.vm, c.args[0]))));
  return Value::Bool(p && !(p->flags & kDontEnum));
}

Value IsPrototypeOf(CallInfo& c) {
  Object* self = ThisObj(c);
  Object* o = c.args[0].AsObject();
  for (int depth = 0; o && self && depth < 256; ++depth) {
    o = o->Proto();
    if (o == self) return Value::Bool(true);
  }
  return Value::Bool(false);
}

Value RegisterClass(CallInfo& c) {
  if (c.args[0].IsNullish()) return Value::Bool(false);
  std::u16string name = ToText(c.vm, c.args[0]);
  return Value::Bool(c.vm.Host().RegisterClass(name, c.args[1].AsObject()));
}

// watch/unwatch are not kept: a movie that relies on them sees false.
Value Unsupported(CallInfo&) { return Value::Bool(false); }

Value FunctionCtor(CallInfo& c) { return c.construct ? c.thisValue : Value::Obj(c.vm.NewNative(Unsupported)); }

Value FunctionCall(CallInfo& c) {
  Args rest = c.args.Size() > 1 ? Args(c.args.Data() + 1, c.args.Size() - 1) : Args();
  return c.vm.Call(c.thisValue, c.args[0], rest);
}

Value FunctionApply(CallInfo& c) {
  std::vector<Value> list;
  if (auto* a = dynamic_cast<ArrayObject*>(c.args[1].AsObject())) list = a->Elements();
  return c.vm.Call(c.thisValue, c.args[0], Args(list.data(), list.size()));
}

Value BooleanCtor(CallInfo& c) {
  Value v = Value::Bool(ToBoolean(c.vm, c.args[0]));
  if (!c.construct) return v;
  return Value::Obj(c.vm.GetHeap().New<BoxObject>(c.vm.P().boolean, ObjectClass::Boolean, v));
}

Value BooleanToString(CallInfo& c) {
  Value v = c.thisValue;
  if (auto* box = dynamic_cast<BoxObject*>(v.AsObject())) v = box->Primitive();
  return Value::String(ToStr(c.vm, v.IsBoolean() ? v : Value::Bool(ToBoolean(c.vm, v))));
}

Value BooleanValueOf(CallInfo& c) {
  Value v = c.thisValue;
  if (auto* box = dynamic_cast<BoxObject*>(v.AsObject())) return box->Primitive();
  return v.IsBoolean() ? v : Value::Bool(ToBoolean(c.vm, v));
}

Value ErrorCtor(CallInfo& c) {
  Object* o = c.construct ? ThisObj(c) : c.vm.NewObject(c.vm.P().error);
  if (o && !c.args[0].IsUndefined()) c.vm.Put(o, c.vm.N().message, c.args[0]);
  return Value::Obj(o);
}

Value ErrorToString(CallInfo& c) {
  return Value::String(ToStr(c.vm, c.vm.Get(ThisObj(c), c.vm.N().message)));
}

// ASSetPropFlags(object, names, set, clear): names null for all, a list
// separated by commas, or an array of names.
Value SetPropFlags(CallInfo& c) {
  Vm& vm = c.vm;
  Object* o = c.args[0].AsObject();
  if (!o) return Value();
  constexpr uint16_t kSettable = kDontEnum | kDontDelete | kReadOnly;
  uint16_t set = static_cast<uint16_t>(ToInt32(NumberArg(c, 2))) & kSettable;
  uint16_t clear = static_cast<uint16_t>(ToInt32(NumberArg(c, 3))) & kSettable;
  auto apply = [&](Property& p) { p.flags = static_cast<uint16_t>((p.flags & ~clear) | set); };
  Value names = c.args[1];
  if (names.IsNull()) {
    for (const Property& p : o->Properties()) apply(*o->FindOwn(p.key));
    return Value();
  }
  std::vector<Str*> list;
  if (auto* a = dynamic_cast<ArrayObject*>(names.AsObject())) {
    for (const Value& v : a->Elements()) list.push_back(vm.Intern(ToStr(vm, v)));
  } else {
    std::u16string text = ToText(vm, names);
    size_t start = 0;
    while (start <= text.size()) {
      size_t comma = text.find(u',', start);
      if (comma == std::u16string::npos) comma = text.size();
      list.push_back(vm.Intern(std::u16string_view(text).substr(start, comma - start)));
      start = comma + 1;
    }
  }
  for (Str* name : list) {
    if (Property* p = o->FindOwn(vm.Key(name))) apply(*p);
  }
  return Value();
}

Value NoValue(CallInfo&) { return Value(); }

}  // namespace

bool BoxObject::GetSpecial(Vm& vm, Str* key, Value& out) {
  if (primitive_.IsString() && key == vm.N().length) {
    out = Value::Number(static_cast<double>(primitive_.AsString()->Length()));
    return true;
  }
  return false;
}

NativeFunction* DefineClass(Vm& vm, Object* holder, std::string_view name, NativeFn ctor, Object* proto) {
  NativeFunction* fn = vm.NewNative(ctor);
  Heap& heap = vm.GetHeap();
  const Names& n = vm.N();
  fn->PutOwn(heap, vm.Key(n.prototype), n.prototype, Value::Obj(proto), kDontEnum | kDontDelete);
  proto->PutOwn(heap, vm.Key(n.constructor), n.constructor, Value::Obj(fn), kDontEnum | kDontDelete);
  SetConstant(vm, holder, name, Value::Obj(fn));
  return fn;
}

void SetConstant(Vm& vm, Object* target, std::string_view name, const Value& value) {
  Str* s = vm.Intern(name);
  target->PutOwn(vm.GetHeap(), vm.Key(s), s, value, kDontEnum);
}

void DefineAccessor(Vm& vm, Object* target, std::string_view name, NativeFn getter, NativeFn setter, int tag) {
  Str* s = vm.Intern(name);
  Property& p = target->PutOwn(vm.GetHeap(), vm.Key(s), s, Value::Obj(vm.NewNative(getter, tag)), kAccessor | kDontEnum);
  p.setter = setter ? vm.NewNative(setter, tag) : nullptr;
}

void InstallObjectAndFunction(Vm& vm) {
  Protos& p = vm.P();
  Heap& heap = vm.GetHeap();
  p.object = heap.New<Object>(nullptr);
  p.function = heap.New<Object>(p.object);
  Object* global = heap.New<Object>(p.object);
  vm.SetGlobal(global);

  p.objectCtor = DefineClass(vm, global, "Object", ObjectCtor, p.object);
  vm.Method(p.object, "toString", ObjectToString);
  vm.Method(p.object, "valueOf", ObjectValueOf);
  vm.Method(p.object, "addProperty", AddProperty);
  vm.Method(p.object, "hasOwnProperty", HasOwnProperty);
  vm.Method(p.object, "isPropertyEnumerable", IsPropertyEnumerable);
  vm.Method(p.object, "isPrototypeOf", IsPrototypeOf);
  vm.Method(p.object, "watch", Unsupported);
  vm.Method(p.object, "unwatch", Unsupported);
  vm.Method(p.objectCtor, "registerClass", RegisterClass);

  p.functionCtor = DefineClass(vm, global, "Function", FunctionCtor, p.function);
  vm.Method(p.function, "call", FunctionCall);
  vm.Method(p.function, "apply", FunctionApply);

  p.boolean = vm.NewObject();
  DefineClass(vm, global, "Boolean", BooleanCtor, p.boolean);
  vm.Method(p.boolean, "toString", BooleanToString);
  vm.Method(p.boolean, "valueOf", BooleanValueOf);

  p.error = vm.NewObject();
  DefineClass(vm, global, "Error", ErrorCtor, p.error);
  vm.Method(p.error, "toString", ErrorToString);
  SetConstant(vm, p.error, "message", AsciiValue(vm, "Error"));
  SetConstant(vm, p.error, "name", AsciiValue(vm, "Error"));

  vm.Method(global, "ASSetPropFlags", SetPropFlags);
  vm.Method(global, "ASnative", NoValue);
  vm.Method(global, "updateAfterEvent", NoValue);
}

void InstallBuiltins(Vm& vm) {
  InstallObjectAndFunction(vm);
  InstallArray(vm);
  InstallString(vm);
  InstallNumberAndMath(vm);
  InstallGlobals(vm);
  InstallDate(vm);
  InstallInput(vm);
  InstallGeometry(vm);
}

}  // namespace velmora::avm1
