// The entry-list format of the media lists: name "|" location "*" ...
//
// Every entry ends in "*"; the text after the last "*" is not an entry.
// A location is a folder path ending in "\" or one of the literals
// "flashs" / "images", meaning the program's own sub-folder.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

struct MediaEntry {
  std::string name;
  std::string location;  // empty when the piece had no "|"
};

// The pieces of the list before each "*", in order (the trailing piece after
// the last "*" is not among them).
std::vector<std::string> SplitEntryPieces(std::string_view list);

// One piece split at "|": the name before the first, the location up to the
// second (anything after a second "|" is not part of the entry's file).
MediaEntry ParseEntry(std::string_view piece);

// All entries of a list.
std::vector<MediaEntry> ReadEntryList(std::string_view list);

// The text of one entry, including its terminating "*".
std::string FormatEntry(const MediaEntry& entry);

// The file an entry refers to. `section` is "FLASH" or "IMAGE": a location
// equal to its lower-case form followed by "s" means appDir\Flashs\name (or
// Images); any other location is prefixed to the name as it stands.
std::string EntryFilePath(const MediaEntry& entry, std::string_view section,
                          std::string_view appDir);

struct PruneResult {
  std::string list;     // the list with the missing entries taken out
  int removed = 0;      // how many entries were taken out
};

// Removes every entry whose file `missing` says is certainly gone. Exactly
// those entries go; the others, and the text after the last "*", stay as
// they were. An entry whose name or location could not be read (it holds
// U+FFFD or is not UTF-8) is never taken for gone.
// `beforeEach` runs before each entry is checked (the caller dispatches
// window messages there).
PruneResult PruneEntryList(std::string_view list, std::string_view section,
                           std::string_view appDir,
                           const std::function<bool(const std::string&)>& missing,
                           const std::function<void()>& beforeEach = {});

}  // namespace velmora
