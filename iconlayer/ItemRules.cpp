#include "iconlayer/ItemRules.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <set>

namespace velmora {
namespace {

// A decimal number rounded to the nearest whole number, halves to even;
// 0 when the text is not a number.
int32_t RoundedIndex(std::string_view text) {
  std::string s(text);
  char* end = nullptr;
  const double value = std::strtod(s.c_str(), &end);
  if (end == s.c_str() || !std::isfinite(value) || std::fabs(value) > 2147483647.0) return 0;
  return static_cast<int32_t>(std::nearbyint(value));  // default mode: to nearest, ties to even
}

}  // namespace

IconLocation IconLocationFor(int index, std::string_view source, std::string_view systemDir,
                             std::string_view windowsDir) {
  const std::string shell32 = std::string(systemDir) + "\\Shell32.dll";
  switch (index) {
    case 0: return {shell32, 126};
    case 1: return {std::string(windowsDir) + "\\Explorer.exe", 0};
    case 2: return {shell32, 32};
    case 3: return {shell32, 17};
    case 4:
      return {std::string(windowsDir.substr(0, 1)) + ":\\program files\\internet explorer\\iexplore.exe",
              0};
    default: break;
  }
  if (source.substr(0, 3) == "dir") return {shell32, 3};
  const size_t comma = source.find(',');
  if (comma == std::string_view::npos) return {std::string(source), 0};
  const size_t next = source.find(',', comma + 1);
  const std::string_view number =
      source.substr(comma + 1, next == std::string_view::npos ? std::string_view::npos
                                                              : next - comma - 1);
  return {std::string(source.substr(0, comma)), RoundedIndex(number)};
}

std::string LabelText(int index, std::string_view name) {
  switch (index) {
    case 0: return "My Documents";
    case 1: return "My Computer";
    case 2: return "Recycle Bin";
    default: break;
  }
  if (ToLower(ExtensionOf(name)) == "lnk") return std::string(name.substr(0, name.find('.')));
  return std::string(name);
}

int32_t LabelBoxHeight(std::string_view text, bool highlighted, int32_t twoLines) {
  const size_t first = text.find_first_not_of(' ');
  const size_t last = text.find_last_not_of(' ');
  const size_t n = first == std::string_view::npos ? 0 : last - first + 1;
  return !highlighted && n >= 13 ? twoLines : 0;
}

std::optional<std::string> FollowShortcutChain(
    const std::string& shortcut, const std::function<std::string(const std::string&)>& readTarget) {
  std::set<std::string> passed{ToLower(shortcut)};
  std::string target = readTarget(shortcut);
  for (int step = 1; !target.empty() && ToLower(ExtensionOf(GetFileNamePart(target))) == "lnk"; ++step) {
    if (!passed.insert(ToLower(target)).second || step >= kMostShortcutsInARow) return std::nullopt;
    std::string next = readTarget(target);
    if (next.empty()) break;  // a folder named so, or a shortcut without a path: opened as it is
    target = std::move(next);
  }
  return target;
}

std::optional<OpenCommand> OpenCommandFor(
    const ItemToOpen& item, const std::function<std::optional<std::string>()>& shortcutTarget,
    const std::string& windowsDirectory, const std::string& appDirectory) {
  if (item.row <= 0) return std::nullopt;
  if (item.row <= 4) return OpenCommand{"open", "explorer", item.text, "", OpenCommand::kShow};
  if (item.row == 5)
    return OpenCommand{"open",
                       windowsDirectory.substr(0, 1) +
                           ":\\Program Files\\Internet Explorer\\iexplore.exe",
                       "", appDirectory, OpenCommand::kShowNormal};
  std::string file = item.text;
  if (!item.isFolder && item.type == "lnk") {
    // A shortcut to something without a path (a web page, a shell item) is
    // handed to the shell as it is: the shell knows how to follow it.
    const std::optional<std::string> target = shortcutTarget ? shortcutTarget() : std::string();
    if (!target) return std::nullopt;
    if (!target->empty()) file = *target;
  }
  if (IsReservedDeviceName(GetFileNamePart(file))) return std::nullopt;
  return OpenCommand{"Open", file, "", appDirectory, OpenCommand::kShowNormal};
}

}  // namespace velmora
