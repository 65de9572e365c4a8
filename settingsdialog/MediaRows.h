// The rows of the dialog's two media lists and their stored form: read
// from the entry list of the settings file (the program's own folders
// "flashs" and "images" spelled out), written back in display order, and
// moved by dragging.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

struct MediaRow {
  std::string name;    // Filename
  std::string folder;  // Path, ending in "\"
  bool operator==(const MediaRow& o) const { return name == o.name && folder == o.folder; }
};

// The rows of a stored list; `appDirectory` spells out the markers.
std::vector<MediaRow> RowsFromStored(std::string_view stored, std::string_view appDirectory);

// The stored form of the rows ("name|folder*" each); "" for none.
std::string StoreRows(const std::vector<MediaRow>& rows);

// The row for a chosen file: the name after the last "\", the folder up to it.
MediaRow RowForFile(std::string_view path);

// Where a dragged row goes. `target` is the row under the drop point, if
// any; `belowLast` says the point lies below the last row. The row moves
// before the target (or to the end) and the index it ends at is returned;
// a drop onto itself or onto empty space elsewhere changes nothing.
std::optional<size_t> MoveDraggedRow(std::vector<MediaRow>& rows, size_t dragged,
                                     std::optional<size_t> target, bool belowLast);

}  // namespace velmora
