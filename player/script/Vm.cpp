#include "player/script/Vm.h"

#include "player/script/Builtins.h"
#include "player/script/Convert.h"
#include "player/script/Interpreter.h"
#include "player/script/Realm.h"
#include "player/script/Text.h"
#include "player/script/Timers.h"

namespace velmora::avm1 {
namespace {

// Built-in clip property names by their GetProperty index.
constexpr const char* kClipPropertyNames[kClipPropertyCount] = {
    "_x", "_y", "_xscale", "_yscale", "_currentframe", "_totalframes", "_alpha", "_visible",
    "_width", "_height", "_rotation", "_target", "_framesloaded", "_name", "_droptarget", "_url",
    "_highquality", "_focusrect", "_soundbuftime", "_quality", "_xmouse", "_ymouse"};

// A collection runs when the heap has doubled since the last one, and not
// for less than this.
constexpr size_t kMinCollectBytes = 1u << 20;

}  // namespace

Vm::Vm(ScriptHost& host, int swfVersion, Limits limits)
    : host_(host), version_(swfVersion), limits_(limits), heap_(limits.memoryBytes) {
  names_ = std::make_unique<Names>();
  Names& n = *names_;
  auto in = [this](const char* s) { return Intern(std::string_view(s)); };
  n.empty = in("");
  n.length = in("length");
  n.prototype = in("prototype");
  n.constructor = in("constructor");
  n.proto = in("__proto__");
  n.constructor2 = in("__constructor__");
  n.toString = in("toString");
  n.valueOf = in("valueOf");
  n.thisName = in("this");
  n.root = in("_root");
  n.parent = in("_parent");
  n.global = in("_global");
  n.superName = in("super");
  n.arguments = in("arguments");
  n.callee = in("callee");
  n.caller = in("caller");
  n.undefined = in("undefined");
  n.null = in("null");
  n.trueText = in("true");
  n.falseText = in("false");
  n.resolve = in("__resolve");
  n.message = in("message");
  n.name = in("name");
  n.onEnterFrame = in("onEnterFrame");
  // Keys compare by pointer: the names the engine holds are keys too.
  for (Str** s : {&n.length, &n.prototype, &n.constructor, &n.proto, &n.constructor2, &n.toString, &n.valueOf,
                  &n.thisName, &n.root, &n.parent, &n.global, &n.superName, &n.arguments, &n.callee, &n.caller,
                  &n.resolve}) {
    *s = Key(*s);
  }
  magicNames_.reserve(kClipPropertyCount);
  for (int i = 0; i < kClipPropertyCount; ++i) {
    Str* s = in(kClipPropertyNames[i]);
    s->SetTag(i);
    magicNames_.push_back(s);
  }
  protos_ = std::make_unique<Protos>();
  interp_ = std::make_unique<Interpreter>(*this);
  timers_ = std::make_unique<Timers>();
  InstallBuiltins(*this);
  liveAfterCollect_ = heap_.Bytes();
}

Vm::~Vm() = default;

Str* Vm::Intern(std::string_view ascii) { return heap_.Intern(Ascii(ascii)); }

Str* Vm::NewString(std::u16string text) {
  if (text.size() > limits_.stringLength) {
    Abort(StopReason::StringTooLong);
    return nullptr;
  }
  return heap_.NewString(std::move(text));
}

Object* Vm::NewObject() { return heap_.New<Object>(protos_->object); }
Object* Vm::NewObject(Object* proto) { return heap_.New<Object>(proto); }

NativeFunction* Vm::NewNative(NativeFn fn, int tag, int /*length*/) {
  return heap_.New<NativeFunction>(protos_->function, fn, tag);
}

NativeFunction* Vm::Method(Object* target, std::string_view name, NativeFn fn, int tag) {
  NativeFunction* f = NewNative(fn, tag);
  Str* s = Intern(name);
  target->PutOwn(heap_, Key(s), s, Value::Obj(f), kDontEnum);
  return f;
}

Rooted<CodeBlock> Vm::Load(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);
  CodeBlock* code = heap_.New<CodeBlock>(std::move(bytes), version_);
  heap_.Charge(code, static_cast<ptrdiff_t>(size));
  return Rooted<CodeBlock>(heap_, code);
}

RunResult Vm::Run(CodeBlock* code, Object* clip) {
  if (!code) return RunResult();
  if (hostDepth_++ == 0) interp_->ResetRun();
  RunResult r;
  r.value = interp_->RunBlock(code, clip);
  return Finish(clip, r);
}

RunResult Vm::CallValue(const Value& function, const Value& thisValue, Args args) {
  if (hostDepth_++ == 0) interp_->ResetRun();
  RunResult r;
  r.value = interp_->CallAny(function, thisValue, args, false);
  Object* target = nullptr;
  if (auto* fn = dynamic_cast<ScriptFunction*>(function.AsObject())) target = fn->DefiningTarget();
  return Finish(target, r);
}

