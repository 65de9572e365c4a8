// The built-in classes: Array with its sort options, String, Number, Math,
// Date on an injected clock and time zone, intervals, Key, SharedObject,
// AsBroadcaster and the geometry value classes.
#include "ScriptTestSupport.h"

#include "player/script/Realm.h"

#include <gtest/gtest.h>

namespace velmora::avm1::test {
namespace {

// Calls `object.method(args)` where object is a global's path ("Math").
ActionAssembler& CallOn(ActionAssembler& code, const std::string& object, const std::string& method,
                        std::initializer_list<PushArg> argsLastFirst) {
  code.Push(argsLastFirst).Push({static_cast<int>(argsLastFirst.size())});
  code.Push({object}).Do(Op::GetVariable).Push({method}).Do(Op::CallMethod);
  return code;
}

TEST(ScriptArray, MethodsAndLength) {
  ScriptFixture f(7);
  ActionAssembler code;
  code.Push({"a", 3, 2, 1, 3}).Do(Op::InitArray).Do(Op::SetVariable);  // [1, 2, 3]
  CallOn(code, "a", "push", {5, 4}).Do(Op::Trace);                        // 5 elements
  CallOn(code, "a", "join", {"-"}).Do(Op::Trace);
  CallOn(code, "a", "pop", {}).Do(Op::Trace);
  CallOn(code, "a", "shift", {}).Do(Op::Trace);
  CallOn(code, "a", "unshift", {0}).Do(Op::Trace);
  CallOn(code, "a", "slice", {-1, 1}).Do(Op::Trace);
  CallOn(code, "a", "splice", {"y", "x", 1, 1}).Do(Op::Trace);
  code.Push({"a"}).Do(Op::GetVariable).Do(Op::Trace);
  CallOn(code, "a", "concat", {9}).Push({"length"}).Do(Op::GetMember).Do(Op::Trace);
  CallOn(code, "a", "reverse", {}).Do(Op::Trace);
  code.Push({"a"}).Do(Op::GetVariable).Push({"length", 2}).Do(Op::SetMember);
  code.Push({"a"}).Do(Op::GetVariable).Do(Op::Trace);
  code.Push({"a"}).Do(Op::GetVariable).Push({5, "z"}).Do(Op::SetMember);
  code.Push({"a"}).Do(Op::GetVariable).Push({"length"}).Do(Op::GetMember).Do(Op::Trace);
  EXPECT_EQ(f.Traces(code), (std::vector<std::string>{"5", "1-2-3-4-5", "5", "1", "4", "2,3", "2", "0,x,y,3,4",
                                                     "6", "4,3,y,x,0", "4,3", "6"}));
}

TEST(ScriptArray, SortOptionsAndComparer) {
  ScriptFixture f(7);
  ActionAssembler code;
  code.Push({"a", "b", 10, "B", 9, "a", 5}).Do(Op::InitArray).Do(Op::SetVariable);  // [a, 9, B, 10, b]
  CallOn(code, "a", "sort", {}).Do(Op::Trace);
  CallOn(code, "a", "sort", {1 | 2}).Do(Op::Trace);  // case-insensitive, descending
  code.Push({"n", 3, 100, 25, 3}).Do(Op::InitArray).Do(Op::SetVariable);
  CallOn(code, "n", "sort", {16}).Do(Op::Trace);                 // numeric
  CallOn(code, "n", "sort", {16 | 8}).Do(Op::Trace);             // indices only
  code.Push({"u", 1, 2, 1, 3}).Do(Op::InitArray).Do(Op::SetVariable);  // [1, 2, 1]
  CallOn(code, "u", "sort", {4}).Do(Op::Trace);                  // not unique: 0
  code.Push({"u"}).Do(Op::GetVariable).Do(Op::Trace);
  // A comparer: descending numbers.
  code.DefineFunction("", {"x", "y"}).Push({"y"}).Do(Op::GetVariable).Push({"x"}).Do(Op::GetVariable).Do(Op::Subtract).Do(Op::Return).EndFunction();
  code.StoreRegister(1).Do(Op::Pop);
  code.Push({PushArg::Register(1), 1, "n"}).Do(Op::GetVariable).Push({"sort"}).Do(Op::CallMethod).Do(Op::Trace);
  // sortOn a field.
  code.Push({"name", "b", "age", 30, 2}).Do(Op::InitObject).Push({"name", "a", "age", 40, 2}).Do(Op::InitObject);
  code.Push({2}).Do(Op::InitArray).Push({"people"}).Do(Op::StackSwap).Do(Op::SetVariable);
  CallOn(code, "people", "sortOn", {"name"}).Push({0}).Do(Op::GetMember).Push({"age"}).Do(Op::GetMember).Do(Op::Trace);
  CallOn(code, "people", "sortOn", {16, "age"}).Push({0}).Do(Op::GetMember).Push({"name"}).Do(Op::GetMember).Do(Op::Trace);
  EXPECT_EQ(f.Traces(code), (std::vector<std::string>{"10,9,B,a,b", "B,b,a,9,10", "3,25,100", "0,1,2", "0", "1,2,1",
                                                     "100,25,3", "40", "b"}));
}

TEST(ScriptString, MethodsCountUtf16Units) {
  ScriptFixture f(7);
  ActionAssembler code;
  code.Push({"s", "Hello, W\xC3\xB6rld"}).Do(Op::SetVariable);
  code.Push({"s"}).Do(Op::GetVariable).Push({"length"}).Do(Op::GetMember).Do(Op::Trace);
  CallOn(code, "s", "charAt", {8}).Do(Op::Trace);
  CallOn(code, "s", "charCodeAt", {8}).Do(Op::Trace);
  CallOn(code, "s", "indexOf", {"l"}).Do(Op::Trace);
  CallOn(code, "s", "lastIndexOf", {"l"}).Do(Op::Trace);
  CallOn(code, "s", "substr", {3, -5}).Do(Op::Trace);
  CallOn(code, "s", "substring", {0, 5}).Do(Op::Trace);
  CallOn(code, "s", "slice", {-2, 7}).Do(Op::Trace);
  CallOn(code, "s", "split", {", "}).Push({1}).Do(Op::GetMember).Do(Op::Trace);
  CallOn(code, "s", "toUpperCase", {}).Do(Op::Trace);
  CallOn(code, "String", "fromCharCode", {105, 72}).Do(Op::Trace);
  code.Push({"!", 1, "s"}).Do(Op::GetVariable).Push({"concat"}).Do(Op::CallMethod).Push({"length"}).Do(Op::GetMember).Do(Op::Trace);
  EXPECT_EQ(f.Traces(code), (std::vector<std::string>{"12", "\xC3\xB6", "246", "2", "10", "W\xC3\xB6r", "Hello", "W\xC3\xB6r",
                                                     "W\xC3\xB6rld", "HELLO, W\xC3\x96RLD", "Hi", "13"}));
}

TEST(ScriptNumberAndMath, MethodsAndTheHostsRandomSource) {
  ScriptFixture f(7);
  f.host.randomValue = 0.25;
  ActionAssembler code;
  CallOn(code, "Math", "max", {7, -2, 3}).Do(Op::Trace);
  CallOn(code, "Math", "min", {}).Do(Op::Trace);
  CallOn(code, "Math", "round", {-2.5}).Do(Op::Trace);
  CallOn(code, "Math", "pow", {10, 2})  // pow(2, 10): the last pushed is the first argument
     .Do(Op::Trace);
  CallOn(code, "Math", "atan2", {0, 1}).Do(Op::Trace);
  CallOn(code, "Math", "random", {}).Do(Op::Trace);
  code.Push({16, 1, 255}).Do(Op::NewObject).Do(Op::Pop);
  code.Push({16, 1, 255, 1, "Number"}).Do(Op::NewObject).Push({"toString"}).Do(Op::CallMethod).Do(Op::Trace);
  CallOn(code, "this", "parseInt", {"ff", 16}).Do(Op::Trace);
  code.Push({"12.5px", 1, "parseFloat"}).Do(Op::CallFunction).Do(Op::Trace);
  code.Push({"a b&\xC3\xA9", 1, "escape"}).Do(Op::CallFunction).Do(Op::Trace);
  code.Push({"a%20b%26%C3%A9", 1, "unescape"}).Do(Op::CallFunction).Do(Op::Trace);
  code.Push({"x", 1, "isNaN"}).Do(Op::CallFunction).Do(Op::Trace);
  EXPECT_EQ(f.Traces(code), (std::vector<std::string>{"7", "Infinity", "-2", "1024", "1.5707963267949", "0.25", "ff", "undefined", "12.5",
                                                     "a%20b%26%C3%A9", "a b&\xC3\xA9", "true"}));
}

TEST(ScriptDate, LocalTimeFromTheInjectedClockAndZone) {
  ScriptFixture f(7);
  // 2026-12-08 12:15:30.250 UTC, the machine one hour east of UTC.
  f.host.now = 1796732130250.0;
  f.host.offsetMs = 3600000;
  ActionAssembler code;
  code.Push({"d", 0, "Date"}).Do(Op::NewObject).Do(Op::SetVariable);
  for (const char* getter : {"getFullYear", "getMonth", "getDate", "getDay", "getHours", "getMinutes", "getSeconds",
                             "getMilliseconds", "getUTCHours", "getTimezoneOffset", "toString"}) {
    CallOn(code, "d", getter, {}).Do(Op::Trace);
  }
  CallOn(code, "d", "setHours", {0, 0, 23}).Do(Op::Pop);
  CallOn(code, "d", "toString", {}).Do(Op::Trace);
  CallOn(code, "d", "setMonth", {0, 12}).Do(Op::Pop);  // setMonth(12, 0): the day before 2027
  CallOn(code, "d", "getFullYear", {}).Do(Op::Trace);
  CallOn(code, "Date", "UTC", {0, 1, 2000}).Do(Op::Trace);
  code.Push({5, 1, 99, 3, "Date"}).Do(Op::NewObject).StoreRegister(1).Do(Op::Pop);  // two-digit years are 19xx
  code.Push({0, PushArg::Register(1), "getFullYear"}).Do(Op::CallMethod).Do(Op::Trace);
  EXPECT_EQ(f.Traces(code), (std::vector<std::string>{"2026", "11", "8", "2", "13", "15", "30", "250", "12", "-60",
                                                     "Tue Dec 8 13:15:30 GMT+0100 2026", "Tue Dec 8 23:00:00 GMT+0100 2026",
                                                     "2026", "949276800000", "1999"}));
}

TEST(ScriptTimers, IntervalsAndTimeoutsRunWhenTheHostTicks) {
  ScriptFixture f(7);
  ActionAssembler code;
  code.DefineFunction("tick", {"tag"}).Push({"tag"}).Do(Op::GetVariable).Do(Op::Trace).EndFunction();
  code.Push({"id", "every", 100, "tick"}).Do(Op::GetVariable).Push({3, "setInterval"}).Do(Op::CallFunction).Do(Op::SetVariable);
  code.Push({"once", 250, "tick"}).Do(Op::GetVariable).Push({3, "setTimeout"}).Do(Op::CallFunction).Do(Op::Pop);
  f.Run(code);
  f.host.traces.clear();
  for (double t : {50.0, 100.0, 200.0, 300.0}) {
    f.host.timer = t;
    f.vm->TickTimers(t);
  }
  EXPECT_EQ(f.host.traces, (std::vector<std::string>{"every", "every", "every", "once"}));
  ActionAssembler clear;
  clear.Push({"id"}).Do(Op::GetVariable).Push({1, "clearInterval"}).Do(Op::CallFunction);
  f.Run(clear);
  f.host.traces.clear();
  f.vm->TickTimers(1000);
  EXPECT_TRUE(f.host.traces.empty());
}

TEST(ScriptInput, KeyStateListenersAndSharedObjects) {
  ScriptFixture f(7);
  ActionAssembler code;
  code.Push({"l", 0}).Do(Op::InitObject).Do(Op::SetVariable);
  code.Push({"l"}).Do(Op::GetVariable).Push({"onKeyDown"})
      .DefineFunction("", {}).Push({"down "}).Push({0, "Key"}).Do(Op::GetVariable).Push({"getCode"}).Do(Op::CallMethod)
      .Do(Op::Add2).Do(Op::Trace).EndFunction().Do(Op::SetMember);
  code.Push({"l"}).Do(Op::GetVariable).Push({1, "Key"}).Do(Op::GetVariable).Push({"addListener"}).Do(Op::CallMethod).Do(Op::Pop);
  f.Run(code);
  f.vm->Input().down[37] = true;
  f.vm->Input().lastCode = 37;
  f.host.traces.clear();
  f.vm->Broadcast(f.vm->P().key, u"onKeyDown", Args());
  EXPECT_EQ(f.host.traces, std::vector<std::string>{"down 37"});
  ActionAssembler probe;
  CallOn(probe, "Key", "isDown", {37}).Do(Op::Trace);
  CallOn(probe, "Key", "isDown", {38}).Do(Op::Trace);
  CallOn(probe, "SharedObject", "getLocal", {"prefs"}).Push({"data"}).Do(Op::GetMember).Push({"x", 5}).Do(Op::SetMember);
  CallOn(probe, "SharedObject", "getLocal", {"prefs"}).Push({"data"}).Do(Op::GetMember).Push({"x"}).Do(Op::GetMember).Do(Op::Trace);
  probe.Push({"Stage"}).Do(Op::GetVariable).Push({"width"}).Do(Op::GetMember).Do(Op::Trace);
  EXPECT_EQ(f.Traces(probe), (std::vector<std::string>{"true", "false", "5", "550"}));
}

TEST(ScriptGeometry, MatrixAndColorTransform) {
  ScriptFixture f(8);
  ActionAssembler code;
  code.Push({"m", 0, "flash.geom.Matrix"}).Do(Op::GetVariable).Push({PushArg::Undefined()}).Do(Op::NewMethod).Do(Op::SetVariable);
  CallOn(code, "m", "scale", {3, 2}).Do(Op::Pop);
  CallOn(code, "m", "translate", {5, 10}).Do(Op::Pop);
  CallOn(code, "m", "toString", {}).Do(Op::Trace);
  code.Push({2, 1, 2, "flash.geom.Point"}).Do(Op::GetVariable).Push({PushArg::Undefined()}).Do(Op::NewMethod);
  code.Push({1, "m"}).Do(Op::GetVariable).Push({"transformPoint"}).Do(Op::CallMethod).Do(Op::Trace);
  CallOn(code, "m", "invert", {}).Do(Op::Pop);
  CallOn(code, "m", "toString", {}).Do(Op::Trace);
  code.Push({"t", 0, "flash.geom.ColorTransform"}).Do(Op::GetVariable).Push({PushArg::Undefined()}).Do(Op::NewMethod).Do(Op::SetVariable);
  code.Push({"t"}).Do(Op::GetVariable).Push({"rgb", 0x336699}).Do(Op::SetMember);
  code.Push({"t"}).Do(Op::GetVariable).Push({"greenOffset"}).Do(Op::GetMember).Do(Op::Trace);
  code.Push({"t"}).Do(Op::GetVariable).Push({"rgb"}).Do(Op::GetMember).Do(Op::Trace);
  EXPECT_EQ(f.Traces(code), (std::vector<std::string>{"(a=2, b=0, c=0, d=3, tx=10, ty=5)", "(x=12, y=11)",
                                                     "(a=0.5, b=0, c=0, d=0.333333333333333, tx=-5, ty=-1.66666666666667)",
                                                     "102", "3368601"}));
}

}  // namespace
}  // namespace velmora::avm1::test
