// The bounds that keep a movie's scripts from hanging or exhausting memory,
// the collector, and bytecode that is cut off or jumps anywhere.
#include "ScriptTestSupport.h"

#include <gtest/gtest.h>

#include <random>

namespace velmora::avm1::test {
namespace {

// while (true) { n = n + 1; }
ActionAssembler RunawayLoop() {
  ActionAssembler code;
  auto top = code.NewLabel();
  code.Push({"n", 0}).Do(Op::SetVariable);
  code.Bind(top).Push({"n", "n"}).Do(Op::GetVariable).Do(Op::Increment).Do(Op::SetVariable).Jump(top);
  return code;
}

TEST(ScriptLimits, RunawayLoopStopsAndTheNextFrameRunsAgain) {
  Limits limits;
  limits.actionsPerRun = 10000;
  ScriptFixture f(7, limits);
  f.vm->BeginFrame();
  RunResult r = f.Run(RunawayLoop());
  EXPECT_EQ(r.stopped, StopReason::ActionLimit);
  ASSERT_EQ(f.host.stops.size(), 1u);
  double n = f.Var("n").AsNumber();
  EXPECT_GT(n, 1000);
  EXPECT_LT(n, 10000);  // five actions a round
  // The clip goes on: the next frame's script runs from the start.
  f.vm->BeginFrame();
  ActionAssembler next;
  next.Push({"next frame"}).Do(Op::Trace);
  EXPECT_EQ(f.Traces(next), std::vector<std::string>{"next frame"});
}

TEST(ScriptLimits, AFrameBudgetCoversAllItsRuns) {
  Limits limits;
  limits.actionsPerRun = 1000000;
  limits.actionsPerFrame = 20000;
  ScriptFixture f(7, limits);
  f.vm->BeginFrame();
  EXPECT_EQ(f.Run(RunawayLoop()).stopped, StopReason::ActionLimit);
  ActionAssembler small;
  small.Push({"late"}).Do(Op::Trace);
  EXPECT_EQ(f.Run(small).stopped, StopReason::ActionLimit);  // nothing left in this frame
  f.vm->BeginFrame();
  EXPECT_TRUE(f.Run(small).Ok());
}

double gFakeClock = 0;
double AdvancingClock() { return gFakeClock += 1; }

TEST(ScriptLimits, WallTimeStopsAFrame) {
  Limits limits;
  limits.actionsPerRun = 100000000;
  limits.actionsPerFrame = 100000000;
  limits.msPerFrame = 100;
  ScriptFixture f(7, limits);
  f.host.monotonic = AdvancingClock;  // a millisecond per look at the clock
  f.vm->BeginFrame();
  RunResult r = f.Run(RunawayLoop());
  EXPECT_EQ(r.stopped, StopReason::TimeLimit);
  EXPECT_LT(f.Var("n").AsNumber(), 1024 * 110 / 5);
}

TEST(ScriptLimits, RecursionStopsAtTheReferenceDepth) {
  ScriptFixture f(7);
  ActionAssembler code;
  // function down(d) { depth = d; down(d + 1); }
  code.DefineFunction("down", {"d"})
      .Push({"depth", "d"}).Do(Op::GetVariable).Do(Op::SetVariable)
      .Push({"d"}).Do(Op::GetVariable).Do(Op::Increment).Push({1, "down"}).Do(Op::CallFunction).Do(Op::Pop)
      .EndFunction();
  code.Push({1, 1, "down"}).Do(Op::CallFunction);
  RunResult r = f.Run(code);
  EXPECT_EQ(r.stopped, StopReason::RecursionLimit);
  EXPECT_EQ(f.Var("depth").AsNumber(), 255);  // the frame script itself is the first level
}

TEST(ScriptLimits, StringDoublingStopsAtTheLengthBound) {
  Limits limits;
  limits.stringLength = 1 << 16;
  ScriptFixture f(7, limits);
  ActionAssembler code;
  auto top = code.NewLabel();
  code.Push({"s", "x"}).Do(Op::SetVariable);
  code.Bind(top).Push({"s", "s"}).Do(Op::GetVariable).Push({"s"}).Do(Op::GetVariable).Do(Op::Add2).Do(Op::SetVariable).Jump(top);
  EXPECT_EQ(f.Run(code).stopped, StopReason::StringTooLong);
  EXPECT_EQ(ToStr(*f.vm, f.Var("s"))->Length(), 1u << 16);
}

TEST(ScriptLimits, KeptStringsStopAtTheMemoryBoundAndTheHeapRecovers) {
  Limits limits;
  limits.memoryBytes = 8u << 20;
  ScriptFixture f(7, limits);
  // keep = []; s = "xxxx...(4096)"; while (true) { keep.push(s + keep.length); }
  ActionAssembler code;
  auto top = code.NewLabel();
  code.Push({"keep", 0}).Do(Op::InitArray).Do(Op::SetVariable);
  code.Push({"s", std::string(4096, 'x')}).Do(Op::SetVariable);
  code.Bind(top).Push({"s"}).Do(Op::GetVariable).Push({"keep"}).Do(Op::GetVariable).Push({"length"}).Do(Op::GetMember)
      .Do(Op::Add2).Push({1, "keep"}).Do(Op::GetVariable).Push({"push"}).Do(Op::CallMethod).Do(Op::Pop).Jump(top);
  EXPECT_EQ(f.Run(code).stopped, StopReason::OutOfMemory);
  EXPECT_LE(f.vm->GetHeap().Bytes(), limits.memoryBytes + (1u << 20));
  // The movie drops the array: the next collection frees it and scripts run.
  ActionAssembler drop;
  drop.Push({"keep", PushArg::Null()}).Do(Op::SetVariable).Push({"fine"}).Do(Op::Trace);
  EXPECT_EQ(f.Traces(drop), std::vector<std::string>{"fine"});
  f.vm->Collect();
  EXPECT_LT(f.vm->GetHeap().Bytes(), limits.memoryBytes / 4);
}

TEST(ScriptHeap, CollectionFreesCyclesAndKeepsWhatIsReachable) {
  ScriptFixture f(7);
  f.vm->Collect();
  size_t baseCells = f.vm->GetHeap().CellCount();
  ActionAssembler code;
  // Many objects in cycles with closures, none reachable after the run...
  auto top = code.NewLabel(), done = code.NewLabel();
  code.Push({"i", 0}).Do(Op::DefineLocal);
  code.Bind(top).Push({"i"}).Do(Op::GetVariable).Push({1000}).Do(Op::Less2).Do(Op::Not).If(done);
  code.Push({"o", 0}).Do(Op::InitObject).Do(Op::DefineLocal)
      .Push({"o"}).Do(Op::GetVariable).Push({"self", "o"}).Do(Op::GetVariable).Do(Op::SetMember)
      .Push({"o"}).Do(Op::GetVariable).Push({"f"}).DefineFunction("", {}).Push({"o"}).Do(Op::GetVariable).Do(Op::Return).EndFunction().Do(Op::SetMember)
      .Push({"i", "i"}).Do(Op::GetVariable).Do(Op::Increment).Do(Op::SetVariable).Jump(top);
  code.Bind(done);
  // ...but one kept on the timeline.
  code.Push({"kept", "k", "alive", 1}).Do(Op::InitObject).Do(Op::SetVariable);
  ASSERT_TRUE(f.Run(code).Ok());
  EXPECT_GT(f.vm->GetHeap().CellCount(), baseCells + 3000);
  f.vm->Collect();
  EXPECT_LT(f.vm->GetHeap().CellCount(), baseCells + 50);
  EXPECT_EQ(f.Text(f.vm->GetNamed(f.Var("kept").AsObject(), u"k")), "alive");
}

TEST(ScriptMalformed, CutRecordsAndWildJumpsEndTheCode) {
  ScriptFixture f(7);
  std::vector<std::vector<uint8_t>> cases = {
      {0x96, 0x05},                          // a length cut off
      {0x96, 0x10, 0x00, 0x00, 'a'},         // a payload longer than the code
      {0x96, 0x02, 0x00, 0x00, 'a'},         // a string without its end
      {0x99, 0x00, 0x80},                    // a jump far before the start
      {0x99, 0xFF, 0x7F},                    // a jump far past the end
      {0x99, 0xFE, 0xFF},                    // a jump into its own middle
      {0x9B, 0x05, 0x00, 'f', 0x00, 0xFF, 0xFF},  // a function header cut off
      {0x8F, 0x07, 0x00, 0x03, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},  // try sizes past the end
      {0x94, 0x02, 0x00, 0xFF, 0xFF},        // with over more than there is
      {0x88, 0x03, 0x00, 0xFF, 0xFF, 'x'},   // a constant pool of 65535 names in 1 byte
      {0x96, 0x02, 0x00, 0x08, 0x09, 0x1C},  // a constant that is not in any pool
      {0x3D, 0x3D, 0x52, 0x40, 0x53, 0x42, 0x43, 0x17, 0x17, 0x4D, 0x2A},  // pops of an empty stack
  };
  for (const auto& bytes : cases) {
    Rooted<CodeBlock> block = f.vm->Load(bytes.data(), bytes.size());
    f.vm->BeginFrame();
    RunResult r = f.vm->Run(block.Get(), f.host.root);
    EXPECT_TRUE(r.stopped == StopReason::None || r.stopped == StopReason::Uncaught ||
                r.stopped == StopReason::ActionLimit)
        << static_cast<int>(r.stopped);
  }
}

TEST(ScriptMalformed, RandomBytesNeverBreakTheEngine) {
  Limits limits;
  limits.actionsPerRun = 20000;
  ScriptFixture f(6, limits);
  std::mt19937 random(1234);
  for (int round = 0; round < 300; ++round) {
    std::vector<uint8_t> bytes(1 + random() % 200);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
    Rooted<CodeBlock> block = f.vm->Load(bytes.data(), bytes.size());
    f.vm->BeginFrame();
    f.vm->Run(block.Get(), round % 2 ? f.a : f.host.root);
    f.vm->CollectIfNeeded();
  }
  SUCCEED();  // reaching here under ASan and UBSan is the check
}

}  // namespace
}  // namespace velmora::avm1::test
