#include "settingsdialog/MediaListView.h"

#include "common/DesktopHost.h"
#include "common/WinText.h"
#include "settingsdialog/DialogOptions.h"

#include <commctrl.h>
#include <shellapi.h>

namespace velmora {
namespace {

int SmallIconOf(const std::string& file) {
  SHFILEINFOW info{};
  // The system's small icon list holds the icon; it is shared, not ours.
  if (!::SHGetFileInfoW(Wide(file).c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                        SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES))
    return 0;
  return info.iIcon;
}

std::optional<uint64_t> FileLength(const std::string& file) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(SystemPath(file).c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return std::nullopt;
  return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Name and path two fifths of the list's width each, the size the rest.
int ColumnWidth(int listWidth, int column) {
  return column < 2 ? listWidth * 2 / 5 : listWidth / 5 - 6;
}

}  // namespace

bool MediaListView::Create(HWND parent, int x, int y, int width, int height, int id) {
  view_ = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL |
                                LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS,
                            x, y, width, height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            ::GetModuleHandleW(nullptr), nullptr);
  if (!view_) return false;
  ListView_SetExtendedListViewStyle(view_, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
  SHFILEINFOW info{};
  const auto images = reinterpret_cast<HIMAGELIST>(::SHGetFileInfoW(
      L".txt", FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
      SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES));
  if (images) ListView_SetImageList(view_, images, LVSIL_SMALL);
  const wchar_t* titles[] = {L"Filename", L"Path", L"Size"};
  for (int i = 0; i < 3; ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | (i == 2 ? LVCF_FMT : 0);
    column.fmt = LVCFMT_RIGHT;
    column.cx = ColumnWidth(width, i);
    column.pszText = const_cast<wchar_t*>(titles[i]);
    ::SendMessageW(view_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
  }
  return true;
}

void MediaListView::FitColumns() {
  RECT place{};
  if (!view_ || !::GetWindowRect(view_, &place)) return;
  for (int i = 0; i < 3; ++i)
    ::SendMessageW(view_, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i),
                   MAKELPARAM(ColumnWidth(place.right - place.left, i), 0));
}

void MediaListView::ItemRead() {
  rows_.clear();
  const Settings& stored = settings_.Read();
  const std::string& list = list_ == MediaList::kFlash ? stored.flash.list : stored.image.list;
  for (MediaRow& row : RowsFromStored(list, settings_.AppDirectory())) {
    DispatchPendingMessages();
    rows_.push_back(std::move(row));
  }
  Show();
}

bool MediaListView::Store() const {
  if (rows_.empty()) return true;
  Settings changed = settings_.Read();
  (list_ == MediaList::kFlash ? changed.flash.list : changed.image.list) = StoreRows(rows_);
  return settings_.Write(changed, {MediaPathKey(list_)});
}

MediaListView::Change MediaListView::Append(const std::string& path) {
  rows_.push_back(RowForFile(path));
  Show();
  return Store() ? Change::kStored : Change::kNotStored;
}

MediaListView::Change MediaListView::DeleteSelected() {
  if (rows_.size() < 3) return Change::kRefused;
  if (const std::optional<size_t> selected = Selected()) {
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(*selected));
    Show();
  }
  return Store() ? Change::kStored : Change::kNotStored;
}

void MediaListView::SetRows(std::vector<MediaRow> rows) {
  rows_ = std::move(rows);
  Show();
}

std::string MediaListView::SizeCellOf(size_t row) const { return KilobyteCell(FileLength(FileOf(row))); }

void MediaListView::Show() {
  if (!view_) return;
  ListView_DeleteAllItems(view_);
  for (size_t i = 0; i < rows_.size(); ++i) {
    std::wstring name = Wide(rows_[i].name), folder = Wide(rows_[i].folder), size = Wide(SizeCellOf(i));
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = static_cast<int>(i);
    item.pszText = name.data();
    item.iImage = SmallIconOf(FileOf(i));
    const int at = static_cast<int>(::SendMessageW(view_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    for (const auto& [column, text] : {std::pair{1, &folder}, std::pair{2, &size}}) {
      LVITEMW cell{};
      cell.iSubItem = column;
      cell.pszText = text->data();
      ::SendMessageW(view_, LVM_SETITEMTEXTW, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&cell));
    }
  }
}

std::optional<size_t> MediaListView::Selected() const {
  if (!view_) return std::nullopt;
  const int selected = ListView_GetNextItem(view_, -1, LVNI_SELECTED);
  if (selected < 0 || static_cast<size_t>(selected) >= rows_.size()) return std::nullopt;
  return static_cast<size_t>(selected);
}

void MediaListView::Select(size_t row) {
  if (!view_ || row >= rows_.size()) return;
  ListView_SetItemState(view_, static_cast<int>(row), LVIS_SELECTED | LVIS_FOCUSED,
                        LVIS_SELECTED | LVIS_FOCUSED);
  ListView_EnsureVisible(view_, static_cast<int>(row), FALSE);
}

std::optional<size_t> MediaListView::RowAt(POINT at) const {
  LVHITTESTINFO hit{};
  hit.pt = at;
  const int row = ListView_HitTest(view_, &hit);
  if (row < 0 || static_cast<size_t>(row) >= rows_.size()) return std::nullopt;
  return static_cast<size_t>(row);
}

bool MediaListView::BelowLastRow(POINT at) const {
  if (rows_.empty()) return true;
  RECT last{};
  // GetItemPosition: where the last row lies.
  if (!ListView_GetItemRect(view_, static_cast<int>(rows_.size() - 1), &last, LVIR_BOUNDS)) return false;
  return at.y >= last.bottom;
}

}  // namespace velmora
