// The ActionScript 1/2 engine of one movie: its heap, its global object and
// built-in classes, the interpreter, the bounds that keep a movie from
// hanging or exhausting memory, and the calls the host makes to run code,
// call handlers, read and write members and collect the heap between
// frames. Conversions follow the movie's version (see Convert.h).
#pragma once

#include "player/script/ClipObject.h"
#include "player/script/CodeBlock.h"
#include "player/script/Function.h"
#include "player/script/ScriptHost.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace velmora::avm1 {

class Interpreter;
class Timers;
struct Names;
struct Protos;

struct Limits {
  uint32_t actionsPerRun = 500000;     // one host call: a frame script, a handler
  uint32_t actionsPerFrame = 2000000;  // all runs between two BeginFrame calls
  double msPerFrame = 2000;            // wall time between two BeginFrame calls
  int callDepth = 256;                 // as the reference player
  size_t memoryBytes = 64u << 20;
  size_t stringLength = 1u << 22;      // UTF-16 units
  uint32_t arrayLength = 1u << 20;     // dense elements; higher indices are plain names
  size_t stackValues = 1u << 18;
  size_t timers = 1000;                // intervals and timeouts alive at once
};

// Keyboard and pointer state the host fills in; Key and Mouse read it.
struct InputState {
  bool down[256] = {};
  bool toggled[256] = {};
  int lastCode = 0, lastAscii = 0;
  bool pointerHidden = false;
};

struct RunResult {
  StopReason stopped = StopReason::None;
  Value value;  // a function call's result
  bool Ok() const { return stopped == StopReason::None; }
};

class Vm : public RootSource {
 public:
  Vm(ScriptHost& host, int swfVersion, Limits limits = Limits());
  ~Vm();
  Vm(const Vm&) = delete;
  Vm& operator=(const Vm&) = delete;

  // --- The host's calls ---
  // A code block for these bytes (copied), pinned while the handle lives.
  Rooted<CodeBlock> Load(const uint8_t* data, size_t size);
  // Runs a block with `clip` as `this` and as the target of its actions.
  RunResult Run(CodeBlock* code, Object* clip);
  // Calls a function value (a handler, a listener, an interval).
  RunResult CallValue(const Value& function, const Value& thisValue, Args args);
  // Calls obj[name](args) when it is a function; not found is not an error.
  RunResult CallMethodByName(Object* object, std::u16string_view name, Args args);
  Value GetNamed(Object* object, std::u16string_view name);
  void SetNamed(Object* object, std::u16string_view name, const Value& value);
  // A variable named as a text field names the one it shows: "name",
  // "a.b.name", "_root.name", "/a/b:name", from the timeline `start`.
  // Reading one whose holder is not there gives undefined; writing it does
  // nothing.
  Value GetBound(Object* start, std::u16string_view path);
  void SetBound(Object* start, std::u16string_view path, const Value& value);
  // Starts a frame: the per-frame bounds count from here.
  void BeginFrame();
  // Runs the intervals and timeouts that are due at `nowMs` (TimerMs time).
  void TickTimers(double nowMs);
  // Calls `message` on every listener of a broadcaster (Key, Mouse, Stage
  // or any object AsBroadcaster set up), as broadcastMessage does.
  void Broadcast(Object* source, std::u16string_view message, Args args);
  InputState& Input() { return input_; }
  // A full collection; the host calls it between frames.
  void Collect();
  // A collection only when the heap has grown enough since the last one.
  void CollectIfNeeded();

  // --- For the engine and its built-ins ---
  int Version() const { return version_; }
  bool CaseSensitive() const { return version_ >= 7; }
  Heap& GetHeap() { return heap_; }
  ScriptHost& Host() { return host_; }
  const Limits& GetLimits() const { return limits_; }
  const Names& N() const { return *names_; }
  Protos& P() { return *protos_; }
  Object* Global() const { return global_; }
  Timers& GetTimers() { return *timers_; }

  Str* Intern(std::u16string_view text) { return heap_.Intern(text); }
  Str* Intern(std::string_view ascii);
  Str* Intern(Str* s) { return s->Interned() ? s : heap_.Intern(s->Text()); }
  // The key lookups compare: the interned name, folded before version 7.
  Str* Key(Str* interned) const { return CaseSensitive() ? interned : interned->Folded(); }
  // A new string; one above the length bound stops the script (null back).
  Str* NewString(std::u16string text);
  Object* NewObject();
  Object* NewObject(Object* proto);
  NativeFunction* NewNative(NativeFn fn, int tag = 0, int length = 0);
  // Puts a native method on `target` (DontEnum, as built-ins are).
  NativeFunction* Method(Object* target, std::string_view name, NativeFn fn, int tag = 0);

  // Members with getters, setters, `__proto__` and the objects' own hooks.
  bool Get(Object* object, Str* name, Value& out);
  Value Get(Object* object, Str* name);
  Value GetValue(const Value& base, Str* name);  // primitives use their class's prototype
  void Put(Object* object, Str* name, const Value& value);
  bool Remove(Object* object, Str* name);
  bool HasProperty(Object* object, Str* name);
  // The named properties a for-in visits, in the order it visits them.
  void EnumerableNames(Object* object, std::vector<Str*>& names);

  // Calls from native code back into scripts (sort comparers, getters,
  // toString): the result, or undefined once the run is failing.
  Value Call(const Value& function, const Value& thisValue, Args args);
  Value Construct(const Value& constructor, Args args);
  bool IsCallable(const Value& value) const;
  bool InstanceOf(const Value& value, Object* constructor);

  // Stops everything up to the host's call (a bound was passed).
  void Abort(StopReason reason);
  // A script-visible exception, caught by Try or reaching the host's call.
  void Throw(const Value& value);
  bool Failing() const { return abort_ != StopReason::None || throwing_; }
  bool Aborting() const { return abort_ != StopReason::None; }
  bool Throwing() const { return throwing_; }
  Value TakeThrown();

  // The clip whose actions run now (for `_root`, frame actions, getTimer...).
  ClipObject* CurrentTarget() const;
  ClipObject* RootOf(Object* clip);
  void TraceRoots(Tracer& tracer) override;
  Interpreter& Interp() { return *interp_; }
  void SetGlobal(Object* global) { global_ = global; }

 private:
  friend class Interpreter;
  RunResult Finish(Object* target, RunResult result);
  bool GetSlow(Object* object, Str* key, Str* name, Value& out);
  // The object that holds a bound variable and the variable's own name.
  Object* BoundHolder(Object* start, std::u16string_view path, std::u16string_view& name);
  void SetOwnOrChain(Object* object, Str* key, Str* name, const Value& value);

  ScriptHost& host_;
  int version_;
  Limits limits_;
  Heap heap_;
  std::unique_ptr<Names> names_;
  std::unique_ptr<Protos> protos_;
  std::unique_ptr<Interpreter> interp_;
  std::unique_ptr<Timers> timers_;
  Object* global_ = nullptr;
  std::vector<Str*> magicNames_;
  StopReason abort_ = StopReason::None;
  bool throwing_ = false;
  Value thrown_;
  size_t liveAfterCollect_ = 0;
  int hostDepth_ = 0;
  InputState input_;
};

}  // namespace velmora::avm1
