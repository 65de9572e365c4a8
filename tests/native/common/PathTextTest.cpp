// Path text: the name part, the names of devices, a path and its parents.
#include "common/PathText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora {
namespace {

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
