// A fake host for the script engine's tests: a small tree of clips with
// instance names, frame state and properties kept per clip, a settable
// clock, time zone and random source, and the trace lines and stops it was
// told about.
#pragma once

#include "player/script/ActionAssembler.h"
#include "player/script/Convert.h"
#include "player/script/Text.h"
#include "player/script/Vm.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace velmora::avm1::test {

class FakeClip final : public ClipObject {
 public:
  FakeClip(Object* proto, std::string name, FakeClip* parent) : ClipObject(proto), name_(std::move(name)), parent_(parent) {}
  ClipObject* ParentClip() override { return parent_; }
  ClipObject* ChildByName(Vm& vm, Str* name) override {
    for (FakeClip* c : children_) {
      if (c->Removed()) continue;
      Str* childName = vm.Intern(FromUtf8(c->name_));
      if (vm.Key(childName) == name) return c;
    }
    return nullptr;
  }
  void ChildNames(Vm& vm, std::vector<Str*>& names) override {
    for (FakeClip* c : children_) {
      if (!c->Removed()) names.push_back(vm.Intern(FromUtf8(c->name_)));
    }
  }
  std::u16string Path() override {
    if (!parent_) return u"_level0";
    return parent_->Path() + u"." + FromUtf8(name_);
  }
  void Trace(Tracer& tracer) override {
    ClipObject::Trace(tracer);
    for (FakeClip* c : children_) tracer.Mark(c);
    tracer.Mark(parent_);
    for (const Value& v : props) tracer.Mark(v);
  }

  std::string name_;
  FakeClip* parent_;
  std::vector<FakeClip*> children_;
  uint32_t frame = 0;
  bool playing = true;
  Value props[kClipPropertyCount];
};

class FakeHost : public ScriptHost {
 public:
  ClipObject* Level(int level) override { return level == 0 ? root : nullptr; }
  ClipObject* ReviveClip(std::u16string_view path) override;
  void FrameAction(ClipObject& clip, FrameOp op) override;
  void GotoFrame(ClipObject& clip, uint32_t frame0, bool play) override;
  void GotoLabel(ClipObject& clip, std::u16string_view label, bool play) override;
  Value GetProperty(ClipObject& clip, ClipProperty p) override;
  void SetProperty(ClipObject& clip, ClipProperty p, const Value& v) override;
  void CloneSprite(ClipObject& source, std::u16string_view name, int depth) override;
  void RemoveSprite(ClipObject& clip) override;
  void StartDrag(ClipObject& clip, bool lockCenter, const DragBounds* bounds) override;
  void GetUrl(const UrlRequest& request) override;
  void CallFrame(ClipObject& clip, uint32_t frame0) override;
  bool RegisterClass(std::u16string_view name, Object* ctor) override;
  double TimerMs() override { return timer; }
  double NowUtcMs() override { return now; }
  double LocalOffsetMs(double) override { return offsetMs; }
  double MonotonicMs() override { return monotonic ? monotonic() : 0; }
  double Random() override { return randomValue; }
  void Trace(std::string_view text) override { traces.emplace_back(text); }
  void ScriptStopped(ClipObject*, StopReason reason) override { stops.push_back(reason); }

  FakeClip* root = nullptr;
  Vm* vm = nullptr;
  std::vector<std::string> traces, log;
  std::vector<StopReason> stops;
  double timer = 0, now = 0, offsetMs = 0, randomValue = 0.5;
  double (*monotonic)() = nullptr;
  std::map<std::string, Rooted<CodeBlock>> frameScripts;  // "path#frame" for ActionCall
};

// A Vm of one version with the fake host and a tree _level0 { a { b }, c }.
class ScriptFixture {
 public:
  explicit ScriptFixture(int version = 8, Limits limits = Limits());
  ~ScriptFixture() {
    host.frameScripts.clear();  // their pins belong to the Vm's heap
    clips.clear();
  }
  FakeClip* AddClip(FakeClip* parent, const std::string& name);
  // Runs the assembled code on `clip` (the root by default).
  RunResult Run(const ActionAssembler& code, FakeClip* clip = nullptr);
  // Runs and returns what it traced, one line each.
  std::vector<std::string> Traces(const ActionAssembler& code, FakeClip* clip = nullptr);
  std::string Text(const Value& v) { return ToUtf8(ToText(*vm, v)); }
  Value Global(const std::string& name) { return vm->GetNamed(vm->Global(), FromUtf8(name)); }
  Value Var(const std::string& name, FakeClip* clip = nullptr) { return vm->GetNamed(clip ? clip : host.root, FromUtf8(name)); }

  FakeHost host;
  std::unique_ptr<Vm> vm;
  std::vector<Rooted<ClipObject>> clips;
  FakeClip *a = nullptr, *b = nullptr, *c = nullptr;
};

// Pushes `value` and traces it.
inline ActionAssembler& TraceTop(ActionAssembler& code) { return code.Do(Op::Trace); }

}  // namespace velmora::avm1::test
