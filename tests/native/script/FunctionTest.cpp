// Functions, closures, registers, preload flags, With, Try and for-in.
#include "ScriptTestSupport.h"

#include <gtest/gtest.h>

namespace velmora::avm1::test {
namespace {

TEST(ScriptFunctions, CallsReturnValuesAndArguments) {
  ScriptFixture f(6);
  ActionAssembler code;
  // function add(x, y) { return x + y + arguments.length; }
  code.DefineFunction("add", {"x", "y"})
      .Push({"x"}).Do(Op::GetVariable).Push({"y"}).Do(Op::GetVariable).Do(Op::Add2)
      .Push({"arguments"}).Do(Op::GetVariable).Push({"length"}).Do(Op::GetMember).Do(Op::Add2)
      .Do(Op::Return)
      .EndFunction();
  code.Push({4, 3, 2, "add"})  // add(3, 4): the first popped is the first argument
      .Do(Op::CallFunction).Do(Op::Trace);
  // A local does not leak; an undeclared assignment goes to the timeline.
  code.DefineFunction("side", {})
      .Push({"local", 1}).Do(Op::DefineLocal)
      .Push({"leaked", 2}).Do(Op::SetVariable)
      .EndFunction();
  code.Push({0, "side"}).Do(Op::CallFunction).Do(Op::Pop);
  code.Push({"local"}).Do(Op::GetVariable).Do(Op::Trace);
  code.Push({"leaked"}).Do(Op::GetVariable).Do(Op::Trace);
  EXPECT_EQ(f.Traces(code), (std::vector<std::string>{"9", "undefined", "2"}));
}

TEST(ScriptFunctions, ClosuresKeepTheirScope) {
  ScriptFixture f(7);
  ActionAssembler code;
  // function counter() { var n = 0; return function() { n = n + 1; return n; }; }
  code.DefineFunction("counter", {})
      .Push({"n", 0}).Do(Op::DefineLocal)
      .DefineFunction("", {})
      .Push({"n", "n"}).Do(Op::GetVariable).Push({1}).Do(Op::Add2).Do(Op::SetVariable)
      .Push({"n"}).Do(Op::GetVariable).Do(Op::Return)
      .EndFunction()
      .Do(Op::Return)
      .EndFunction();
  code.Push({"c1", 0, "counter"}).Do(Op::CallFunction).Do(Op::SetVariable);
  code.Push({"c2", 0, "counter"}).Do(Op::CallFunction).Do(Op::SetVariable);
  for (const char* name : {"c1", "c1", "c2", "c1"}) {
    code.Push({0, name}).Do(Op::CallFunction).Do(Op::Trace);
  }
  EXPECT_EQ(f.Traces(code), (std::vector<std::string>{"1", "2", "1", "3"}));
  code = ActionAssembler();
  code.Push({"n"}).Do(Op::GetVariable).Do(Op::Trace);
  EXPECT_EQ(f.Traces(code), std::vector<std::string>{"undefined"});
}

TEST(ScriptFunctions, RegistersAndPreloadFlags) {
  ScriptFixture f(7);
  ActionAssembler code;
  uint16_t flags = kPreloadThis | kPreloadArguments | kPreloadRoot | kPreloadGlobal | kPreloadParent;
  // Registers: 1 this, 2 arguments, 3 _root, 4 _parent, 5 _global; x in 6.
  code.DefineFunction2("probe", {{"x", 6}}, 7, flags)
      .Push({PushArg::Register(1)}).Do(Op::Trace)
      .Push({PushArg::Register(2)}).Push({"length"}).Do(Op::GetMember).Do(Op::Trace)
      .Push({PushArg::Register(3)}).Do(Op::Trace)
      .Push({PushArg::Register(4)}).Do(Op::Trace)
      .Push({PushArg::Register(5)}).Push({"Math"}).Do(Op::GetMember).Push({"PI"}).Do(Op::GetMember).Do(Op::Trace)
      .Push({PushArg::Register(6)}).Do(Op::Trace)
      .Push({"x"}).Do(Op::GetVariable).Do(Op::Trace)  // a register parameter is no variable
      .EndFunction();
  code.Push({"b"}).Do(Op::GetVariable).Push({"f"}).Push({"probe"}).Do(Op::GetVariable).Do(Op::SetMember);
  code.Push({"hello", 1, "b"}).Do(Op::GetVariable).Push({"f"}).Do(Op::CallMethod).Do(Op::Pop);
  // Registers are the function's own; StoreRegister keeps the value on the stack.
  code.Push({5}).StoreRegister(0).Do(Op::Trace).Push({PushArg::Register(0)}).Do(Op::Trace);
  auto lines = f.Traces(code, f.a);
  EXPECT_EQ(lines, (std::vector<std::string>{"_level0.a.b", "1", "_level0", "_level0", "3.14159265358979",
                                             "hello", "undefined", "5", "5"}));
}

TEST(ScriptFunctions, ConstructorsPrototypesAndInstanceOf) {
  ScriptFixture f(7);
  ActionAssembler code;
  // function Point(x) { this.x = x; } Point.prototype.twice = function() { return this.x * 2; }
  code.DefineFunction("Point", {"x"})
      .Push({"this"}).Do(Op::GetVariable).Push({"x", "x"}).Do(Op::GetVariable).Do(Op::SetMember)
      .EndFunction();
  code.Push({"Point"}).Do(Op::GetVariable).Push({"prototype"}).Do(Op::GetMember).Push({"twice"})
      .DefineFunction("", {})
      .Push({"this"}).Do(Op::GetVariable).Push({"x"}).Do(Op::GetMember).Push({2}).Do(Op::Multiply).Do(Op::Return)
      .EndFunction()
      .Do(Op::SetMember);
  code.Push({"p", 21, 1, "Point"}).Do(Op::NewObject).Do(Op::SetVariable);
  code.Push({0, "p"}).Do(Op::GetVariable).Push({"twice"}).Do(Op::CallMethod).Do(Op::Trace);
  code.Push({"p"}).Do(Op::GetVariable).Push({"Point"}).Do(Op::GetVariable).Do(Op::InstanceOf).Do(Op::Trace);
  code.Push({"p"}).Do(Op::GetVariable).Push({"Array"}).Do(Op::GetVariable).Do(Op::InstanceOf).Do(Op::Trace);
  // CastOp gives the object or null.
  code.Push({"Point"}).Do(Op::GetVariable).Push({"p"}).Do(Op::GetVariable).Do(Op::CastOp).Push({"x"}).Do(Op::GetMember).Do(Op::Trace);
  code.Push({"Array"}).Do(Op::GetVariable).Push({"p"}).Do(Op::GetVariable).Do(Op::CastOp).Do(Op::Trace);
  EXPECT_EQ(f.Traces(code), (std::vector<std::string>{"42", "true", "false", "21", "null"}));
}

TEST(ScriptFunctions, ExtendsSuperAndImplements) {
  ScriptFixture f(7);
  ActionAssembler code;
  // class A { function A(){ this.tag = "A"; } function who() { return "A"; } }
  code.DefineFunction("A", {}).Push({"this"}).Do(Op::GetVariable).Push({"tag", "A"}).Do(Op::SetMember).EndFunction();
  code.Push({"A"}).Do(Op::GetVariable).Push({"prototype"}).Do(Op::GetMember).Push({"who"})
      .DefineFunction("", {}).Push({"A"}).Do(Op::Return).EndFunction().Do(Op::SetMember);
  // class B extends A { function B(){ super(); } function who() { return "B>" + super.who(); } }
  code.DefineFunction("B", {}).Push({0, "super"}).Do(Op::GetVariable).Push({PushArg::Undefined()}).Do(Op::CallMethod).Do(Op::Pop).EndFunction();
  code.Push({"B"}).Do(Op::GetVariable).Push({"A"}).Do(Op::GetVariable).Do(Op::Extends);
  code.Push({"B"}).Do(Op::GetVariable).Push({"prototype"}).Do(Op::GetMember).Push({"who"})
      .DefineFunction("", {})
      .Push({"B>", 0, "super"}).Do(Op::GetVariable).Push({"who"}).Do(Op::CallMethod).Do(Op::Add2).Do(Op::Return)
      .EndFunction().Do(Op::SetMember);
  // interface I; B implements I.
  code.DefineFunction("I", {}).EndFunction();
  code.Push({"I"}).Do(Op::GetVariable).Push({1, "B"}).Do(Op::GetVariable).Do(Op::ImplementsOp);
  code.Push({"o", 0, "B"}).Do(Op::NewObject).Do(Op::SetVariable);
  code.Push({0, "o"}).Do(Op::GetVariable).Push({"who"}).Do(Op::CallMethod).Do(Op::Trace);
  code.Push({"o"}).Do(Op::GetVariable).Push({"tag"}).Do(Op::GetMember).Do(Op::Trace);
  code.Push({"o"}).Do(Op::GetVariable).Push({"A"}).Do(Op::GetVariable).Do(Op::InstanceOf).Do(Op::Trace);
  code.Push({"o"}).Do(Op::GetVariable).Push({"I"}).Do(Op::GetVariable).Do(Op::InstanceOf).Do(Op::Trace);
  EXPECT_EQ(f.Traces(code), (std::vector<std::string>{"B>A", "A", "true", "true"}));
}

TEST(ScriptBlocks, WithScopesAndLeavesTheScope) {
  ScriptFixture f(7);
  ActionAssembler code;
  code.Push({"o", "v", "inner", 1}).Do(Op::InitObject).Do(Op::SetVariable);
  code.Push({"v", "outer"}).Do(Op::SetVariable);
  code.Push({"o"}).Do(Op::GetVariable).With().Push({"v"}).Do(Op::GetVariable).Do(Op::Trace).EndWith();
  code.Push({"v"}).Do(Op::GetVariable).Do(Op::Trace);
  EXPECT_EQ(f.Traces(code), (std::vector<std::string>{"inner", "outer"}));
}

TEST(ScriptBlocks, TryCatchFinallyAndRethrow) {
  ScriptFixture f(7);
  ActionAssembler code;
  code.Try("e", true, true).Push({"try"}).Do(Op::Trace).Push({"boom"}).Do(Op::Throw).Push({"not here"}).Do(Op::Trace)
      .Catch().Push({"caught "}).Push({"e"}).Do(Op::GetVariable).Do(Op::Add2).Do(Op::Trace)
      .Finally().Push({"finally"}).Do(Op::Trace).EndTry();
  // No throw: the catch is skipped, the finally runs.
  code.Try("", true, true, 1).Push({"quiet"}).Do(Op::Trace).Catch().Push({"wrong"}).Do(Op::Trace)
      .Finally().Push({"finally 2"}).Do(Op::Trace).EndTry();
  // Caught in a register, thrown from a function.
  code.DefineFunction("thrower", {}).Push({42}).Do(Op::Throw).EndFunction();
  code.Try("", true, false, 2).Push({0, "thrower"}).Do(Op::CallFunction).Do(Op::Pop)
      .Catch().Push({PushArg::Register(2)}).Do(Op::Trace).EndTry();
  // try/finally without catch throws again after the finally.
  code.Try("x", true, false).Try("", false, true).Push({"inner"}).Do(Op::Throw)
      .Finally().Push({"inner finally"}).Do(Op::Trace).EndTry()
      .Catch().Push({"x"}).Do(Op::GetVariable).Do(Op::Trace).EndTry();
  code.Push({"after"}).Do(Op::Trace);
  EXPECT_EQ(f.Traces(code), (std::vector<std::string>{"try", "caught boom", "finally", "quiet", "finally 2", "42",
                                                     "inner finally", "inner", "after"}));
  // Nobody catches: the run stops and the host hears of it.
  ActionAssembler uncaught;
  uncaught.Push({"up"}).Do(Op::Throw).Push({"never"}).Do(Op::Trace);
  RunResult r = f.Run(uncaught);
  EXPECT_EQ(r.stopped, StopReason::Uncaught);
  EXPECT_EQ(f.Text(r.value), "up");
}

TEST(ScriptObjects, EnumerationVisitsNewestFirst) {
  ScriptFixture f(7);
  ActionAssembler code;
  code.Push({"o", "first", 1, "second", 2, "third", 3, 3}).Do(Op::InitObject).Do(Op::SetVariable);
  // for (k in o) trace(k);
  auto loop = code.NewLabel(), done = code.NewLabel();
  code.Push({"o"}).Do(Op::GetVariable).Do(Op::Enumerate2);
  code.Bind(loop).StoreRegister(0).Push({PushArg::Null()}).Do(Op::Equals2).If(done)
      .Push({PushArg::Register(0)}).Do(Op::Trace).Jump(loop);
  code.Bind(done);
  EXPECT_EQ(f.Traces(code), (std::vector<std::string>{"third", "second", "first"}));
}

TEST(ScriptObjects, GettersSettersAndFlags) {
  ScriptFixture f(7);
  ActionAssembler code;
  code.Push({"o", 0}).Do(Op::InitObject).Do(Op::SetVariable);
  // o.addProperty("v", function() { return this.raw * 10; }, function(x) { this.raw = x; })
  code.DefineFunction("", {"x"}).Push({"this"}).Do(Op::GetVariable).Push({"raw", "x"}).Do(Op::GetVariable).Do(Op::SetMember).EndFunction();
  code.DefineFunction("", {}).Push({"this"}).Do(Op::GetVariable).Push({"raw"}).Do(Op::GetMember).Push({10}).Do(Op::Multiply).Do(Op::Return).EndFunction();
  code.Push({"v", 3, "o"}).Do(Op::GetVariable).Push({"addProperty"}).Do(Op::CallMethod).Do(Op::Pop);
  code.Push({"o"}).Do(Op::GetVariable).Push({"v", 4}).Do(Op::SetMember);
  code.Push({"o"}).Do(Op::GetVariable).Push({"v"}).Do(Op::GetMember).Do(Op::Trace);
  // ASSetPropFlags(o, "raw", 4 /*read-only*/): the setter's write is refused.
  code.Push({0, 4, "raw", "o"}).Do(Op::GetVariable).Push({4, "ASSetPropFlags"}).Do(Op::CallFunction).Do(Op::Pop);
  code.Push({"o"}).Do(Op::GetVariable).Push({"v", 9}).Do(Op::SetMember);
  code.Push({"o"}).Do(Op::GetVariable).Push({"v"}).Do(Op::GetMember).Do(Op::Trace);
  // delete of a DontDelete property fails; of a plain one succeeds.
  code.Push({"o"}).Do(Op::GetVariable).Push({"raw"}).Do(Op::Delete).Do(Op::Trace);
  code.Push({"o"}).Do(Op::GetVariable).Push({"z", 1}).Do(Op::SetMember);
  code.Push({"o"}).Do(Op::GetVariable).Push({"z"}).Do(Op::Delete).Do(Op::Trace);
  code.Push({"Math"}).Do(Op::GetVariable).Push({"PI"}).Do(Op::Delete).Do(Op::Trace);
  EXPECT_EQ(f.Traces(code), (std::vector<std::string>{"40", "40", "true", "true", "true"}));
}

TEST(ScriptObjects, ProtoChainAndResolve) {
  ScriptFixture f(7);
  ActionAssembler code;
  code.Push({"base", "shared", "from base", 1}).Do(Op::InitObject).Do(Op::SetVariable);
  code.Push({"o", 0}).Do(Op::InitObject).Do(Op::SetVariable);
  code.Push({"o"}).Do(Op::GetVariable).Push({"__proto__", "base"}).Do(Op::GetVariable).Do(Op::SetMember);
  code.Push({"o"}).Do(Op::GetVariable).Push({"shared"}).Do(Op::GetMember).Do(Op::Trace);
  // A cycle of prototypes does not hang a lookup.
  code.Push({"base"}).Do(Op::GetVariable).Push({"__proto__", "o"}).Do(Op::GetVariable).Do(Op::SetMember);
  code.Push({"o"}).Do(Op::GetVariable).Push({"missing"}).Do(Op::GetMember).Do(Op::Trace);
  // __resolve answers missing names.
  code.Push({"o"}).Do(Op::GetVariable).Push({"__resolve"})
      .DefineFunction("", {"name"}).Push({"?", "name"}).Do(Op::GetVariable).Do(Op::Add2).Do(Op::Return).EndFunction()
      .Do(Op::SetMember);
  code.Push({"o"}).Do(Op::GetVariable).Push({"what"}).Do(Op::GetMember).Do(Op::Trace);
  EXPECT_EQ(f.Traces(code), (std::vector<std::string>{"from base", "undefined", "?what"}));
}

}  // namespace
}  // namespace velmora::avm1::test
