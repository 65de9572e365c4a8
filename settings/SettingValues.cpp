#include "settings/SettingValues.h"

#include <cstdint>

namespace velmora {

bool ReadFlag(std::string_view text, int& target) {
  if (text.empty() || text[0] < '0' || text[0] > '9') return false;
  target = text[0] - '0';
  return true;
}

bool ReadNumber(std::string_view text, long& target) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  const size_t firstDigit = i;
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > int64_t{INT32_MAX} + 1) return false;
  }
  if (i == firstDigit) return false;
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return false;
  target = static_cast<long>(value);
  return true;
}

int FlagOr(std::string_view text, int previous) {
  ReadFlag(text, previous);
  return previous;
}

long NumberOr(std::string_view text, long previous) {
  ReadNumber(text, previous);
  return previous;
}

}  // namespace velmora
