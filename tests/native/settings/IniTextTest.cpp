// Reading and changing one key of a settings file's text, with everything
// else left as it was.
#include "settings/IniText.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(IniText, ReadsAsTheProfileFunctionsDo) {
  const IniText ini(
      "; a comment\r\n"
      "[MAIN]\r\n"
      "  WallInx = 2  \r\n"
      "Quoted=\"  spaced  \"\r\n"
      "Single='x'\r\n"
      "Half=\"open\r\n"
      "NoEquals\r\n"
      "Empty=\r\n"
      "Twice=first\r\n"
      "twice=second\r\n"
      "[Image]\r\n"
      "Path=a|b*=c\r\n"
      "[main]\r\n"
      "Later=hidden by the first MAIN\r\n");
  EXPECT_EQ(ini.Get("main", "wallinx"), "2");
  EXPECT_EQ(ini.Get("MAIN", "Quoted"), "  spaced  ");
  EXPECT_EQ(ini.Get("MAIN", "Single"), "x");
  EXPECT_EQ(ini.Get("MAIN", "Half"), "\"open");
  EXPECT_EQ(ini.Get("MAIN", "NoEquals"), std::nullopt);
  EXPECT_EQ(ini.Get("MAIN", "Empty"), "");
  EXPECT_EQ(ini.Get("MAIN", "Twice"), "first");
  EXPECT_EQ(ini.Get("IMAGE", "Path"), "a|b*=c");
  EXPECT_EQ(ini.Get("MAIN", "Later"), std::nullopt);
  EXPECT_EQ(ini.Get("MAIN", "Path"), std::nullopt);
  EXPECT_EQ(ini.Get("FLASH", "Path"), std::nullopt);
  EXPECT_EQ(IniText("").Get("MAIN", "WallInx"), std::nullopt);
  // Keys before any section belong to none.
  EXPECT_EQ(IniText("WallInx=1\n[MAIN]\n").Get("MAIN", "WallInx"), std::nullopt);
}

TEST(IniText, ChangesOnlyTheOneLine) {
  const std::string before =
      "; keep me\r\n[MAIN]\r\nWallInx = 1 ; not a comment\r\nIcondisp=1\r\n\r\n"
      "[IMAGE]\r\nPath=x|images*\r\n\r\n\r\n[FLASH]\r\nQuality=1";
  IniText ini(before);
  ASSERT_TRUE(ini.Set("main", "WALLINX", "2"));
  EXPECT_EQ(ini.Text(), "; keep me\r\n[MAIN]\r\nWallInx = 2\r\nIcondisp=1\r\n\r\n"
                        "[IMAGE]\r\nPath=x|images*\r\n\r\n\r\n[FLASH]\r\nQuality=1");
  // A new key goes after the last line of its section, before blank lines.
  ASSERT_TRUE(ini.Set("IMAGE", "Speedvalue", "30"));
  EXPECT_EQ(ini.Text(), "; keep me\r\n[MAIN]\r\nWallInx = 2\r\nIcondisp=1\r\n\r\n"
                        "[IMAGE]\r\nPath=x|images*\r\nSpeedvalue=30\r\n\r\n\r\n[FLASH]\r\nQuality=1");
  // At the end of a file without a final line break.
  ASSERT_TRUE(ini.Set("FLASH", "Moviesize", "2"));
  EXPECT_EQ(ini.Text().substr(ini.Text().size() - 31), "[FLASH]\r\nQuality=1\r\nMoviesize=2");
  // A new section at the end; a line without "=" gains one.
  IniText lf("[A]\nflag\n");
  ASSERT_TRUE(lf.Set("a", "FLAG", "1"));
  ASSERT_TRUE(lf.Set("B", "k", "v"));
  EXPECT_EQ(lf.Text(), "[A]\nflag=1\n[B]\nk=v\n");
  IniText empty;
  ASSERT_TRUE(empty.Set("MAIN", "WallInx", "1"));
  EXPECT_EQ(empty.Text(), "[MAIN]\r\nWallInx=1\r\n");
}

TEST(IniText, EveryValueReadsBackAsWritten) {
  const std::string values[] = {"", " lead", "trail ", "\"quoted\"", "'q'", "\"", "a=b", "; x",
                                "[not a section]", std::string(100000, 'v'), "名前|C:\\写真\\*"};
  IniText ini("[MAIN]\r\nOther=1\r\n");
  for (const std::string& v : values) {
    ASSERT_TRUE(ini.Set("MAIN", "Key", v)) << v;
    EXPECT_EQ(ini.Get("MAIN", "Key"), v);
    EXPECT_EQ(ini.Get("MAIN", "Other"), "1");
  }
  // Values and names that would become other lines are refused.
  for (const char* bad : {"a\r\nWallInx=3", "a\nb", "a\rb"}) {
    EXPECT_FALSE(ini.Set("MAIN", "Key", bad));
    EXPECT_FALSE(ini.Set("MAIN", bad, "1"));
  }
  EXPECT_FALSE(ini.Set("MAIN", "k=v", "1"));
  EXPECT_FALSE(ini.Set("MA]IN", "k", "1"));
  EXPECT_FALSE(ini.Set("MAIN", "", "1"));
  EXPECT_EQ(ini.Get("MAIN", "Key"), "名前|C:\\写真\\*");
}

}  // namespace
}  // namespace velmora
