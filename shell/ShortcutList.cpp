#include "shell/ShortcutList.h"

#include <algorithm>

namespace velmora {

void ShortcutList::AddColumn(std::string text, std::string tag) {
  columns_.push_back({std::move(text), std::move(tag), 100});
  for (Row& row : rows_) row.resize(columns_.size());
}

void ShortcutList::SetColumnWidth(size_t column, int width) {
  if (column < columns_.size()) columns_[column].width = width;
}

int ShortcutList::ColumnWithTag(const std::string& tag) const {
  for (size_t i = 0; i < columns_.size(); ++i)
    if (columns_[i].tag == tag) return static_cast<int>(i);
  return -1;
}

size_t ShortcutList::AddRow(Row cells) {
  cells.resize(std::max(cells.size(), columns_.size()));
  rows_.push_back(std::move(cells));
  return rows_.size() - 1;
}

const std::string& ShortcutList::Cell(size_t row, size_t column) const {
  static const std::string empty;
  if (row >= rows_.size() || column >= rows_[row].size()) return empty;
  return rows_[row][column];
}

void ShortcutList::StableSortByKeys(const std::vector<std::string>& keys) {
  if (keys.size() != rows_.size()) return;
  std::vector<size_t> order(rows_.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return keys[a] < keys[b]; });
  std::vector<Row> sorted;
  sorted.reserve(rows_.size());
  for (size_t i : order) sorted.push_back(std::move(rows_[i]));
  rows_ = std::move(sorted);
}

void ShortcutList::SortBy(size_t column, const Less& less) {
  if (column >= columns_.size()) return;
  std::stable_sort(rows_.begin(), rows_.end(), [&](const Row& a, const Row& b) {
    const std::string& x = column < a.size() ? a[column] : std::string();
    const std::string& y = column < b.size() ? b[column] : std::string();
    return less ? less(x, y) : x < y;
  });
}

}  // namespace velmora
