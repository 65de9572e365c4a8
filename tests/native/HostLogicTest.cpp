#include "common/PathText.h"
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

TEST(GetFileNamePart, TextAfterTheLastBackslash) {
  EXPECT_EQ(GetFileNamePart("C:\\a\\b.txt"), "b.txt");
  EXPECT_EQ(GetFileNamePart("b.txt"), "b.txt");
  EXPECT_EQ(GetFileNamePart("C:\\a\\"), "");
  EXPECT_EQ(GetFileNamePart(""), "");
}

TEST(IsReservedDeviceName, DeviceNamesWithAnyExtensionOrCase) {
  for (const char* name : {"aux.lnk", "AUX", "com1.lnk", "Com9.txt", "lpt1", "LPT3.log", "nul.txt.lnk",
                           "con", "prn.doc", "aux .lnk", "com1:", "CONOUT$", "conin$.x", "clock$",
                           "com0.x", "com\xC2\xB9.lnk", "LPT\xC2\xB3"})
    EXPECT_TRUE(IsReservedDeviceName(name)) << name;
  for (const char* name : {"auxiliary.lnk", "aux1.lnk", "com10.lnk", "com.lnk", "lpt", "xaux.txt",
                           ".aux", "a.aux", "connect.txt", "nul_", "com1x.txt", "", "com\xC2\xB4"})
    EXPECT_FALSE(IsReservedDeviceName(name)) << name;
}

TEST(PathAndParents, UpToTheRootInEveryForm) {
  using Chain = std::vector<std::string>;
  EXPECT_EQ(PathAndParents("C:\\Users\\me\\Desktop"),
            (Chain{"C:\\Users\\me\\Desktop", "C:\\Users\\me", "C:\\Users", "C:\\"}));
  EXPECT_EQ(PathAndParents("C:\\Users\\"), (Chain{"C:\\Users", "C:\\"}));
  EXPECT_EQ(PathAndParents("C:\\"), Chain{"C:\\"});
  EXPECT_EQ(PathAndParents("D:"), Chain{"D:\\"});
  EXPECT_EQ(PathAndParents("\\\\?\\Z:\\tmp\\home"), (Chain{"Z:\\tmp\\home", "Z:\\tmp", "Z:\\"}));
  EXPECT_EQ(PathAndParents("\\\\srv\\share\\a\\b"),
            (Chain{"\\\\srv\\share\\a\\b", "\\\\srv\\share\\a", "\\\\srv\\share\\"}));
  EXPECT_EQ(PathAndParents("\\\\?\\UNC\\srv\\share\\a"), (Chain{"\\\\srv\\share\\a", "\\\\srv\\share\\"}));
  EXPECT_EQ(PathAndParents("\\\\srv\\share"), Chain{"\\\\srv\\share\\"});
  EXPECT_TRUE(PathAndParents("relative\\path").empty());
  EXPECT_TRUE(PathAndParents("").empty());
  EXPECT_TRUE(PathAndParents("\\\\srv").empty());
}

}  // namespace
}  // namespace velmora

#include "wallpaper/BackgroundPlacement.h"

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
