// The hidden list of desktop items: rows of text cells under named columns,
// with a stable ascending sort by one column.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace velmora {

class ShortcutList {
 public:
  struct Column {
    std::string text;
    std::string tag;  // what the column holds: "PATH", "STRING", "NUMBER", "DATE", "NAME"
    int width = 100;
  };
  using Row = std::vector<std::string>;  // one cell per column
  // Orders two cells of the sort column; true when a comes before b.
  using Less = std::function<bool(const std::string& a, const std::string& b)>;

  void AddColumn(std::string text, std::string tag);
  void SetColumnWidth(size_t column, int width);
  const std::vector<Column>& Columns() const { return columns_; }
  // The index of the column with this tag, or -1.
  int ColumnWithTag(const std::string& tag) const;

  // Adds a row; missing cells are empty. Returns its index.
  size_t AddRow(Row cells);
  const std::vector<Row>& Rows() const { return rows_; }
  const std::string& Cell(size_t row, size_t column) const;
  void Clear() {
    rows_.clear();
    selected_ = -1;
  }

  // Sorts the rows ascending by one column, keeping the order of equal rows;
  // `less` defaults to plain text order.
  void SortBy(size_t column, const Less& less = {});
  // Sorts the rows ascending by a key of each (keys[i] for row i, plain text
  // order), keeping the order of equal rows.
  void StableSortByKeys(const std::vector<std::string>& keys);
  // The selected row (0-based), or -1.
  int SelectedRow() const { return selected_; }
  void SelectRow(int row) { selected_ = row >= 0 && row < static_cast<int>(rows_.size()) ? row : -1; }

 private:
  std::vector<Column> columns_;
  std::vector<Row> rows_;
  int selected_ = -1;
};

}  // namespace velmora
