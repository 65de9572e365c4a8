// One of the settings dialog's media lists (FlashList, SlideList): a
// report list with the files' small icons and the columns "Filename",
// "Path" and "Size", filled from and stored to an entry list of the
// settings file.
#pragma once

#include "settingsdialog/MediaRows.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

class MediaListView {
 public:
  // The list's settings: the file, its section ("FLASH" or "IMAGE") and the
  // program's folder for the markers.
  MediaListView(std::string iniPath, std::string section, std::string appDirectory)
      : iniPath_(std::move(iniPath)), section_(std::move(section)), appDirectory_(std::move(appDirectory)) {}

  bool Create(HWND parent, int x, int y, int width, int height, int id);
  HWND hwnd() const { return list_; }

  // ItemRead: the rows from the stored list "Path" of the section.
  void ItemRead();
  // Stores the rows in display order as "Path"; an empty list writes nothing.
  void Store() const;
  // Appends a file's row (Itemlist after its file dialog).
  void Append(const std::string& path);
  // DelItem: removes the selected row when at least three are left and
  // stores the list; false (nothing removed) with two or fewer.
  bool DeleteSelected();

  const std::vector<MediaRow>& Rows() const { return rows_; }
  void SetRows(std::vector<MediaRow> rows);
  std::optional<size_t> Selected() const;
  void Select(size_t row);
  // The file of a row: its folder and name.
  std::string FileOf(size_t row) const { return rows_[row].folder + rows_[row].name; }
  std::string SizeCellOf(size_t row) const;

  // The row under a point of the list's client area, and whether the point
  // lies below the last row.
  std::optional<size_t> RowAt(POINT at) const;
  bool BelowLastRow(POINT at) const;

 private:
  void Show();

  std::string iniPath_, section_, appDirectory_;
  HWND list_ = nullptr;  // a child of the dialog, destroyed with it
  std::vector<MediaRow> rows_;
};

}  // namespace velmora
