#include "settings/EntryList.h"

#include "common/Utf8.h"
#include "settings/IniEncoding.h"

#include <cctype>

namespace velmora {
namespace {

bool Readable(std::string_view text) {
  return IsValidUtf8(text) && text.find(kUnreadableMark) == std::string_view::npos;
}

}  // namespace

std::vector<std::string> SplitEntryPieces(std::string_view list) {
  std::vector<std::string> pieces;
  size_t start = 0;
  for (size_t star = list.find('*'); star != std::string_view::npos;
       star = list.find('*', start)) {
    pieces.emplace_back(list.substr(start, star - start));
    start = star + 1;
  }
  return pieces;
}

MediaEntry ParseEntry(std::string_view piece) {
  const size_t bar = piece.find('|');
  if (bar == std::string_view::npos) return {std::string(piece), {}};
  // Split at every "|": the name and the location are the first two parts,
  // any further part is not read.
  const size_t next = piece.find('|', bar + 1);
  const std::string_view location =
      piece.substr(bar + 1, next == std::string_view::npos ? std::string_view::npos : next - bar - 1);
  return {std::string(piece.substr(0, bar)), std::string(location)};
}

std::vector<MediaEntry> ReadEntryList(std::string_view list) {
  std::vector<MediaEntry> entries;
  for (const std::string& piece : SplitEntryPieces(list)) entries.push_back(ParseEntry(piece));
  return entries;
}

std::string FormatEntry(const MediaEntry& entry) {
  return entry.name + "|" + entry.location + "*";
}

std::string EntryFilePath(const MediaEntry& entry, std::string_view section,
                          std::string_view appDir) {
  std::string ownFolder;
  for (char c : section) ownFolder += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  ownFolder += 's';
  if (entry.location == ownFolder) {
    // The sub-folder is spelled with a capital, as the program delivers it.
    std::string folder(section.substr(0, 1));
    folder += ownFolder.substr(1);
    return std::string(appDir) + "\\" + folder + "\\" + entry.name;
  }
  return entry.location + entry.name;
}

PruneResult PruneEntryList(std::string_view list, std::string_view section,
                           std::string_view appDir,
                           const std::function<bool(const std::string&)>& missing,
                           const std::function<void()>& beforeEach) {
  PruneResult result;
  size_t start = 0;
  for (size_t star = list.find('*'); star != std::string_view::npos;
       star = list.find('*', start)) {
    const std::string_view piece = list.substr(start, star - start);
    if (beforeEach) beforeEach();
    const MediaEntry entry = ParseEntry(piece);
    // A name not read as it was written names no file that can be looked for.
    if (Readable(entry.name) && Readable(entry.location) &&
        missing(EntryFilePath(entry, section, appDir))) {
      ++result.removed;
    } else {
      result.list.append(piece).append("*");
    }
    start = star + 1;
  }
  result.list.append(list.substr(start));
  return result;
}

}  // namespace velmora
