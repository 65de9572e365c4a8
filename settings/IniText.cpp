#include "settings/IniText.h"

#include <cctype>

namespace velmora {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// The section name of a header line, or nullopt when the line is no header.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  const size_t close = line.rfind(']');
  if (close == std::string_view::npos || close == 0) return std::nullopt;
  return line.substr(1, close - 1);
}

struct KeyLine {
  std::string_view name;
  std::optional<size_t> valueStart;  // offset in the line, when it has "="
};

KeyLine ParseKeyLine(std::string_view line) {
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) return {Trim(line), std::nullopt};
  size_t start = equals + 1;
  while (start < line.size() && IsBlank(line[start])) ++start;
  return {Trim(line.substr(0, equals)), start};
}

}  // namespace

IniText::IniText(std::string text) : text_(std::move(text)) {}

std::vector<IniText::Line> IniText::Lines() const {
  std::vector<Line> lines;
  size_t begin = 0;
  while (begin < text_.size()) {
    const size_t newline = text_.find('\n', begin);
    Line line;
    line.begin = begin;
    line.next = newline == std::string::npos ? text_.size() : newline + 1;
    line.end = newline == std::string::npos ? text_.size() : newline;
    if (line.end > line.begin && text_[line.end - 1] == '\r') --line.end;
    lines.push_back(line);
    begin = line.next;
  }
  return lines;
}

IniText::Found IniText::Find(const std::vector<Line>& lines, std::string_view section,
                             std::string_view key) const {
  Found found;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line(text_.data() + lines[i].begin, lines[i].end - lines[i].begin);
    if (const auto name = SectionName(line)) {
      if (found.section) break;  // the first section of that name ends here
      if (SameName(*name, section)) {
        found.section = i;
        found.lastOfSection = i;
      }
      continue;
    }
    if (!found.section) continue;
    if (!Trim(line).empty()) found.lastOfSection = i;
    if (!found.key && SameName(ParseKeyLine(line).name, key)) found.key = i;
  }
  return found;
}

std::optional<std::string> IniText::Get(std::string_view section, std::string_view key) const {
  const std::vector<Line> lines = Lines();
  const Found found = Find(lines, section, key);
  if (!found.key) return std::nullopt;
  const Line& l = lines[*found.key];
  const std::string_view line(text_.data() + l.begin, l.end - l.begin);
  const KeyLine parsed = ParseKeyLine(line);
  if (!parsed.valueStart) return std::nullopt;
  std::string_view value = Trim(line.substr(*parsed.valueStart));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return std::string(value);
}

std::string_view IniText::LineBreak() const {
  const size_t newline = text_.find('\n');
  if (newline != std::string::npos && (newline == 0 || text_[newline - 1] != '\r')) return "\n";
  return "\r\n";
}

bool IniText::Set(std::string_view section, std::string_view key, std::string_view value) {
  const auto hasBreak = [](std::string_view s) { return s.find_first_of("\r\n") != s.npos; };
  if (hasBreak(value) || hasBreak(section) || hasBreak(key) || section.find(']') != section.npos ||
      key.find('=') != key.npos || Trim(key).size() != key.size() || key.empty() ||
      (!key.empty() && key.front() == '['))
    return false;
  // Blanks around a value, or quotes around it, are dropped when it is read:
  // such a value is written in quotes of its own, which the reader removes.
  std::string quoted;
  if (!value.empty() && (Trim(value).size() != value.size() ||
                         (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                          value.back() == value.front()))) {
    quoted = "\"" + std::string(value) + "\"";
    value = quoted;
  }
  const std::vector<Line> lines = Lines();
  const Found found = Find(lines, section, key);
  const std::string_view br = LineBreak();
  if (found.key) {
    const Line& l = lines[*found.key];
    const std::string_view line(text_.data() + l.begin, l.end - l.begin);
    const KeyLine parsed = ParseKeyLine(line);
    if (parsed.valueStart) {
      text_.replace(l.begin + *parsed.valueStart, l.end - l.begin - *parsed.valueStart, value);
    } else {
      text_.insert(l.end, std::string("=").append(value));
    }
    return true;
  }
  std::string entry = std::string(key) + "=" + std::string(value);
  if (found.section) {
    const Line& last = lines[found.lastOfSection];
    // The last line of the section may be the file's last, without a break.
    if (last.next == last.end) {
      text_.insert(last.end, std::string(br) + entry);
    } else {
      text_.insert(last.next, entry + std::string(br));
    }
    return true;
  }
  if (!text_.empty() && text_.back() != '\n') text_ += br;
  text_ += "[" + std::string(section) + "]" + std::string(br) + entry + std::string(br);
  return true;
}

}  // namespace velmora
