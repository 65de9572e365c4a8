// The arrange orders of the desktop menu and the keys they sort by.
#include "shell/ItemSort.h"
#include "shell/MenuIndex.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora {
namespace {

ShortcutList Desktop() {
  ShortcutList list;
  for (const char* c : {"String", "String", "Number", "Date", "Date"}) list.AddColumn(c, "");
  list.AddRow({"::{special 1}"});
  list.AddRow({"::{special 2}"});
  list.AddRow({"D:\\big.txt", "txt", "2048", "2005/01/02", "big.txt"});
  list.AddRow({"D:\\Zeta", "dir", "0", "Zeta"});
  list.AddRow({"D:\\small.png", "png", "512", "2004/12/31", "small.png"});
  list.AddRow({"D:\\Alpha", "dir", "0", "Alpha"});
  list.AddRow({"D:\\apple.doc", "doc", "512", "2004/12/31", "apple.doc"});
  return list;
}

std::vector<std::string> Order(const ShortcutList& list) {
  std::vector<std::string> paths;
  for (size_t i = 0; i < list.Rows().size(); ++i) paths.push_back(list.Cell(i, 0));
  return paths;
}

TEST(ItemSort, EachArrangeOrder) {
  ShortcutList bySize = Desktop();
  SotrListView(bySize, "NUMBER");  // 512 before 2048 (as text "2048" < "512")
  EXPECT_EQ(Order(bySize), (std::vector<std::string>{"::{special 1}", "::{special 2}", "D:\\Zeta",
                                                      "D:\\Alpha", "D:\\small.png", "D:\\apple.doc",
                                                      "D:\\big.txt"}));
  ShortcutList byDate = Desktop();
  SotrListView(byDate, "date");
  // Folders hold their name where files hold the date: no date, right after
  // the special items; 2004/12/31 before 2005/01/02; equal keys stay in order.
  EXPECT_EQ(Order(byDate), (std::vector<std::string>{"::{special 1}", "::{special 2}", "D:\\Zeta",
                                                      "D:\\Alpha", "D:\\small.png", "D:\\apple.doc",
                                                      "D:\\big.txt"}));
  ShortcutList byName = Desktop();
  SotrListView(byName, "");
  // Folders (no name column) in scan order, then files by name, any case.
  EXPECT_EQ(Order(byName), (std::vector<std::string>{"::{special 1}", "::{special 2}", "D:\\Zeta",
                                                      "D:\\Alpha", "D:\\apple.doc", "D:\\big.txt",
                                                      "D:\\small.png"}));
  ShortcutList byType = Desktop();
  SotrListView(byType, "STRING");
  EXPECT_EQ(Order(byType), (std::vector<std::string>{"::{special 1}", "::{special 2}", "D:\\Zeta",
                                                      "D:\\Alpha", "D:\\apple.doc", "D:\\small.png",
                                                      "D:\\big.txt"}));
  // The cells are as they were.
  EXPECT_EQ(bySize.Cell(6, 2), "2048");
  EXPECT_EQ(byDate.Cell(4, 3), "2004/12/31");
}

TEST(ItemSort, NumberAndDateKeys) {
  EXPECT_EQ(SortKey("NUMBER", "512"), std::string(27, '0') + "512." + std::string(30, '0'));
  EXPECT_LT(SortKey("NUMBER", "512"), SortKey("NUMBER", "2048"));
  EXPECT_LT(SortKey("NUMBER", "-5"), SortKey("NUMBER", "0"));
  EXPECT_LT(SortKey("NUMBER", "-50"), SortKey("NUMBER", "-5"));  // larger magnitude first
  EXPECT_EQ(SortKey("NUMBER", "-5")[0], '&');
  EXPECT_EQ(SortKey("NUMBER", "abc"), "");
  EXPECT_EQ(SortKey("NUMBER", ""), "");
  EXPECT_EQ(SortKey("DATE", "2004/12/31"), "20041231000000");
  EXPECT_EQ(SortKey("DATE", "2005-01-02 13:04:05"), "20050102130405");
  EXPECT_EQ(SortKey("DATE", "Projects"), "");
  EXPECT_EQ(SortKey("DATE", "2005/13/02"), "");
  EXPECT_EQ(ToSortableNumber("-0123.45"), " 9876.54");
  EXPECT_EQ(SortColumn("number"), 2u);
  EXPECT_EQ(SortColumn("Name"), 4u);
}

}  // namespace
}  // namespace velmora
