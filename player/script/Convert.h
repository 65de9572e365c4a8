// The conversions between value types as the reference player makes them
// for the movie's version: before version 7 undefined is 0 and "" and a
// string is true only when it reads as a non-zero number; before 5 any
// string reads as the number at its start (0 when none).
#pragma once

#include "player/script/Value.h"

#include <cstdint>
#include <string>

namespace velmora::avm1 {

class Vm;

enum class Hint : uint8_t { None, Number, String };

double ToNumber(Vm& vm, const Value& value);
// The version 4 reading of the older arithmetic actions.
double ToNumberSwf4(Vm& vm, const Value& value);
bool ToBoolean(Vm& vm, const Value& value);
// A string value's own string, or a new one.
Str* ToStr(Vm& vm, const Value& value);
void AppendText(Vm& vm, const Value& value, std::u16string& out);
std::u16string ToText(Vm& vm, const Value& value);
Value ToPrimitive(Vm& vm, const Value& value, Hint hint);
Object* ToObject(Vm& vm, const Value& value);  // null for undefined and null
const char* TypeOf(const Value& value);

int32_t ToInt32(double number);
uint32_t ToUint32(double number);
double ToInteger(double number);  // toward zero, NaN to 0

bool StrictEquals(const Value& a, const Value& b);
bool LooseEquals(Vm& vm, const Value& a, const Value& b);
// a < b: true, false, or undefined when either side is NaN.
Value LessThan(Vm& vm, const Value& a, const Value& b);
Value BoolValue(Vm& vm, bool b);  // a boolean, or 1/0 for version 4 movies

}  // namespace velmora::avm1
