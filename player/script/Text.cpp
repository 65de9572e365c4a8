#include "player/script/Text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace velmora::avm1 {
namespace {

constexpr int kSignificantDigits = 15;
constexpr int kExponentFormAbove = 15;   // 1e15 and up
constexpr int kExponentFormBelow = -5;   // under 1e-5
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

void AppendUtf16(std::u16string& out, uint32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  }
}

int DigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'z') return c - u'a' + 10;
  if (c >= u'A' && c <= u'Z') return c - u'A' + 10;
  return 99;
}

// Length of the decimal number at the start of `text` (digits, fraction,
// exponent), 0 when there is none.
size_t DecimalPrefix(std::u16string_view text) {
  size_t i = 0;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) ++i;
  size_t digits = 0;
  while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') ++i, ++digits;
  if (i < text.size() && text[i] == u'.') {
    ++i;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
    size_t j = i + 1;
    if (j < text.size() && (text[j] == u'+' || text[j] == u'-')) ++j;
    size_t expDigits = 0;
    while (j < text.size() && text[j] >= u'0' && text[j] <= u'9') ++j, ++expDigits;
    if (expDigits > 0) i = j;
  }
  return i;
}

double ParseDecimal(std::u16string_view text) {
  std::string ascii(text.begin(), text.end());
  return std::strtod(ascii.c_str(), nullptr);
}

double ParseDigits(std::u16string_view text, int radix, size_t* used) {
  double value = 0;
  size_t i = 0;
  for (; i < text.size(); ++i) {
    int d = DigitValue(text[i]);
    if (d >= radix) break;
    value = value * radix + d;
  }
  *used = i;
  return value;
}

}  // namespace

bool IsScriptSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == 0x0B || c == 0x0C || c == 0xA0;
}

std::u16string FromUtf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    size_t extra = c >= 0xF0 && c < 0xF5 ? 3 : c >= 0xE0 && c < 0xF0 ? 2 : c >= 0xC2 && c < 0xE0 ? 1 : 0;
    uint32_t cp = c;
    bool valid = c < 0x80 || (extra > 0 && extra < text.size() - i);
    if (c >= 0x80 && valid) {
      cp = c & (0x3Fu >> extra);
      for (size_t k = 1; valid && k <= extra; ++k) {
        unsigned char next = static_cast<unsigned char>(text[i + k]);
        valid = (next & 0xC0) == 0x80;
        cp = (cp << 6) | (next & 0x3F);
      }
      uint32_t least = extra == 1 ? 0x80 : extra == 2 ? 0x800 : 0x10000;
      if (valid && (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000))) valid = false;
    }
    if (!valid) {
      out.push_back(c);
      ++i;
      continue;
    }
    AppendUtf16(out, cp);
    i += 1 + (c >= 0x80 ? extra : 0);
  }
  return out;
}

std::u16string FromLatin1(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (char c : text) out.push_back(static_cast<unsigned char>(c));
  return out;
}

std::u16string Ascii(std::string_view text) { return FromLatin1(text); }

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t cp = text[i];
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

std::u16string NumberToText(double value) {
  if (std::isnan(value)) return u"NaN";
  if (std::isinf(value)) return value > 0 ? u"Infinity" : u"-Infinity";
  if (value == 0) return u"0";
  // The digits rounded to 15 significant places, then placed.
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.*e", kSignificantDigits - 1, value);
  std::string text(buffer);
  bool negative = text[0] == '-';
  if (negative) text.erase(0, 1);
  size_t e = text.find('e');
  int exponent = std::atoi(text.c_str() + e + 1);
  std::string digits = text.substr(0, 1) + text.substr(2, e - 2);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  std::string out = negative ? "-" : "";
  if (exponent >= kExponentFormAbove || exponent < kExponentFormBelow) {
    out += digits[0];
    if (digits.size() > 1) out += "." + digits.substr(1);
    out += exponent < 0 ? "e-" : "e+";
    out += std::to_string(std::abs(exponent));
  } else if (exponent < 0) {
    out += "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
  } else if (static_cast<int>(digits.size()) <= exponent + 1) {
    out += digits + std::string(static_cast<size_t>(exponent + 1) - digits.size(), '0');
  } else {
    out += digits.substr(0, static_cast<size_t>(exponent) + 1) + "." + digits.substr(static_cast<size_t>(exponent) + 1);
  }
  return Ascii(out);
}

std::u16string NumberToTextRadix(double value, int radix) {
  if (radix == 10 || radix < 2 || radix > 36) return NumberToText(value);
  double whole = std::trunc(value);
  if (!std::isfinite(whole)) whole = 0;
  bool negative = whole < 0;
  double magnitude = std::fabs(whole);
  std::u16string digits;
  do {
    int d = static_cast<int>(std::fmod(magnitude, radix));
    digits.insert(digits.begin(), static_cast<char16_t>(d < 10 ? u'0' + d : u'a' + d - 10));
    magnitude = std::floor(magnitude / radix);
  } while (magnitude >= 1 && digits.size() < 1100);
  if (negative) digits.insert(digits.begin(), u'-');
  return digits;
}

double TextToNumber(std::u16string_view text) {
  if (text.size() > 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X')) {
    size_t used = 0;
    double v = ParseDigits(text.substr(2), 16, &used);
    return used == text.size() - 2 ? v : kNaN;
  }
  size_t length = DecimalPrefix(text);
  if (length == 0 || length != text.size()) return kNaN;
  return ParseDecimal(text);
}

double ParseFloatPrefix(std::u16string_view text) {
  size_t start = 0;
  while (start < text.size() && IsScriptSpace(text[start])) ++start;
  text.remove_prefix(start);
  size_t length = DecimalPrefix(text);
  if (length == 0) return kNaN;
  return ParseDecimal(text.substr(0, length));
}

double ParseIntPrefix(std::u16string_view text, int radix) {
  size_t i = 0;
  while (i < text.size() && IsScriptSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  std::u16string_view rest = text.substr(i);
  bool hexPrefix = rest.size() >= 2 && rest[0] == u'0' && (rest[1] == u'x' || rest[1] == u'X');
  if (radix == 0) {
    if (hexPrefix) {
      radix = 16;
      rest.remove_prefix(2);
    } else if (rest.size() >= 2 && rest[0] == u'0') {
      radix = 8;
    } else {
      radix = 10;
    }
  } else if (radix == 16 && hexPrefix) {
    rest.remove_prefix(2);
  }
  if (radix < 2 || radix > 36) return kNaN;
  size_t used = 0;
  double value = ParseDigits(rest, radix, &used);
  if (used == 0) return kNaN;
  return negative ? -value : value;
}

}  // namespace velmora::avm1
