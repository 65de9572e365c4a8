// The hidden item list: columns, rows and its stable sorts.
#include "shell/ShortcutList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora {
namespace {

TEST(ShortcutList, ColumnsRowsAndStableSort) {
  ShortcutList list;
  for (const char* tag : {"PATH", "STRING", "NUMBER"}) list.AddColumn("String", tag);
  EXPECT_EQ(list.ColumnWithTag("NUMBER"), 2);
  EXPECT_EQ(list.ColumnWithTag("DATE"), -1);
  list.AddRow({"c", "x", "10"});
  list.AddRow({"a", "y", "9"});
  list.AddRow({"b", "x"});  // missing cell is empty
  list.AddRow({"d", "w", "10"});
  EXPECT_EQ(list.Cell(2, 2), "");
  EXPECT_EQ(list.Cell(9, 0), "");
  list.SortBy(1);
  std::vector<std::string> order;
  for (const auto& row : list.Rows()) order.push_back(row[0]);
  EXPECT_EQ(order, (std::vector<std::string>{"d", "c", "b", "a"}));  // c before b: stable
  list.SortBy(2, [](const std::string& a, const std::string& b) {
    return std::atol(a.c_str()) < std::atol(b.c_str());
  });
  order.clear();
  for (const auto& row : list.Rows()) order.push_back(row[0]);
  EXPECT_EQ(order, (std::vector<std::string>{"b", "a", "d", "c"}));
}

}  // namespace
}  // namespace velmora
