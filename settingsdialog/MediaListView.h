// One of the settings dialog's media lists (FlashList, SlideList): a
// report list with the files' small icons and the columns "Filename",
// "Path" and "Size", filled from and stored to an entry list of the
// settings file.
#pragma once

#include "settings/SettingsStore.h"
#include "settingsdialog/MediaRows.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

class MediaListView {
 public:
  // The settings that hold the list (the program's folder gives the
  // markers' folders).
  MediaListView(SettingsStore& settings, MediaList list) : settings_(settings), list_(list) {}

  bool Create(HWND parent, int x, int y, int width, int height, int id);
  // The columns shared out over the list's width again (after a new size).
  void FitColumns();
  HWND hwnd() const { return view_; }

  // ItemRead: the rows from the stored list.
  void ItemRead();
  // Stores the rows in display order; an empty list writes nothing. False
  // when the settings file could not take them.
  bool Store() const;
  // What a change of the list came to.
  enum class Change { kStored, kNotStored, kRefused };
  // Appends a file's row (Itemlist after its file dialog) and stores the list.
  Change Append(const std::string& path);
  // DelItem: removes the selected row when at least three are left and
  // stores the list; refused (nothing removed) with two or fewer.
  Change DeleteSelected();

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

  SettingsStore& settings_;
  MediaList list_;
  HWND view_ = nullptr;  // a child of the dialog, destroyed with it
  std::vector<MediaRow> rows_;
};

}  // namespace velmora
