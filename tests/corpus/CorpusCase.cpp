#include "tests/corpus/CorpusCase.h"

#include <cstdlib>
#include <set>
#include <sstream>

namespace velmora::corpus {
namespace {

std::string Trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t\r"), b = s.find_last_not_of(" \t\r");
  return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}

std::string Unquote(std::string s) {
  s = Trim(s);
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = s.substr(1, s.size() - 2);
  return s;
}

// The value of `key` inside an inline table such as { quality = "low" }.
std::string InlineValue(const std::string& table, const std::string& key) {
  size_t at = table.find(key);
  while (at != std::string::npos) {
    size_t eq = table.find('=', at);
    if (eq != std::string::npos && Trim(table.substr(at + key.size(), eq - at - key.size())).empty()) {
      size_t end = table.find_first_of(",}", eq);
      return Unquote(table.substr(eq + 1, end - eq - 1));
    }
    at = table.find(key, at + 1);
  }
  return "";
}

size_t FindOrAdd(CorpusCase& c, const std::string& name) {
  for (size_t i = 0; i < c.comparisons.size(); ++i)
    if (c.comparisons[i].name == name) return i;
  c.comparisons.push_back({name, 0, {}});
  return c.comparisons.size() - 1;
}

}  // namespace

CorpusCase ParseCaseToml(const std::string& text) {
  CorpusCase c;
  std::istringstream in(text);
  std::string line, section;
  // Indexes, not pointers: the vectors grow while the file is read.
  constexpr size_t kNone = static_cast<size_t>(-1);
  size_t current = kNone;
  std::vector<std::pair<size_t, std::string>> triggers;
  // Comparisons whose only check so far is the one their plain table header
  // made with no tolerance or outlier keys: a later checks list replaces it.
  std::set<size_t> placeholders;
  while (std::getline(in, line)) {
    line = Trim(line.substr(0, line.find('#') == std::string::npos ? line.size() : line.find('#')));
    if (line.empty()) continue;
    if (line.front() == '[') {
      bool isArray = line.rfind("[[", 0) == 0;
      section = Trim(line.substr(isArray ? 2 : 1, line.find(']') - (isArray ? 2 : 1)));
      current = kNone;
      const std::string prefix = "image_comparisons.";
      if (section.rfind(prefix, 0) == 0) {
        std::string rest = section.substr(prefix.size());
        bool checks = rest.size() > 7 && rest.compare(rest.size() - 7, 7, ".checks") == 0;
        if (checks) rest = rest.substr(0, rest.size() - 7);
        current = FindOrAdd(c, Unquote(rest));
        auto& list = c.comparisons[current].checks;
        if (checks && placeholders.erase(current)) list.clear();
        if (checks || list.empty()) {
          if (!checks) placeholders.insert(current);
          list.push_back({});
        }
      }
      continue;
    }
    size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string key = Trim(line.substr(0, eq)), value = Trim(line.substr(eq + 1));
    if (section.empty() && key == "num_frames") c.numFrames = std::strtoul(value.c_str(), nullptr, 10);
    if (section == "player_options" && key == "with_renderer")
      c.highQuality = InlineValue(value, "quality") == "high";
    if (section == "player_options" && key == "viewport_dimensions") {
      c.viewportWidth = std::atoi(InlineValue(value, "width").c_str());
      c.viewportHeight = std::atoi(InlineValue(value, "height").c_str());
    }
    if (current == kNone) continue;
    Check& check = c.comparisons[current].checks.back();
    if (key == "trigger") triggers.emplace_back(current, Unquote(value));
    if (key == "tolerance" || key == "max_outliers") placeholders.erase(current);
    if (key == "tolerance") check.tolerance = std::atoi(value.c_str());
    if (key == "max_outliers") check.maxOutliers = std::atol(value.c_str());
  }
  for (Comparison& cmp : c.comparisons) cmp.frame = c.numFrames;
  for (auto& [index, trigger] : triggers) {
    if (trigger == "fs_command")
      c.comparisons[index].frame = 0;
    else if (trigger != "last_frame")
      c.comparisons[index].frame = std::strtoul(trigger.c_str(), nullptr, 10);
  }
  return c;
}

long CountOutliers(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b, int tolerance) {
  long count = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i)
    if (std::abs(int(a[i]) - int(b[i])) > tolerance) ++count;
  return count;
}

}  // namespace velmora::corpus
