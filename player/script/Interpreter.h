// The stack machine. Script functions called by scripts run in the same
// loop (a frame pushed, not a C++ call), so script recursion costs no
// native stack; natives calling back into scripts nest the loop. The loop
// counts actions for the bounds and collects garbage at safe points: between
// actions, when no native call is under way (then every live value is on
// the operand stack, in registers or in the frames, all traced).
#pragma once

#include "player/script/CodeBlock.h"
#include "player/script/ScriptHost.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace velmora::avm1 {

class ClipObject;
class Vm;

struct Block {
  enum class Kind : uint8_t { With, Try, Catch, Finally } kind = Kind::With;
  uint32_t start = 0, end = 0;  // the range the block covers now
  uint32_t tryIndex = 0;
  uint32_t resumeAt = 0;        // where to go after a finally block
  Scope* savedScope = nullptr;
  size_t stackHeight = 0;
  bool rethrow = false;
  Value pending;                // the value to throw again after finally
};

struct Frame {
  CodeBlock* code = nullptr;
  uint32_t pc = 0, end = 0;
  Scope* scope = nullptr;
  Value thisValue;
  ClipObject* target = nullptr;      // frame actions' clip (tellTarget changes it)
  ClipObject* baseTarget = nullptr;  // the clip the code runs for
  Object* activation = nullptr;      // a function's locals
  Object* callee = nullptr;
  Object* arguments = nullptr;
  Object* superObject = nullptr;     // the object the method was found on (its super is next)
  int pool = -1;
  size_t stackBase = 0, regBase = 0, blockBase = 0;
  uint16_t regCount = 0;
  bool construct = false;
  bool returnsToHost = false;
};

// `super` in a method: members from the prototype after the method's home,
// called with the method's `this`.
class SuperObject final : public Object {
 public:
  SuperObject(Object* home, const Value& thisValue)
      : Object(home ? home->Proto() : nullptr, ObjectClass::Native), home_(home), this_(thisValue) {}
  Object* Home() const { return home_; }
  const Value& This() const { return this_; }
  void Trace(Tracer& tracer) override {
    Object::Trace(tracer);
    tracer.Mark(home_);
    tracer.Mark(this_);
  }

 private:
  Object* home_;
  Value this_;
};

Object* MakeSuper(Vm& vm, const Frame& frame);

class Interpreter {
 public:
  explicit Interpreter(Vm& vm) : vm_(vm) {}

  // Runs a code block as a frame script of `target`.
  Value RunBlock(CodeBlock* code, Object* target);
  // Calls a script function; the result, or undefined when failing.
  Value CallScript(ScriptFunction* fn, const Value& thisValue, Args args, bool construct,
                   Object* superObject = nullptr);
  // Calls any function value, natives included.
  Value CallAny(const Value& fn, const Value& thisValue, Args args, bool construct, Object* superObject = nullptr);
  void BeginFrame();
  void ResetRun();
  void Trace(Tracer& tracer);
  ClipObject* CurrentTarget() const;
  bool SafeToCollect() const { return nativeDepth_ == 0; }
  size_t Depth() const { return frames_.size() + static_cast<size_t>(nativeDepth_); }

 private:
  void Execute(size_t base);
  bool CheckBounds();
  void LeaveBlocks(Frame& f);
  bool HandleThrow(size_t base);
  void PopFrame(const Value& result);
  void Step(const Instr& in);
  void PushFrame(ScriptFunction* fn, const Value& thisValue, Args args, bool construct, Object* superObject);

  // Operand stack; popping an empty frame's stack gives undefined.
  void Push(const Value& v);
  Value Pop();
  Value& Top();
  size_t PopCount();  // a count popped from the stack, bounded by what is there

  // Arithmetic, comparison and string actions (InterpreterOps.cpp).
  bool StepOperator(const Instr& in);
  // Variables, members, functions and objects (InterpreterCalls.cpp).
  bool StepObject(const Instr& in);
  bool StepControl(const Instr& in);
  void DoPush(const Instr& in);
  void DoDefineFunction(const Instr& in);
  void DoTry(const Instr& in);
  void DoCall(const Value& fn, const Value& thisValue, size_t argc, bool construct, Object* superObject);
  void DoCallMethod(bool construct);
  void DoEnumerate(const Value& object);
  void DoExtends();
  void DoImplements();
  // Display and host actions (InterpreterHost.cpp).
  bool StepHost(const Instr& in);
  void DoGotoValue(const Value& frame, bool play, uint32_t bias);
  void DoSetTarget(ClipObject* clip);
  ClipObject* TargetFromValue(const Value& v);

 public:
  // Variables by name or path, with the scope chain of the current frame.
  // `holder`, when given, gets the object of the scope chain a plain name
  // was found on (null otherwise).
  Value GetVariable(Str* name, Object** holder = nullptr);
  void SetVariable(Str* name, const Value& value);
  // A target path ("/a/b", "_root.a", "../c", "_level0") from the current target.
  Object* ResolvePath(std::u16string_view path, Object* start);
  Frame* Current() { return frames_.empty() ? nullptr : &frames_.back(); }

 private:
  bool LookupInScope(Str* name, Value& out, Object** holder);
  Object* PathStep(Object* from, std::u16string_view segment);
  Object* ResolveFirstSegment(std::u16string_view segment);
  Object* BaseObject(const Frame& f);

  Vm& vm_;
  std::vector<Frame> frames_;
  std::vector<Value> stack_;
  std::vector<Value> regs_;
  std::vector<Block> blocks_;
  int nativeDepth_ = 0;
  uint32_t runActions_ = 0, frameActions_ = 0;
  double frameStartMs_ = 0;
  Value result_;
};

}  // namespace velmora::avm1
