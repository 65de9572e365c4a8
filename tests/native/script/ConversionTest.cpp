// Values, conversions and operators as each movie version sees them.
#include "ScriptTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace velmora::avm1::test {
namespace {

// Pushes the values, runs one action and traces what it left.
std::string Eval(int version, std::initializer_list<PushArg> values, Op op) {
  ScriptFixture f(version);
  ActionAssembler code;
  code.Push(values).Do(op).Do(Op::Trace);
  auto lines = f.Traces(code);
  return lines.empty() ? "<nothing>" : lines[0];
}

TEST(ScriptNumberText, FifteenDigitsAndTheExponentForm) {
  EXPECT_EQ(ToUtf8(NumberToText(1)), "1");
  EXPECT_EQ(ToUtf8(NumberToText(-2.5)), "-2.5");
  EXPECT_EQ(ToUtf8(NumberToText(0.7 - 0.5)), "0.2");
  EXPECT_EQ(ToUtf8(NumberToText(100000.12345678912)), "100000.123456789");
  EXPECT_EQ(ToUtf8(NumberToText(123456789012345.0)), "123456789012345");
  EXPECT_EQ(ToUtf8(NumberToText(1e15)), "1e+15");
  EXPECT_EQ(ToUtf8(NumberToText(1.5e300)), "1.5e+300");
  EXPECT_EQ(ToUtf8(NumberToText(0.00001)), "0.00001");
  EXPECT_EQ(ToUtf8(NumberToText(0.000001)), "1e-6");
  EXPECT_EQ(ToUtf8(NumberToText(1e-10)), "1e-10");
  EXPECT_EQ(ToUtf8(NumberToText(-0.0)), "0");
  EXPECT_EQ(ToUtf8(NumberToText(std::nan(""))), "NaN");
  EXPECT_EQ(ToUtf8(NumberToText(HUGE_VAL)), "Infinity");
  EXPECT_EQ(ToUtf8(NumberToText(-HUGE_VAL)), "-Infinity");
  EXPECT_EQ(ToUtf8(NumberToTextRadix(255, 16)), "ff");
  EXPECT_EQ(ToUtf8(NumberToTextRadix(-255, 2)), "-11111111");
}

TEST(ScriptNumberText, ParsersOfEachKind) {
  EXPECT_EQ(TextToNumber(u"12.5e1"), 125);
  EXPECT_EQ(TextToNumber(u"0x1A"), 26);
  EXPECT_TRUE(std::isnan(TextToNumber(u"12px")));
  EXPECT_TRUE(std::isnan(TextToNumber(u"")));
  EXPECT_EQ(ParseFloatPrefix(u"  3.25abc"), 3.25);
  EXPECT_EQ(ParseIntPrefix(u"0x10", 0), 16);
  EXPECT_EQ(ParseIntPrefix(u"010", 0), 8);
  EXPECT_EQ(ParseIntPrefix(u"-42px", 0), -42);
  EXPECT_EQ(ParseIntPrefix(u"z", 36), 35);
  EXPECT_TRUE(std::isnan(ParseIntPrefix(u"abc", 10)));
}

TEST(ScriptConversions, UndefinedBeforeAndFromVersionSeven) {
  // "x" + undefined, undefined + 1, and Number(undefined).
  EXPECT_EQ(Eval(6, {"x", PushArg::Undefined()}, Op::Add2), "x");
  EXPECT_EQ(Eval(7, {"x", PushArg::Undefined()}, Op::Add2), "xundefined");
  EXPECT_EQ(Eval(6, {PushArg::Undefined(), 1}, Op::Add2), "1");
  EXPECT_EQ(Eval(7, {PushArg::Undefined(), 1}, Op::Add2), "NaN");
  EXPECT_EQ(Eval(6, {PushArg::Null()}, Op::ToNumber), "0");
  EXPECT_EQ(Eval(7, {PushArg::Null()}, Op::ToNumber), "NaN");
  // ToString of undefined is empty before 7, but trace always prints it.
  EXPECT_EQ(Eval(6, {PushArg::Undefined()}, Op::ToString), "");
  EXPECT_EQ(Eval(6, {PushArg::Undefined()}, Op::Pop), "undefined");
}

TEST(ScriptConversions, StringsAsBooleansAndNumbers) {
  EXPECT_EQ(Eval(6, {"true"}, Op::Not), "true");  // "true" reads as NaN: false
  EXPECT_EQ(Eval(7, {"true"}, Op::Not), "false");
  EXPECT_EQ(Eval(6, {"1"}, Op::Not), "false");
  EXPECT_EQ(Eval(7, {""}, Op::Not), "true");
  EXPECT_EQ(Eval(6, {"12px"}, Op::ToNumber), "NaN");
  EXPECT_EQ(Eval(6, {"0x20"}, Op::ToNumber), "32");
  EXPECT_EQ(Eval(6, {" 5"}, Op::ToNumber), "NaN");
  EXPECT_EQ(Eval(6, {-3.7}, Op::ToInteger), "-3");
  EXPECT_EQ(Eval(7, {PushArg::Undefined()}, Op::ToInteger), "0");
}

TEST(ScriptConversions, VersionFourArithmetic) {
  // The old operators read a string's leading number and never give NaN.
  EXPECT_EQ(Eval(4, {"12abc", 1}, Op::Add), "13");
  EXPECT_EQ(Eval(4, {"abc", 1}, Op::Subtract), "-1");
  EXPECT_EQ(Eval(4, {1, 0}, Op::Divide), "#ERROR#");
  EXPECT_EQ(Eval(5, {1, 0}, Op::Divide), "Infinity");
  EXPECT_EQ(Eval(4, {2, 3}, Op::Less), "1");  // version 4 has no booleans
  EXPECT_EQ(Eval(5, {2, 3}, Op::Less), "true");
  EXPECT_EQ(Eval(6, {"10", "9"}, Op::Equals), "false");
}

TEST(ScriptOperators, EqualityAndComparison) {
  EXPECT_EQ(Eval(6, {PushArg::Null(), PushArg::Undefined()}, Op::Equals2), "true");
  EXPECT_EQ(Eval(6, {"5", 5}, Op::Equals2), "true");
  EXPECT_EQ(Eval(6, {"5", 5}, Op::StrictEquals), "false");
  EXPECT_EQ(Eval(6, {true, 1}, Op::Equals2), "true");
  EXPECT_EQ(Eval(6, {0, PushArg::Null()}, Op::Equals2), "false");
  EXPECT_EQ(Eval(7, {1, PushArg::Undefined()}, Op::Less2), "undefined");
  EXPECT_EQ(Eval(6, {"b", "a"}, Op::Greater), "true");
  EXPECT_EQ(Eval(6, {"10", "9"}, Op::Less2), "true");  // two strings compare as text
  EXPECT_EQ(Eval(6, {10, "9"}, Op::Less2), "false");
  EXPECT_EQ(Eval(6, {"abc", "abd"}, Op::StringLess), "true");
  EXPECT_EQ(Eval(6, {"ab", "ab"}, Op::StringEquals), "true");
}

TEST(ScriptOperators, ArithmeticBitsAndStrings) {
  EXPECT_EQ(Eval(6, {7, 3}, Op::Modulo), "1");
  EXPECT_EQ(Eval(6, {-7, 3}, Op::Modulo), "-1");
  EXPECT_EQ(Eval(6, {-1, 28}, Op::BitURShift), "15");
  EXPECT_EQ(Eval(6, {1, 31}, Op::BitLShift), "-2147483648");
  EXPECT_EQ(Eval(6, {-8, 1}, Op::BitRShift), "-4");
  EXPECT_EQ(Eval(6, {4294967297.0, 1}, Op::BitAnd), "1");
  EXPECT_EQ(Eval(6, {"ab", "cd"}, Op::StringAdd), "abcd");
  EXPECT_EQ(Eval(6, {"h\xC3\xA9llo"}, Op::StringLength), "5");
  EXPECT_EQ(Eval(6, {"hello", 2, 3}, Op::StringExtract), "ell");
  EXPECT_EQ(Eval(6, {"hello", 4, -1}, Op::StringExtract), "lo");
  EXPECT_EQ(Eval(6, {"A"}, Op::CharToAscii), "65");
  EXPECT_EQ(Eval(6, {66}, Op::AsciiToChar), "B");
  EXPECT_EQ(Eval(6, {"1", 2}, Op::Add2), "12");
  EXPECT_EQ(Eval(6, {true, 2}, Op::Add2), "3");
}

TEST(ScriptOperators, TypeOfEachKind) {
  EXPECT_EQ(Eval(6, {PushArg::Undefined()}, Op::TypeOf), "undefined");
  EXPECT_EQ(Eval(6, {PushArg::Null()}, Op::TypeOf), "null");
  EXPECT_EQ(Eval(6, {1.5}, Op::TypeOf), "number");
  EXPECT_EQ(Eval(6, {"s"}, Op::TypeOf), "string");
  EXPECT_EQ(Eval(6, {false}, Op::TypeOf), "boolean");
  EXPECT_EQ(Eval(6, {0}, Op::InitObject), "[object Object]");
  ScriptFixture f(6);
  ActionAssembler code;
  code.Push({"this"}).Do(Op::GetVariable).Do(Op::TypeOf).Do(Op::Trace);
  code.Push({"Math"}).Do(Op::GetVariable).Push({"floor"}).Do(Op::GetMember).Do(Op::TypeOf).Do(Op::Trace);
  EXPECT_EQ(f.Traces(code), (std::vector<std::string>{"movieclip", "function"}));
}

TEST(ScriptNames, CaseIgnoredBeforeVersionSeven) {
  for (int version : {6, 7}) {
    ScriptFixture f(version);
    ActionAssembler code;
    code.Push({"Score", 5}).Do(Op::SetVariable);
    code.Push({"score"}).Do(Op::GetVariable).Do(Op::Trace);
    code.Push({"_X"}).Do(Op::GetVariable).Do(Op::Trace);
    f.host.root->props[static_cast<int>(ClipProperty::X)] = Value::Number(12);
    auto lines = f.Traces(code);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], version == 6 ? "5" : "undefined") << version;
    EXPECT_EQ(lines[1], version == 6 ? "12" : "undefined") << version;
  }
}

}  // namespace
}  // namespace velmora::avm1::test
