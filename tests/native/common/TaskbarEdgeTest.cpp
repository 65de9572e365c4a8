// Where the taskbar lies, from its rectangle, and the description of it.
#include "common/TaskbarEdge.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(DescribeTaskbar, TheFourEdgesOnA1024x768Screen) {
  EXPECT_EQ(DescribeTaskbar({-2, 738, 1026, 770}, 1024, 768), "32*B");
  EXPECT_EQ(DescribeTaskbar({0, 0, 1024, 30}, 1024, 768), "30*T");
  EXPECT_EQ(DescribeTaskbar({0, 0, 60, 768}, 1024, 768), "60*L");
  EXPECT_EQ(DescribeTaskbar({964, 0, 1024, 768}, 1024, 768), "60*R");
}

TEST(DescribeTaskbar, LaterTestsReplaceEarlierOnes) {
  // Wine's one-pixel band at the bottom is recognised as the bottom edge.
  EXPECT_EQ(DescribeTaskbar({0, 767, 1024, 768}, 1024, 768), "1*B");
  // A rectangle off the right edge passes the "R" test last.
  EXPECT_EQ(DescribeTaskbar({1030, 0, 1090, 768}, 1024, 768), "60*R");
  // A zeroed rectangle (failed query) passes the "L" test with thickness 0.
  EXPECT_EQ(DescribeTaskbar({0, 0, 0, 0}, 1024, 768), "0*L");
  // Covering the whole screen from the origin: bottom, then top.
  EXPECT_EQ(DescribeTaskbar({0, 0, 1024, 768}, 1024, 768), "768*T");
}

TEST(ParseTaskbarDescription, SplitsThicknessAndEdge) {
  TaskbarBand b = ParseTaskbarDescription("30*B");
  EXPECT_EQ(b.thickness, 30);
  EXPECT_EQ(b.edge, 'B');
  b = ParseTaskbarDescription("60*L");
  EXPECT_EQ(b.edge, 'L');
  EXPECT_EQ(ParseTaskbarDescription("").edge, 0);
  EXPECT_EQ(ParseTaskbarDescription("30*").edge, 0);
  EXPECT_EQ(ParseTaskbarDescription("30*X").edge, 0);
  EXPECT_EQ(ParseTaskbarDescription("x*B").edge, 0);
}

}  // namespace
}  // namespace velmora
