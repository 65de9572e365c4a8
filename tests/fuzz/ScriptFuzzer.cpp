// libFuzzer target: any bytes run as a script (versions 5 to 8, picked by the
// first byte) on a small tree of clips, then the functions it left behind
// are called and the heap collected. Nothing may crash, hang or grow
// without bound.
#include "player/script/Realm.h"
#include "player/script/Vm.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

using namespace velmora::avm1;

class Clip final : public ClipObject {
 public:
  Clip(Object* proto, Clip* parent, const char16_t* name) : ClipObject(proto), parent_(parent), name_(name) {}
  ClipObject* ParentClip() override { return parent_; }
  ClipObject* ChildByName(Vm& vm, Str* name) override {
    for (Clip* c : children_) {
      if (vm.Key(vm.Intern(std::u16string_view(c->name_))) == name) return c;
    }
    return nullptr;
  }
  std::u16string Path() override { return parent_ ? parent_->Path() + u"." + name_ : u"_level0"; }
  void Trace(Tracer& tracer) override {
    ClipObject::Trace(tracer);
    tracer.Mark(parent_);
    for (Clip* c : children_) tracer.Mark(c);
  }
  Clip* parent_;
  std::u16string name_;
  std::vector<Clip*> children_;
};

class Host final : public ScriptHost {
 public:
  ClipObject* Level(int level) override { return level == 0 ? root : nullptr; }
  Value GetProperty(ClipObject&, ClipProperty p) override { return Value::Number(static_cast<int>(p)); }
  double TimerMs() override { return time += 16; }
  double NowUtcMs() override { return 1.7e12 + time; }
  double Random() override { return 0.37; }
  Clip* root = nullptr;
  double time = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  Host host;
  Limits limits;
  limits.actionsPerRun = 20000;
  limits.actionsPerFrame = 60000;
  limits.memoryBytes = 16u << 20;
  limits.stringLength = 1u << 16;
  limits.arrayLength = 1u << 14;
  Vm vm(host, 5 + data[0] % 4, limits);
  Heap& heap = vm.GetHeap();
  host.root = heap.New<Clip>(vm.P().movieClip, nullptr, u"_level0");
  Rooted<ClipObject> root(heap, host.root);
  Clip* child = heap.New<Clip>(vm.P().movieClip, host.root, u"a");
  host.root->children_.push_back(child);
  Rooted<CodeBlock> code = vm.Load(data + 1, size - 1);
  for (int frame = 0; frame < 3; ++frame) {
    vm.BeginFrame();
    vm.Run(code.Get(), frame == 1 ? static_cast<Object*>(child) : host.root);
    // Whatever functions the script left on the timeline run as handlers.
    std::vector<Value> handlers;
    for (const Property& p : host.root->Properties()) {
      if (vm.IsCallable(p.value)) handlers.push_back(p.value);
    }
    for (const Value& fn : handlers) vm.CallValue(fn, Value::Obj(host.root), Args());
    vm.TickTimers(host.time + 1000);
    vm.Collect();
  }
  return 0;
}
