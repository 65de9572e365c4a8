// Item-id lists as bytes: their count, size, next item and copy.
#include "shell/ItemIdList.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace velmora {
namespace {

// A list of item ids of the given sizes (each filled with its index), with
// the terminator.
std::vector<uint8_t> List(const std::vector<uint16_t>& sizes) {
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i < sizes.size(); ++i) {
    bytes.push_back(static_cast<uint8_t>(sizes[i] & 0xFF));
    bytes.push_back(static_cast<uint8_t>(sizes[i] >> 8));
    for (int k = 2; k < sizes[i]; ++k) bytes.push_back(static_cast<uint8_t>(0x10 + i));
  }
  bytes.push_back(0);
  bytes.push_back(0);
  return bytes;
}

TEST(ItemIdList, CountSizeNextAndCopy) {
  const std::vector<uint8_t> list = List({5, 300, 3});
  EXPECT_EQ(GetItemIdCount(list.data()), 3);
  EXPECT_EQ(GetItemIdSize(list.data()), 5);
  const uint8_t* second = GetNextItemId(list.data());
  EXPECT_EQ(GetItemIdSize(second), 300);  // sizes above 255 use both bytes
  EXPECT_EQ(GetItemIdSize(GetNextItemId(GetNextItemId(second))), 0);
  EXPECT_EQ(GetNextItemId(GetNextItemId(GetNextItemId(second))), nullptr);
  EXPECT_EQ(GetItemIdSize(nullptr), 0);
  EXPECT_EQ(GetNextItemId(nullptr), nullptr);

  std::vector<void*> blocks;
  const auto allocate = [&](size_t n) {
    blocks.push_back(std::malloc(n));
    return blocks.back();
  };
  const uint8_t* copy = GetItemIdCopy(list.data(), 2, allocate);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(GetItemIdCount(copy), 1);
  EXPECT_EQ(GetItemIdSize(copy), 300);
  EXPECT_EQ(copy[299], 0x11);
  EXPECT_EQ(copy[300], 0);
  EXPECT_EQ(copy[301], 0);  // the terminator after it
  EXPECT_EQ(GetItemIdSize(GetItemIdCopy(list.data(), -1, allocate)), 3);  // the last
  EXPECT_EQ(GetItemIdSize(GetItemIdCopy(list.data(), 9, allocate)), 3);
  EXPECT_EQ(GetItemIdSize(GetItemIdCopy(list.data(), 1, allocate)), 5);
  EXPECT_EQ(GetItemIdCopy(list.data(), 1, [](size_t) -> void* { return nullptr; }), nullptr);
  for (void* b : blocks) std::free(b);

  const std::vector<uint8_t> desktop = List({});
  EXPECT_TRUE(IsDesktopPidl(desktop.data()));
  EXPECT_FALSE(IsDesktopPidl(list.data()));
  EXPECT_FALSE(IsDesktopPidl(nullptr));
  EXPECT_EQ(GetItemIdCount(desktop.data()), 0);
  EXPECT_EQ(GetItemIdCopy(desktop.data(), 1, allocate), nullptr);
}

}  // namespace
}  // namespace velmora
