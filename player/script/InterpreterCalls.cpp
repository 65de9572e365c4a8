// Variables, members, calls, object construction and the control actions.
#include "player/script/ArrayObject.h"
#include "player/script/Convert.h"
#include "player/script/Interpreter.h"
#include "player/script/Realm.h"
#include "player/script/Vm.h"

#include <algorithm>

namespace velmora::avm1 {
namespace {

constexpr size_t kInlineArgs = 8;

// Call arguments taken off the stack (first popped is the first argument),
// without an allocation for the usual few.
class PoppedArgs {
 public:
  template <class PopFn>
  PoppedArgs(size_t count, PopFn pop) : count_(count) {
    if (count_ > kInlineArgs) heap_.resize(count_);
    Value* data = Data();
    for (size_t i = 0; i < count_; ++i) data[i] = pop();
  }
  Args Get() const { return Args(count_ > kInlineArgs ? heap_.data() : inline_, count_); }

 private:
  Value* Data() { return count_ > kInlineArgs ? heap_.data() : inline_; }
  size_t count_;
  Value inline_[kInlineArgs];
  std::vector<Value> heap_;
};

// The holder of `name` on the chain of `object` (where a method was found).
Object* HolderOf(Vm& vm, Object* object, Str* name) {
  Str* key = vm.Key(name);
  for (int depth = 0; object && depth < 256; ++depth, object = object->Proto()) {
    if (object->FindOwn(key)) return object;
  }
  return nullptr;
}

}  // namespace

Object* MakeSuper(Vm& vm, const Frame& f) {
  Object* home = f.superObject;
  if (!home) {
    Object* self = f.thisValue.AsObject();
    home = self ? self->Proto() : nullptr;
  }
  return vm.GetHeap().New<SuperObject>(home, f.thisValue);
}

bool Interpreter::StepObject(const Instr& in) {
  Vm& vm = vm_;
  Heap& heap = vm.GetHeap();
  switch (in.op) {
    case Op::GetVariable: {
      Str* name = vm.Intern(ToStr(vm, Pop()));
      Push(GetVariable(name));
      return true;
    }
    case Op::SetVariable: {
      Value value = Pop();
      Str* name = vm.Intern(ToStr(vm, Pop()));
      SetVariable(name, value);
      return true;
    }
    case Op::DefineLocal:
    case Op::DefineLocal2: {
      Value value = in.op == Op::DefineLocal ? Pop() : Value();
      Str* name = vm.Intern(ToStr(vm, Pop()));
      Frame& f = frames_.back();
      Object* holder = f.activation ? f.activation : BaseObject(f);
      if (!holder) return true;
      if (in.op == Op::DefineLocal2 && holder->FindOwn(vm.Key(name))) return true;
      if (f.activation) {
        holder->PutOwn(heap, vm.Key(name), name, value);
      } else {
        vm.Put(holder, name, value);
      }
      return true;
    }
    case Op::GetMember: {
      Value key = Pop();
      Value base = Pop();
      uint32_t index;
      Object* o = base.AsObject();
      if (o && o->Class() == ObjectClass::Array && key.IsNumber() && ArrayIndex(key, index)) {
        auto* a = static_cast<ArrayObject*>(o);
        if (index < a->Length()) {
          Push(a->Element(index));
          return true;
        }
      }
      Push(vm.GetValue(base, vm.Intern(ToStr(vm, key))));
      return true;
    }
    case Op::SetMember: {
      Value value = Pop();
      Value key = Pop();
      Object* o = Pop().AsObject();
      if (!o) return true;
      uint32_t index;
      if (o->Class() == ObjectClass::Array && key.IsNumber() && ArrayIndex(key, index) &&
          static_cast<ArrayObject*>(o)->SetElement(vm, index, value)) {
        return true;
      }
      vm.Put(o, vm.Intern(ToStr(vm, key)), value);
      return true;
    }
    case Op::Delete: {
      Str* name = vm.Intern(ToStr(vm, Pop()));
      Object* o = Pop().AsObject();
      Push(Value::Bool(vm.Remove(o, name)));
      return true;
    }
    case Op::Delete2: {
      Str* name = vm.Intern(ToStr(vm, Pop()));
      Value ignored;
      Object* holder = nullptr;
      bool found = LookupInScope(name, ignored, &holder);
      Push(Value::Bool(found && holder && vm.Remove(holder, name)));
      return true;
    }
    case Op::CallFunction: {
      Str* name = vm.Intern(ToStr(vm, Pop()));
      size_t argc = PopCount();
      Object* holder = nullptr;
      Value fn = GetVariable(name, &holder);
      // A plain call gets no `this`, but for a function found on a clip of
      // the scope chain (the timeline, or a with block's clip), which is
      // called on that clip: `lineTo(5, 5)` in a frame script draws on
      // its timeline, as in the reference player.
      Value self;
      if (holder && holder->Class() == ObjectClass::Clip) self = Value::Obj(holder);
      DoCall(fn, self, argc, false, nullptr);
      return true;
    }
    case Op::CallMethod: DoCallMethod(false); return true;
    case Op::NewMethod: DoCallMethod(true); return true;
    case Op::NewObject: {
      Str* name = vm.Intern(ToStr(vm, Pop()));
      size_t argc = PopCount();
      DoCall(GetVariable(name), Value(), argc, true, nullptr);
      return true;
    }
    case Op::InitArray: {
      size_t count = PopCount();
      PoppedArgs values(count, [this] { return Pop(); });
      Push(Value::Obj(NewArray(vm, values.Get())));
      return true;
    }
    case Op::InitObject: {
      size_t pairs = std::min(PopCount(), stack_.size() / 2);
      Object* o = vm.NewObject();
      // The pairs come off the stack last first; the object gets them in
      // the order they were written.
      std::vector<std::pair<Str*, Value>> entries(pairs);
      for (size_t i = pairs; i-- > 0;) {
        entries[i].second = Pop();
        entries[i].first = vm.Intern(ToStr(vm, Pop()));
      }
      for (const auto& [name, value] : entries) vm.Put(o, name, value);
      Push(Value::Obj(o));
      return true;
    }
    case Op::Enumerate: DoEnumerate(GetVariable(vm.Intern(ToStr(vm, Pop())))); return true;
    case Op::Enumerate2: DoEnumerate(Pop()); return true;
    case Op::InstanceOf: {
      Object* ctor = Pop().AsObject();
      Value value = Pop();
      Push(Value::Bool(vm.InstanceOf(value, ctor)));
      return true;
    }
    case Op::CastOp: {
      Value value = Pop();
      Object* ctor = Pop().AsObject();
      Push(vm.InstanceOf(value, ctor) ? value : Value::Null());
      return true;
    }
    case Op::Extends: DoExtends(); return true;
    case Op::ImplementsOp: DoImplements(); return true;
    default: return false;
  }
}

void Interpreter::DoCall(const Value& fn, const Value& thisValue, size_t argc, bool construct, Object* home) {
  PoppedArgs args(argc, [this] { return Pop(); });
  Object* f = fn.AsObject();
  if (!f || f->Class() != ObjectClass::Function) {
    Push(Value());
    return;
  }
  Value self = thisValue;
  if (construct) {
    Value protoValue = vm_.Get(f, vm_.N().prototype);
    Object* made = vm_.NewObject(protoValue.AsObject());
    made->PutOwn(vm_.GetHeap(), vm_.Key(vm_.N().constructor2), vm_.N().constructor2, fn, kDontEnum);
    if (vm_.Version() < 7) {
      made->PutOwn(vm_.GetHeap(), vm_.Key(vm_.N().constructor), vm_.N().constructor, fn, kDontEnum);
    }
    self = Value::Obj(made);
    home = protoValue.AsObject();
  }
  auto* function = static_cast<FunctionObject*>(f);
  if (!function->IsNative()) {
    if (Depth() >= static_cast<size_t>(vm_.GetLimits().callDepth)) {
      vm_.Abort(StopReason::RecursionLimit);
      return;
    }
    PushFrame(static_cast<ScriptFunction*>(function), self, args.Get(), construct, home);
    return;
  }
  Value r = CallAny(fn, self, args.Get(), construct, home);
  if (construct && !r.IsObject()) r = self;
  Push(r);
}

void Interpreter::DoCallMethod(bool construct) {
  Vm& vm = vm_;
  Value nameValue = Pop();
  Value base = Pop();
  size_t argc = PopCount();
  bool noName = nameValue.IsUndefined() || (nameValue.IsString() && nameValue.AsString()->Length() == 0);
  Object* o = base.AsObject();
  if (o && o->IsDisplayObject()) o = o->Live(vm);
  if (noName) {
    // The object itself is the function; a call on `super` runs the super
    // class's constructor on this object.
    if (o && o->Class() == ObjectClass::Native && dynamic_cast<SuperObject*>(o)) {
      auto* s = static_cast<SuperObject*>(o);
      Object* home = s->Home();
      Value ctor = home ? vm.Get(home, vm.N().constructor2) : Value();
      DoCall(ctor, s->This(), argc, false, home ? home->Proto() : nullptr);
      return;
    }
    DoCall(base, Value(), argc, construct, nullptr);
    return;
  }
  Str* name = vm.Intern(ToStr(vm, nameValue));
  Value self = base;
  Object* lookupFrom = o;
  if (o && o->Class() == ObjectClass::Native && dynamic_cast<SuperObject*>(o)) {
    self = static_cast<SuperObject*>(o)->This();
    lookupFrom = o->Proto();
  }
  Value fn = base.IsObject() ? (lookupFrom ? vm.Get(lookupFrom, name) : Value()) : vm.GetValue(base, name);
  Object* home = nullptr;
  if (fn.IsObject() && !construct && lookupFrom) home = HolderOf(vm, lookupFrom, name);
  if (!base.IsObject() && !construct) {
    Object* proto = base.IsString() ? vm.P().string : base.IsNumber() ? vm.P().number : vm.P().boolean;
    if (!base.IsNullish()) home = HolderOf(vm, proto, name);
  }
  DoCall(fn, construct ? Value() : self, argc, construct, home);
}

void Interpreter::DoEnumerate(const Value& value) {
  Push(Value::Null());
  Object* o = value.AsObject();
  if (!o) return;
  std::vector<Str*> names;
  vm_.EnumerableNames(o, names);
  for (Str* s : names) Push(Value::String(s));
}

void Interpreter::DoExtends() {
  Vm& vm = vm_;
  Object* superclass = Pop().AsObject();
  Object* subclass = Pop().AsObject();
  if (!superclass || !subclass) return;
  Object* proto = vm.NewObject(vm.Get(superclass, vm.N().prototype).AsObject());
  Heap& heap = vm.GetHeap();
  const Names& n = vm.N();
  proto->PutOwn(heap, vm.Key(n.constructor2), n.constructor2, Value::Obj(superclass), kDontEnum);
  proto->PutOwn(heap, vm.Key(n.constructor), n.constructor, Value::Obj(subclass), kDontEnum);
  vm.Put(subclass, n.prototype, Value::Obj(proto));
}

void Interpreter::DoImplements() {
  Vm& vm = vm_;
  Object* ctor = Pop().AsObject();
  size_t count = PopCount();
  std::vector<Object*> list;
  for (size_t i = 0; i < count; ++i) {
    if (Object* iface = Pop().AsObject()) list.push_back(iface);
  }
  if (!ctor) return;
  if (Object* proto = vm.Get(ctor, vm.N().prototype).AsObject()) proto->SetInterfaces(std::move(list));
}

bool Interpreter::StepControl(const Instr& in) {
  Vm& vm = vm_;
  Frame& f = frames_.back();
  switch (in.op) {
    case Op::Push: DoPush(in); return true;
    case Op::ConstantPool: f.pool = static_cast<int>(in.aux); return true;
    case Op::StoreRegister: {
      Value v = Top();
      if (in.aux < f.regCount) regs_[f.regBase + in.aux] = v;
      return true;
    }
    case Op::Jump:
    case Op::If: {
      if (in.op == Op::If && !ToBoolean(vm, Pop())) return true;
      // A jump outside the code ends it.
      f.pc = in.target < 0 || in.target > f.end ? f.end : static_cast<uint32_t>(in.target);
      return true;
    }
    case Op::With: {
      Object* o = ToObject(vm, Pop());
      uint32_t end = static_cast<uint32_t>(std::min<int64_t>(in.target, f.end));
      if (!o) {
        f.pc = end;
        return true;
      }
      Block b;
      b.kind = Block::Kind::With;
      b.start = in.next;
      b.end = end;
      b.savedScope = f.scope;
      blocks_.push_back(b);
      f.scope = vm.GetHeap().New<Scope>(o, f.scope);
      return true;
    }
    case Op::Try: DoTry(in); return true;
    case Op::Throw: vm.Throw(Pop()); return true;
    case Op::Return: PopFrame(Pop()); return true;
    case Op::DefineFunction:
    case Op::DefineFunction2: DoDefineFunction(in); return true;
    default: return false;
  }
}

void Interpreter::DoPush(const Instr& in) {
  Frame& f = frames_.back();
  const std::vector<Str*>* pool = f.pool >= 0 ? &f.code->Pool(f.pool) : nullptr;
  for (uint32_t i = 0; i < in.count; ++i) {
    const PushItem& item = f.code->Push(in.aux + i);
    switch (item.type) {
      case PushType::Register:
        Push(item.index < f.regCount ? regs_[f.regBase + item.index] : Value());
        break;
      case PushType::Constant8:
      case PushType::Constant16:
        Push(pool && item.index < pool->size() ? Value::String((*pool)[item.index]) : Value());
        break;
      default: Push(item.value); break;
    }
  }
}

void Interpreter::DoTry(const Instr& in) {
  Frame& f = frames_.back();
  const TryDef& t = f.code->Try(in.aux);
  Block b;
  b.kind = Block::Kind::Try;
  b.start = t.tryStart;
  b.end = t.catchStart;
  b.tryIndex = in.aux;
  b.savedScope = f.scope;
  b.stackHeight = stack_.size();
  blocks_.push_back(b);
}

void Interpreter::DoDefineFunction(const Instr& in) {
  Vm& vm = vm_;
  Frame& f = frames_.back();
  const FunctionDef& def = f.code->Function(in.aux);
  Object* target = f.target ? static_cast<Object*>(f.target) : BaseObject(f);
  auto* fn = vm.GetHeap().New<ScriptFunction>(vm.P().function, f.code, in.aux, f.scope, target, f.pool);
  Object* proto = vm.NewObject();
  const Names& n = vm.N();
  proto->PutOwn(vm.GetHeap(), vm.Key(n.constructor), n.constructor, Value::Obj(fn), kDontEnum);
  fn->PutOwn(vm.GetHeap(), vm.Key(n.prototype), n.prototype, Value::Obj(proto), kDontEnum);
  if (!def.name || def.name->Length() == 0) {
    Push(Value::Obj(fn));
    return;
  }
  // A named function is a variable of the scope it is defined in.
  if (f.activation) {
    f.activation->PutOwn(vm.GetHeap(), vm.Key(def.name), def.name, Value::Obj(fn));
  } else if (Object* base = BaseObject(f)) {
    vm.Put(base, def.name, Value::Obj(fn));
  }
}

}  // namespace velmora::avm1
