// Conversion of settings-file text into flags and numbers.
//
// Readers convert a stored value at the moment they need it. A value that
// does not convert (empty, or not starting with a number) leaves the
// receiving setting as it was, so the caller passes its current value in.
#pragma once

#include <string_view>

namespace velmora {

// A flag is the integer value of the first character only: "1" -> 1,
// "10" -> 1, "0" -> 0. Returns false (target unchanged) when the first
// character is not a digit or the text is empty.
bool ReadFlag(std::string_view text, int& target);

// A number is the leading decimal number of the text ("30", "-5", "12px").
// Leading blanks are skipped. Returns false (target unchanged) when there is
// no number or it does not fit in 32 bits.
bool ReadNumber(std::string_view text, long& target);

// Convenience forms: the converted value, or `previous` when the text does
// not convert.
int FlagOr(std::string_view text, int previous);
long NumberOr(std::string_view text, long previous);

}  // namespace velmora
