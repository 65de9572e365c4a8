// The background window placed over the screen outside the taskbar.
#include "common/TaskbarEdge.h"
#include "common/Units.h"
#include "wallpaper/BackgroundPlacement.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(BackgroundPlacement, CoversTheScreenOutsideTheTaskbar) {
  const long w = 1024 * kTwipsPerPixel, h = 768 * kTwipsPerPixel;
  auto r = BackgroundPlacement(ParseTaskbarDescription("30*B"), w, h);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->left, 0);
  EXPECT_EQ(r->top, 0);
  EXPECT_EQ(r->width, 15360);
  EXPECT_EQ(r->height, 11070);
  r = BackgroundPlacement(ParseTaskbarDescription("60*L"), w, h);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->left, 900);
  EXPECT_EQ(r->width, w - 900);
  r = BackgroundPlacement(ParseTaskbarDescription("30*T"), w, h);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->top, 450);
  EXPECT_EQ(r->height, h - 450);
  r = BackgroundPlacement(ParseTaskbarDescription("60*R"), w, h);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->left, 0);
  EXPECT_EQ(r->width, w - 900);
  EXPECT_FALSE(BackgroundPlacement(ParseTaskbarDescription(""), w, h));
}

}  // namespace
}  // namespace velmora
