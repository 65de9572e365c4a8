// Speed of the script engine: a counting loop (the action rate), a clock's
// onEnterFrame (Date, Math and member writes, called once per frame), and a
// collection of a heap with many live objects.
#include "player/script/ActionAssembler.h"
#include "player/script/Realm.h"
#include "player/script/Vm.h"

#include <benchmark/benchmark.h>

namespace {

using namespace velmora::avm1;

class Root final : public ClipObject {
 public:
  explicit Root(Object* proto) : ClipObject(proto) {}
  ClipObject* ParentClip() override { return nullptr; }
  ClipObject* ChildByName(Vm&, Str*) override { return nullptr; }
  std::u16string Path() override { return u"_level0"; }
};

class Host final : public ScriptHost {
 public:
  ClipObject* Level(int) override { return root; }
  void SetProperty(ClipObject&, ClipProperty, const Value& v) override { last = v; }
  double NowUtcMs() override { return now += 40; }
  Root* root = nullptr;
  Value last;
  double now = 1.7e12;
};

constexpr int kLoopCount = 100000;
constexpr int kActionsPerRound = 11;

void BM_CountingLoop(benchmark::State& state) {
  Host host;
  Limits limits;
  limits.actionsPerRun = limits.actionsPerFrame = 100000000;
  Vm vm(host, 7, limits);
  host.root = vm.GetHeap().New<Root>(vm.P().movieClip);
  Rooted<ClipObject> keep(vm.GetHeap(), host.root);
  // for (var i = 0; i < kLoopCount; i++) { sum = sum + i; }  (registers, as compilers write it)
  ActionAssembler code;
  auto top = code.NewLabel(), done = code.NewLabel();
  code.Push({"sum", 0}).Do(Op::SetVariable).Push({0}).StoreRegister(1).Do(Op::Pop);
  code.Bind(top).Push({PushArg::Register(1), kLoopCount}).Do(Op::Less2).Do(Op::Not).If(done);
  code.Push({"sum", "sum"}).Do(Op::GetVariable).Push({PushArg::Register(1)}).Do(Op::Add2).Do(Op::SetVariable);
  code.Push({PushArg::Register(1)}).Do(Op::Increment).StoreRegister(1).Do(Op::Pop).Jump(top);
  code.Bind(done);
  std::vector<uint8_t> bytes = code.Bytes();
  Rooted<CodeBlock> block = vm.Load(bytes.data(), bytes.size());
  for (auto _ : state) {
    vm.BeginFrame();
    benchmark::DoNotOptimize(vm.Run(block.Get(), host.root));
  }
  state.counters["actions/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * kLoopCount * kActionsPerRound,
                                                   benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CountingLoop)->Unit(benchmark::kMillisecond);

void BM_ClockEnterFrame(benchmark::State& state) {
  Host host;
  Vm vm(host, 7);
  host.root = vm.GetHeap().New<Root>(vm.P().movieClip);
  Rooted<ClipObject> keep(vm.GetHeap(), host.root);
  // onEnterFrame = function() { var d = new Date(); hand._rotation = d.getSeconds() * 6 + Math.floor(d.getMilliseconds() / 100); }
  ActionAssembler code;
  code.Push({"hand", 0}).Do(Op::InitObject).Do(Op::SetVariable);
  code.Push({"onEnterFrame"}).DefineFunction2("", {}, 3, kSuppressArguments | kSuppressSuper)
      .Push({0, "Date"}).Do(Op::NewObject).StoreRegister(1).Do(Op::Pop)
      .Push({"hand"}).Do(Op::GetVariable).Push({"_rotation", 0, PushArg::Register(1), "getSeconds"}).Do(Op::CallMethod)
      .Push({6}).Do(Op::Multiply).Push({0, PushArg::Register(1), "getMilliseconds"}).Do(Op::CallMethod).Push({100}).Do(Op::Divide)
      .Push({1, "Math"}).Do(Op::GetVariable).Push({"floor"}).Do(Op::CallMethod).Do(Op::Add2).Do(Op::SetMember)
      .EndFunction().Do(Op::SetVariable);
  std::vector<uint8_t> bytes = code.Bytes();
  Rooted<CodeBlock> block = vm.Load(bytes.data(), bytes.size());
  vm.Run(block.Get(), host.root);
  Value handler = vm.GetNamed(host.root, u"onEnterFrame");
  for (auto _ : state) {
    vm.BeginFrame();
    benchmark::DoNotOptimize(vm.CallValue(handler, Value::Obj(host.root), Args()));
    vm.CollectIfNeeded();
  }
}
BENCHMARK(BM_ClockEnterFrame)->Unit(benchmark::kMicrosecond);

void BM_CollectLiveObjects(benchmark::State& state) {
  Host host;
  Vm vm(host, 7);
  Heap& heap = vm.GetHeap();
  Object* holder = vm.NewObject();
  Rooted<Object> keep(heap, holder);
  for (int i = 0; i < 20000; ++i) {
    Object* o = vm.NewObject();
    o->PutOwn(heap, vm.Intern(u"next"), vm.Intern(u"next"), Value::Obj(holder->Proto()));
    holder->SetProto(o);
  }
  for (auto _ : state) vm.Collect();
  state.counters["cells"] = static_cast<double>(heap.CellCount());
}
BENCHMARK(BM_CollectLiveObjects)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
