#include "shell/DropPlan.h"

#include "common/PathText.h"

#include <set>

namespace velmora {
namespace {

// "name.ext" split at its last dot; a folder's name, or a name without a
// dot, is all stem.
void Split(const std::string& name, bool isFolder, std::string& stem, std::string& ext) {
  const size_t dot = name.rfind('.');
  if (isFolder || dot == std::string::npos || dot == 0) {
    stem = name;
    ext.clear();
    return;
  }
  stem = name.substr(0, dot);
  ext = name.substr(dot);
}

// "C:", "C:\" or any path ending in a backslash: no item of its own.
bool IsDriveRoot(const std::string& path) {
  return (path.size() >= 2 && path.size() <= 3 && path[1] == ':') ||
         (!path.empty() && path.back() == '\\');
}

}  // namespace

std::string FreeName(const std::string& folder, const std::string& name, bool isFolder,
                     bool shortcut, const std::function<bool(const std::string&)>& taken) {
  std::string stem, ext;
  Split(name, isFolder, stem, ext);
  if (shortcut) {
    for (int n = 1;; ++n) {
      const std::string candidate = stem + (n == 1 ? "" : " (" + std::to_string(n) + ")") + ".lnk";
      if (!taken(folder + candidate)) return candidate;
    }
  }
  if (!taken(folder + name)) return name;
  for (int n = 1;; ++n) {
    const std::string candidate =
        stem + " - Copy" + (n == 1 ? "" : " (" + std::to_string(n) + ")") + ext;
    if (!taken(folder + candidate)) return candidate;
  }
}

std::vector<DropStep> PlanDrop(DropCommand command, const std::vector<std::string>& sources,
                               const std::string& desktop,
                               const std::function<bool(const std::string&)>& isFolder,
                               const std::function<bool(const std::string&)>& taken,
                               const std::function<bool(const std::string&)>& holdsDesktop) {
  std::vector<DropStep> steps;
  const std::string folder = desktop + "\\";
  // Names given to earlier steps of this drop are taken too.
  std::set<std::string> given;
  const auto inUse = [&](const std::string& path) {
    return given.count(ToLower(path)) > 0 || taken(path);
  };
  for (const std::string& source : sources) {
    DropStep step;
    step.source = source;
    step.folder = isFolder(source);
    if (IsDriveRoot(source)) {
      step.refusal = "A whole drive cannot be put on the desktop.";
      steps.push_back(step);
      continue;
    }
    // A folder holding the desktop would be copied into itself without end.
    if (command != DropCommand::kShortcut && step.folder &&
        (ToLower(desktop + "\\").rfind(ToLower(source + "\\"), 0) == 0 ||
         (holdsDesktop && holdsDesktop(source)))) {
      step.refusal = "The desktop lies inside this folder.";
      steps.push_back(step);
      continue;
    }
    const std::string name = GetFileNamePart(source);
    if (command == DropCommand::kMove && ToLower(ParentFolder(source)) == ToLower(desktop)) {
      steps.push_back(step);  // moved onto itself: nothing to do, nothing wrong
      continue;
    }
    step.target = folder + FreeName(folder, name, step.folder, command == DropCommand::kShortcut, inUse);
    given.insert(ToLower(step.target));
    steps.push_back(step);
  }
  return steps;
}

namespace {

// The first `limit` characters of a line of UTF-8, a character never cut.
std::string Shortened(const std::string& line, size_t limit) {
  size_t end = 0, characters = 0;
  while (end < line.size() && characters < limit) {
    ++end;
    while (end < line.size() && (static_cast<unsigned char>(line[end]) & 0xC0) == 0x80) ++end;
    ++characters;
  }
  return end < line.size() ? line.substr(0, end) + "..." : line;
}

}  // namespace

std::string DropProblemsMessage(const std::string& problems) {
  std::string message = "These items could not be put on the desktop:\n\n";
  size_t lines = 0;
  for (size_t start = 0; start < problems.size();) {
    size_t end = problems.find('\n', start);
    if (end == std::string::npos) end = problems.size();
    if (end > start && lines++ < kProblemLinesShown)
      message += Shortened(problems.substr(start, end - start), kProblemLineLength) + "\n";
    start = end + 1;
  }
  if (lines > kProblemLinesShown)
    message += "... and " + std::to_string(lines - kProblemLinesShown) + " more.\n";
  return message;
}

}  // namespace velmora
