#include "shell/ItemSort.h"

#include "common/PathText.h"
#include "shell/MenuIndex.h"

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <optional>
#include <vector>

namespace velmora {
namespace {

// A number as text: blanks around it, an optional sign, digits, an
// optional fraction.
std::optional<double> NumberIn(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  const size_t digitsFrom = i;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  size_t digits = i - digitsFrom;
  if (i < text.size() && text[i] == '.') {
    ++i;
    const size_t fractionFrom = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    digits += i - fractionFrom;
  }
  if (digits == 0 || i != text.size()) return std::nullopt;
  return std::strtod(std::string(text).c_str(), nullptr);
}

std::string ThirtyThirty(double v) {
  char text[128];
  std::snprintf(text, sizeof text, "%061.30f", v);
  return text;
}

// A date as "yyyy/mm/dd" or "yyyy-mm-dd", with an optional " hh:mm:ss".
std::optional<std::string> DateIn(std::string_view text) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
  char sep1 = 0, sep2 = 0;
  int used = 0;
  const std::string t(text);
  if (std::sscanf(t.c_str(), "%4d%c%2d%c%2d%n", &y, &sep1, &mo, &sep2, &d, &used) != 5 ||
      sep1 != sep2 || (sep1 != '/' && sep1 != '-'))
    return std::nullopt;
  if (static_cast<size_t>(used) != t.size()) {
    int more = 0;
    if (std::sscanf(t.c_str() + used, " %2d:%2d:%2d%n", &h, &mi, &s, &more) != 3 ||
        static_cast<size_t>(used + more) != t.size())
      return std::nullopt;
  }
  static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (y < 100 || mo < 1 || mo > 12 || d < 1 || d > kDays[mo - 1] || h > 23 || mi > 59 || s > 59)
    return std::nullopt;
  char key[32];
  std::snprintf(key, sizeof key, "%04d%02d%02d%02d%02d%02d", y, mo, d, h, mi, s);
  return std::string(key);
}

}  // namespace

size_t SortColumn(std::string_view type) {
  const std::string t = ToLower(type);
  if (t == "string") return 1;
  if (t == "number") return 2;
  if (t == "date") return 3;
  return 4;
}

std::string ToSortableNumber(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c == '-') c = ' ';
    else if (c >= '0' && c <= '9') c = static_cast<char>('9' - (c - '0'));
  }
  return out;
}

std::string SortKey(std::string_view type, std::string_view cell) {
  const std::string t = ToLower(type);
  if (t == "number") {
    const std::optional<double> v = NumberIn(cell);
    if (!v) return {};
    return *v >= 0 ? ThirtyThirty(*v) : "&" + ToSortableNumber(ThirtyThirty(-*v));
  }
  if (t == "date") return DateIn(cell).value_or(std::string());
  return std::string(cell);
}

void SotrListView(ShortcutList& list, std::string_view type) {
  const size_t column = SortColumn(type);
  const auto& rows = list.Rows();
  std::vector<std::string> keys(rows.size());
  for (size_t i = 0; i < rows.size(); ++i)
    keys[i] = column < rows[i].size() ? ToLower(SortKey(type, rows[i][column])) : std::string();
  list.StableSortByKeys(keys);
}

const char* ArrangeSortType(int arrangeIndex) {
  switch (arrangeIndex) {
    case kMenuBySize: return "NUMBER";
    case kMenuByType: return "STRING";
    case kMenuByModified: return "DATE";
    default: return "";
  }
}

}  // namespace velmora
