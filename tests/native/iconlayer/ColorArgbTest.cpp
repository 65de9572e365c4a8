// GDI+ colours from their four channels.
#include "iconlayer/ColorArgb.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(ColorARGB, PacksAlphaRedGreenBlue) {
  EXPECT_EQ(ColorARGB(100, 0, 31, 127), 0x64001F7Fu);
  EXPECT_EQ(ColorARGB(1, 0, 0, 255), 0x010000FFu);
}

}  // namespace
}  // namespace velmora