RunResult Vm::CallMethodByName(Object* object, std::u16string_view name, Args args) {
  if (!object) return RunResult();
  Value fn = GetNamed(object, name);
  if (!IsCallable(fn)) return RunResult();
  return CallValue(fn, Value::Obj(object), args);
}

RunResult Vm::Finish(Object* target, RunResult r) {
  --hostDepth_;
  if (abort_ != StopReason::None) {
    r.stopped = abort_;
    r.value = Value();
    if (hostDepth_ == 0) {
      abort_ = StopReason::None;
      ClipObject* clip = target && target->IsDisplayObject() ? static_cast<ClipObject*>(target) : nullptr;
      host_.ScriptStopped(clip, r.stopped);
      if (heap_.OverLimit()) Collect();
    }
  } else if (throwing_ && hostDepth_ == 0) {
    r.stopped = StopReason::Uncaught;
    r.value = TakeThrown();
  }
  return r;
}

Value Vm::GetNamed(Object* object, std::u16string_view name) { return Get(object, Intern(name)); }

void Vm::SetNamed(Object* object, std::u16string_view name, const Value& value) { Put(object, Intern(name), value); }

Object* Vm::BoundHolder(Object* start, std::u16string_view path, std::u16string_view& name) {
  if (!start || path.empty()) return nullptr;
  const bool slash = path.find(u'/') != std::u16string_view::npos;
  const size_t cut = slash ? path.find_last_of(u':') : path.find_last_of(u":.");
  if (cut == std::u16string_view::npos) {
    if (slash) return nullptr;  // a clip's path names no variable
    name = path;
    return start;
  }
  if (cut == 0 || cut + 1 >= path.size()) return nullptr;
  name = path.substr(cut + 1);
  return interp_->ResolvePath(path.substr(0, cut), start);
}

Value Vm::GetBound(Object* start, std::u16string_view path) {
  std::u16string_view name;
  Object* holder = BoundHolder(start, path, name);
  return holder ? Get(holder, Intern(name)) : Value();
}

void Vm::SetBound(Object* start, std::u16string_view path, const Value& value) {
  std::u16string_view name;
  if (Object* holder = BoundHolder(start, path, name)) Put(holder, Intern(name), value);
}

void Vm::BeginFrame() { interp_->BeginFrame(); }

void Vm::TickTimers(double nowMs) { timers_->Tick(*this, nowMs); }

void Vm::Collect() {
  if (hostDepth_ > 0 && !interp_->SafeToCollect()) return;
  heap_.Collect(*this);
  liveAfterCollect_ = heap_.Bytes();
}

void Vm::CollectIfNeeded() {
  size_t threshold = std::max(liveAfterCollect_ * 2, liveAfterCollect_ + kMinCollectBytes);
  if (heap_.Bytes() > threshold || heap_.OverLimit()) Collect();
}

void Vm::TraceRoots(Tracer& tracer) {
  tracer.Mark(global_);
  names_->Trace(tracer);
  protos_->Trace(tracer);
  for (Str* s : magicNames_) tracer.Mark(s);
  interp_->Trace(tracer);
  timers_->Trace(tracer);
  tracer.Mark(thrown_);
}

Value Vm::Call(const Value& function, const Value& thisValue, Args args) {
  if (Failing()) return Value();
  return interp_->CallAny(function, thisValue, args, false);
}

Value Vm::Construct(const Value& constructor, Args args) {
  Object* ctor = constructor.AsObject();
  if (!ctor || ctor->Class() != ObjectClass::Function || Failing()) return Value();
  Value protoValue = Get(ctor, names_->prototype);
  Object* made = NewObject(protoValue.AsObject());
  made->PutOwn(heap_, Key(names_->constructor2), names_->constructor2, constructor, kDontEnum);
  Value r = interp_->CallAny(constructor, Value::Obj(made), args, true, protoValue.AsObject());
  return r.IsObject() ? r : Value::Obj(made);
}

void Vm::Abort(StopReason reason) {
  if (abort_ == StopReason::None) abort_ = reason;
}

void Vm::Throw(const Value& value) {
  throwing_ = true;
  thrown_ = value;
}

Value Vm::TakeThrown() {
  throwing_ = false;
  Value v = thrown_;
  thrown_ = Value();
  return v;
}

ClipObject* Vm::CurrentTarget() const { return interp_->CurrentTarget(); }

ClipObject* Vm::RootOf(Object* object) {
  auto* clip = object && object->IsDisplayObject() ? static_cast<ClipObject*>(object) : nullptr;
  if (!clip) clip = CurrentTarget();
  if (!clip) return host_.Level(0);
  for (int depth = 0; depth < 1000; ++depth) {
    ClipObject* parent = clip->ParentClip();
    if (!parent) return clip;
    clip = parent;
  }
  return clip;
}

}  // namespace velmora::avm1
