// The dialog's media lists as rows: their stored form, the size cell,
// dragging a slide.
#include "settingsdialog/DialogOptions.h"
#include "settingsdialog/MediaRows.h"

#include <gtest/gtest.h>

#include <vector>

namespace velmora {
namespace {

TEST(MediaRows, StoredListsReadAndWrittenBack) {
  const std::vector<MediaRow> rows = RowsFromStored("a.png|images*b.jpg|D:\\Pics\\*tail", "C:\\Velmora");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (MediaRow{"a.png", "C:\\Velmora\\images\\"}));
  EXPECT_EQ(rows[1], (MediaRow{"b.jpg", "D:\\Pics\\"}));
  // After a change the marker's record holds the folder spelled out.
  EXPECT_EQ(StoreRows(rows), "a.png|C:\\Velmora\\images\\*b.jpg|D:\\Pics\\*");
  EXPECT_EQ(RowsFromStored(StoreRows(rows), "X"), rows);
  EXPECT_EQ(StoreRows({}), "");
  EXPECT_EQ(RowForFile("D:\\Movies\\intro.swf"), (MediaRow{"intro.swf", "D:\\Movies\\"}));
  EXPECT_TRUE(StorableInList("D:\\Pics\\a.png"));
  EXPECT_FALSE(StorableInList("D:\\Pics\\star*.png"));
  EXPECT_FALSE(StorableInList("D:\\a|b\\x.png"));
}

TEST(MediaRows, KilobytesRoundedTiesToEvenAndNoLimit) {
  EXPECT_EQ(KilobyteCell(uint64_t{0}), "0KB");
  EXPECT_EQ(KilobyteCell(uint64_t{512}), "0KB");    // 0.5 -> 0
  EXPECT_EQ(KilobyteCell(uint64_t{1536}), "2KB");   // 1.5 -> 2
  EXPECT_EQ(KilobyteCell(uint64_t{2560}), "2KB");   // 2.5 -> 2
  EXPECT_EQ(KilobyteCell(uint64_t{2561}), "3KB");
  EXPECT_EQ(KilobyteCell(uint64_t{12288}), "12KB");
  EXPECT_EQ(KilobyteCell(uint64_t{40000} * 1024), "40000KB");  // beyond 16 bits
  EXPECT_EQ(KilobyteCell(std::nullopt), "missing");
}

TEST(MediaRows, DraggingASlide) {
  const std::vector<MediaRow> abc = {{"a", "F\\"}, {"b", "F\\"}, {"c", "G\\"}};
  std::vector<MediaRow> rows = abc;
  EXPECT_EQ(MoveDraggedRow(rows, 1, size_t{0}, false), 0u);  // second onto the first
  EXPECT_EQ(rows, (std::vector<MediaRow>{{"b", "F\\"}, {"a", "F\\"}, {"c", "G\\"}}));
  rows = abc;
  EXPECT_EQ(MoveDraggedRow(rows, 0, std::nullopt, true), 2u);  // below the last row
  EXPECT_EQ(rows, (std::vector<MediaRow>{{"b", "F\\"}, {"c", "G\\"}, {"a", "F\\"}}));
  rows = abc;
  EXPECT_EQ(MoveDraggedRow(rows, 0, size_t{2}, false), 1u);  // onto the last: before it
  EXPECT_EQ(rows, (std::vector<MediaRow>{{"b", "F\\"}, {"a", "F\\"}, {"c", "G\\"}}));
  rows = abc;
  EXPECT_FALSE(MoveDraggedRow(rows, 1, size_t{1}, false));  // onto itself
  EXPECT_FALSE(MoveDraggedRow(rows, 1, std::nullopt, false));  // empty space, not below
  EXPECT_EQ(rows, abc);
}

}  // namespace
}  // namespace velmora
