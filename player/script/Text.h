// Text helpers of the engine: UTF-8 and Latin-1 to UTF-16 and back, and
// the number formats of the reference player (15 significant digits, the
// exponent form outside 1e-5..1e15, radix output) and its number parsers.
#pragma once

#include <string>
#include <string_view>

namespace velmora::avm1 {

// UTF-8 as movies from version 6 on store it; a byte that is not part of a
// valid sequence stands for its Latin-1 character.
std::u16string FromUtf8(std::string_view text);
// Movies before version 6 store text in the system's code page; taken as Latin-1.
std::u16string FromLatin1(std::string_view text);
std::string ToUtf8(std::u16string_view text);
std::u16string Ascii(std::string_view text);

std::u16string NumberToText(double value);
// Integer part in a radix of 2 to 36.
std::u16string NumberToTextRadix(double value, int radix);

// The whole text as a number of version 5 on: decimal with fraction and
// exponent, or hexadecimal after "0x"; anything else is NaN.
double TextToNumber(std::u16string_view text);
// The longest decimal number at the start, after white space; NaN when none.
double ParseFloatPrefix(std::u16string_view text);
// parseInt: sign, "0x" for hexadecimal, a leading 0 for octal unless a
// radix is given (0 = none).
double ParseIntPrefix(std::u16string_view text, int radix);
bool IsScriptSpace(char16_t c);

}  // namespace velmora::avm1
