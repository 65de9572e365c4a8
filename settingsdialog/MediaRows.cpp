#include "settingsdialog/MediaRows.h"

#include "common/PathText.h"
#include "settings/EntryList.h"

namespace velmora {

std::vector<MediaRow> RowsFromStored(std::string_view stored, std::string_view appDirectory) {
  std::vector<MediaRow> rows;
  for (const MediaEntry& entry : ReadEntryList(stored)) {
    const std::string marker = ToLower(entry.location);
    const bool own = marker == "flashs" || marker == "images";
    rows.push_back({entry.name, own ? std::string(appDirectory) + "\\" + entry.location + "\\"
                                    : entry.location});
  }
  return rows;
}

std::string StoreRows(const std::vector<MediaRow>& rows) {
  std::string stored;
  for (const MediaRow& row : rows) stored += FormatEntry({row.name, row.folder});
  return stored;
}

MediaRow RowForFile(std::string_view path) {
  const size_t slash = path.find_last_of('\\');
  if (slash == std::string_view::npos) return {std::string(path), ""};
  return {std::string(path.substr(slash + 1)), std::string(path.substr(0, slash + 1))};
}

std::optional<size_t> MoveDraggedRow(std::vector<MediaRow>& rows, size_t dragged,
                                     std::optional<size_t> target, bool belowLast) {
  if (dragged >= rows.size()) return std::nullopt;
  const MediaRow moving = rows[dragged];
  if (target) {
    if (*target >= rows.size() || *target == dragged) return std::nullopt;
    rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(*target), moving);
    const size_t old = *target < dragged ? dragged + 1 : dragged;
    rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(old));
    return *target < dragged ? *target : *target - 1;
  }
  if (!belowLast) return std::nullopt;
  rows.push_back(moving);
  rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(dragged));
  return rows.size() - 1;
}

}  // namespace velmora
