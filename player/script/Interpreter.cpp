#include "player/script/Interpreter.h"

#include "player/script/ArrayObject.h"
#include "player/script/Convert.h"
#include "player/script/Realm.h"
#include "player/script/Vm.h"

#include <algorithm>

namespace velmora::avm1 {
namespace {

constexpr uint16_t kTopLevelRegisters = 4;
constexpr uint32_t kClockCheckEvery = 1024;

}  // namespace

Value Interpreter::RunBlock(CodeBlock* code, Object* target) {
  if (Depth() >= static_cast<size_t>(vm_.GetLimits().callDepth)) {
    vm_.Abort(StopReason::RecursionLimit);
    return Value();
  }
  Frame f;
  f.code = code;
  f.end = code->Size();
  ClipObject* clip = target && target->IsDisplayObject() ? static_cast<ClipObject*>(target) : nullptr;
  f.target = f.baseTarget = clip;
  f.thisValue = Value::Obj(target);
  f.scope = target ? vm_.GetHeap().New<Scope>(target, nullptr) : nullptr;
  f.stackBase = stack_.size();
  f.regBase = regs_.size();
  f.regCount = kTopLevelRegisters;
  regs_.resize(regs_.size() + f.regCount);
  f.blockBase = blocks_.size();
  f.returnsToHost = true;
  bool nested = !frames_.empty();
  if (nested) ++nativeDepth_;
  frames_.push_back(f);
  Execute(frames_.size() - 1);
  if (nested) --nativeDepth_;
  Value r = result_;
  result_ = Value();
  return r;
}

Value Interpreter::CallScript(ScriptFunction* fn, const Value& thisValue, Args args, bool construct,
                              Object* home) {
  if (Depth() >= static_cast<size_t>(vm_.GetLimits().callDepth)) {
    vm_.Abort(StopReason::RecursionLimit);
    return Value();
  }
  bool nested = !frames_.empty();
  if (nested) ++nativeDepth_;
  PushFrame(fn, thisValue, args, construct, home);
  frames_.back().returnsToHost = true;
  Execute(frames_.size() - 1);
  if (nested) --nativeDepth_;
  Value r = result_;
  result_ = Value();
  return r;
}

Value Interpreter::CallAny(const Value& fnValue, const Value& thisValue, Args args, bool construct,
                           Object* home) {
  Object* fn = fnValue.AsObject();
  if (!fn || fn->Class() != ObjectClass::Function) return Value();
  auto* f = static_cast<FunctionObject*>(fn);
  if (!f->IsNative()) return CallScript(static_cast<ScriptFunction*>(f), thisValue, args, construct, home);
  if (Depth() >= static_cast<size_t>(vm_.GetLimits().callDepth)) {
    vm_.Abort(StopReason::RecursionLimit);
    return Value();
  }
  ++nativeDepth_;
  CallInfo call{vm_, thisValue, args, fn, construct};
  Value r = static_cast<NativeFunction*>(f)->Fn()(call);
  --nativeDepth_;
  return vm_.Failing() ? Value() : r;
}

void Interpreter::PushFrame(ScriptFunction* fn, const Value& thisValue, Args args, bool construct,
                            Object* home) {
  const FunctionDef& d = fn->Def();
  Heap& heap = vm_.GetHeap();
  const Names& n = vm_.N();
  Frame f;
  f.code = fn->Code();
  f.pc = d.start;
  f.end = d.end;
  f.callee = fn;
  f.thisValue = thisValue;
  f.construct = construct;
  f.superObject = home;
  Object* target = fn->DefiningTarget();
  f.target = f.baseTarget = target && target->IsDisplayObject() ? static_cast<ClipObject*>(target) : nullptr;
  f.pool = fn->Pool();
  f.stackBase = stack_.size();
  f.blockBase = blocks_.size();
  f.regBase = regs_.size();
  f.regCount = std::max<uint16_t>(d.registerCount, kTopLevelRegisters);
  regs_.resize(regs_.size() + f.regCount);
  f.activation = heap.New<Object>(nullptr, ObjectClass::Activation);
  f.scope = heap.New<Scope>(f.activation, fn->Closure());
  bool wantArguments = !(d.v2 && (d.flags & kSuppressArguments));
  if (wantArguments) {
    ArrayObject* list = NewArray(vm_, args);
    list->PutOwn(heap, vm_.Key(n.callee), n.callee, Value::Obj(fn), kDontEnum);
    Object* caller = frames_.empty() ? nullptr : frames_.back().callee;
    list->PutOwn(heap, vm_.Key(n.caller), n.caller, Value::Obj(caller), kDontEnum);
    f.arguments = list;
  }
  Value* regs = regs_.data() + f.regBase;
  if (d.v2) {
    uint16_t r = 1;
    auto preload = [&](uint16_t flag, const Value& v) {
      if ((d.flags & flag) && r < f.regCount) regs[r++] = v;
    };
    preload(kPreloadThis, thisValue);
    preload(kPreloadArguments, Value::Obj(f.arguments));
    if ((d.flags & kPreloadSuper) && r < f.regCount) regs[r++] = Value::Obj(MakeSuper(vm_, f));
    ClipObject* root = f.target ? vm_.RootOf(f.target) : nullptr;
    preload(kPreloadRoot, Value::Obj(root));
    preload(kPreloadParent, f.target ? Value::Obj(f.target->ParentClip()) : Value());
    preload(kPreloadGlobal, Value::Obj(vm_.Global()));
  }
  for (size_t i = 0; i < d.params.size(); ++i) {
    const FunctionParam& p = d.params[i];
    if (d.v2 && p.reg != 0) {
      if (p.reg < f.regCount) regs[p.reg] = args[i];
    } else {
      f.activation->PutOwn(heap, vm_.Key(p.name), p.name, args[i]);
    }
  }
  frames_.push_back(f);
}

void Interpreter::Execute(size_t base) {
  Heap& heap = vm_.GetHeap();
  while (frames_.size() > base) {
    if (vm_.Failing()) {
      if (vm_.Aborting()) {
        while (frames_.size() > base) PopFrame(Value());
        return;
      }
      if (!HandleThrow(base)) return;
      continue;
    }
    Frame& f = frames_.back();
    if (blocks_.size() > f.blockBase) {
      LeaveBlocks(f);
      if (vm_.Failing()) continue;
    }
    const Instr* ip = f.pc < f.end ? f.code->At(heap, f.pc) : nullptr;
    if (!ip || ip->next > f.end) {
      PopFrame(Value());
      continue;
    }
    Instr in = *ip;
    if (!CheckBounds()) continue;
    f.pc = in.next;
    Step(in);
  }
}

bool Interpreter::CheckBounds() {
  const Limits& limits = vm_.GetLimits();
  if (++runActions_ > limits.actionsPerRun || ++frameActions_ > limits.actionsPerFrame) {
    vm_.Abort(StopReason::ActionLimit);
    return false;
  }
  if (frameActions_ % kClockCheckEvery == 0 && limits.msPerFrame > 0) {
    double now = vm_.Host().MonotonicMs();
    if (now > 0 && frameStartMs_ > 0 && now - frameStartMs_ > limits.msPerFrame) {
      vm_.Abort(StopReason::TimeLimit);
      return false;
    }
  }
  Heap& heap = vm_.GetHeap();
  if (heap.Bytes() > heap.Limit() / 2) {
    if (SafeToCollect()) vm_.CollectIfNeeded();
    if (heap.OverLimit()) {
      vm_.Abort(StopReason::OutOfMemory);
      return false;
    }
  }
  if (stack_.size() > limits.stackValues) {
    vm_.Abort(StopReason::StackOverflow);
    return false;
  }
  return true;
}

void Interpreter::BeginFrame() {
  frameActions_ = 0;
  runActions_ = 0;
  frameStartMs_ = vm_.Host().MonotonicMs();
}

void Interpreter::ResetRun() { runActions_ = 0; }

void Interpreter::PopFrame(const Value& result) {
  Frame f = frames_.back();
  frames_.pop_back();
  stack_.resize(std::min(stack_.size(), f.stackBase));
  regs_.resize(f.regBase);
  blocks_.resize(f.blockBase);
  Value r = result;
  if (f.construct && !r.IsObject()) r = f.thisValue;
  if (f.returnsToHost) {
    result_ = r;
  } else {
    Push(r);
  }
}

void Interpreter::LeaveBlocks(Frame& f) {
  while (blocks_.size() > f.blockBase) {
    Block& b = blocks_.back();
    if (f.pc >= b.start && f.pc < b.end) return;
    if (b.kind == Block::Kind::With) {
      f.scope = b.savedScope;
      blocks_.pop_back();
      continue;
    }
    const TryDef& t = f.code->Try(b.tryIndex);
    bool natural = f.pc == b.end;
    if (b.kind == Block::Kind::Finally) {
      bool rethrow = b.rethrow;
      Value pending = b.pending;
      uint32_t resume = b.resumeAt;
      blocks_.pop_back();
      if (rethrow) {
        vm_.Throw(pending);
        return;
      }
      if (natural) f.pc = resume;
      continue;
    }
    // The end of a try or catch block runs the finally block, then goes on
    // where it was going (the end of the statement when it ran out).
    uint32_t resume = natural ? t.end : f.pc;
    if (t.finallyStart < t.end) {
      b.kind = Block::Kind::Finally;
      b.start = t.finallyStart;
      b.end = t.end;
      b.resumeAt = resume;
      f.pc = t.finallyStart;
      return;
    }
    blocks_.pop_back();
    f.pc = resume;
  }
}

bool Interpreter::HandleThrow(size_t base) {
  while (frames_.size() > base) {
    Frame& f = frames_.back();
    while (blocks_.size() > f.blockBase) {
      Block& b = blocks_.back();
      if (b.kind == Block::Kind::With || b.kind == Block::Kind::Finally) {
        if (b.kind == Block::Kind::With) f.scope = b.savedScope;
        blocks_.pop_back();
        continue;
      }
      const TryDef& t = f.code->Try(b.tryIndex);
      Value thrown = vm_.TakeThrown();
      stack_.resize(std::max(std::min(stack_.size(), b.stackHeight), f.stackBase));
      f.scope = b.savedScope;
      if (b.kind == Block::Kind::Try && (t.flags & kTryHasCatch)) {
        b.kind = Block::Kind::Catch;
        b.start = t.catchStart;
        b.end = t.finallyStart;
        f.pc = t.catchStart;
        if (t.flags & kTryCatchInRegister) {
          if (t.catchRegister < f.regCount) regs_[f.regBase + t.catchRegister] = thrown;
        } else if (f.activation) {
          f.activation->PutOwn(vm_.GetHeap(), vm_.Key(t.catchName), t.catchName, thrown);
        } else {
          SetVariable(t.catchName, thrown);
        }
        return true;
      }
      if (t.finallyStart < t.end) {
        b.kind = Block::Kind::Finally;
        b.start = t.finallyStart;
        b.end = t.end;
        b.rethrow = true;
        b.pending = thrown;
        f.pc = t.finallyStart;
        return true;
      }
      blocks_.pop_back();
      vm_.Throw(thrown);
    }
    bool toHost = f.returnsToHost;
    PopFrame(Value());
    if (toHost) return false;
  }
  return false;
}

void Interpreter::Push(const Value& v) { stack_.push_back(v); }

Value Interpreter::Pop() {
  size_t floor = frames_.empty() ? 0 : frames_.back().stackBase;
  if (stack_.size() <= floor) return Value();
  Value v = stack_.back();
  stack_.pop_back();
  return v;
}

Value& Interpreter::Top() {
  size_t floor = frames_.empty() ? 0 : frames_.back().stackBase;
  if (stack_.size() <= floor) stack_.push_back(Value());
  return stack_.back();
}

size_t Interpreter::PopCount() {
  double n = ToNumber(vm_, Pop());
  size_t floor = frames_.empty() ? 0 : frames_.back().stackBase;
  size_t available = stack_.size() - floor;
  if (!(n > 0)) return 0;
  return n >= static_cast<double>(available) ? available : static_cast<size_t>(n);
}

void Interpreter::Step(const Instr& in) {
  if (StepOperator(in) || StepObject(in) || StepControl(in) || StepHost(in)) return;
  // Unknown actions are skipped by their length, as the reference player does.
}

ClipObject* Interpreter::CurrentTarget() const {
  for (auto it = frames_.rbegin(); it != frames_.rend(); ++it) {
    if (it->target) return it->target;
  }
  return nullptr;
}

void Interpreter::Trace(Tracer& tracer) {
  for (const Frame& f : frames_) {
    tracer.Mark(f.code);
    tracer.Mark(f.scope);
    tracer.Mark(f.thisValue);
    tracer.Mark(f.target);
    tracer.Mark(f.baseTarget);
    tracer.Mark(f.activation);
    tracer.Mark(f.callee);
    tracer.Mark(f.arguments);
    tracer.Mark(f.superObject);
  }
  for (const Value& v : stack_) tracer.Mark(v);
  for (const Value& v : regs_) tracer.Mark(v);
  for (const Block& b : blocks_) {
    tracer.Mark(b.savedScope);
    tracer.Mark(b.pending);
  }
  tracer.Mark(result_);
}

}  // namespace velmora::avm1
