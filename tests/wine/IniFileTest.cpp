#include "settings/IniFile.h"
#include "settings/MediaLists.h"
#include "tests/wine/TestSupport.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

class IniFileTest : public ::testing::Test {
 protected:
  test::ScratchDir dir;
  std::string ini = dir.File("Wallpaper.ini");
};

TEST_F(IniFileTest, AbsentFileOrKeyGivesTheDefault) {
  EXPECT_EQ(GetIniString(ini, "MAIN", "WallInx", "0"), "0");
  WriteIniString(ini, "MAIN", "Icondisp", "1");
  EXPECT_EQ(GetIniString(ini, "MAIN", "Imageviewer", "1"), "1");
  EXPECT_EQ(GetIniString(ini, "IMAGE", "Icondisp", "none"), "none");
}

TEST_F(IniFileTest, SectionsAndKeysMatchWithoutRegardToCase) {
  WriteIniString(ini, "main", "WallInx", "2");
  EXPECT_EQ(GetIniString(ini, "MAIN", "wallinx", "0"), "2");
  WriteIniString(ini, "MAIN", "WALLINX", "1");
  EXPECT_EQ(GetIniString(ini, "Main", "WallInx", "0"), "1");
  // One section, one key: the second write replaced the first.
  const std::string text = test::ReadFileBytes(ini);
  EXPECT_EQ(text.find("2"), std::string::npos) << text;
}

TEST_F(IniFileTest, PresentEmptyKeyIsEmptyNotTheDefault) {
  test::WriteFileBytes(ini, "[IMAGE]\r\nSpeedvalue=\r\n");
  EXPECT_EQ(GetIniString(ini, "IMAGE", "Speedvalue", "30"), "");
  EXPECT_EQ(GetIniString(ini, "IMAGE", "Intervalvalue", "5000"), "5000");
}

TEST_F(IniFileTest, LongValuesAreReadWhole) {
  // Wine stores an empty value from 32767 characters on; stay below that.
  for (size_t length : {4998u, 4999u, 5000u, 5001u, 20000u, 32766u}) {
    std::string value;
    while (value.size() < length) value += "p" + std::to_string(value.size()) + ".jpg|images*";
    value.resize(length);
    WriteIniString(ini, "IMAGE", "Path", value);
    const std::string read = GetIniString(ini, "IMAGE", "Path", "");
    EXPECT_EQ(read.size(), value.size()) << "length " << length;
    EXPECT_TRUE(read == value) << "length " << length;
  }
}

TEST_F(IniFileTest, FailedWriteIsSilent) {
  const std::string nowhere = dir.File("no such folder\\Wallpaper.ini");
  WriteIniString(nowhere, "MAIN", "WallInx", "1");
  EXPECT_EQ(GetIniString(nowhere, "MAIN", "WallInx", "0"), "0");
}

class MediaListsTest : public IniFileTest {
 protected:
  void SetUp() override {
    ::CreateDirectoryA(dir.File("Flashs").c_str(), nullptr);
    ::CreateDirectoryA(dir.File("Images").c_str(), nullptr);
    ::CreateDirectoryA(dir.File("Movies").c_str(), nullptr);
  }
};

TEST_F(MediaListsTest, PruningRemovesExactlyTheMissingEntries) {
  test::WriteFileBytes(dir.File("Flashs\\a.swf"), "FWS");
  test::WriteFileBytes(dir.File("Movies\\c.swf"), "FWS");
  ::CreateDirectoryA(dir.File("Flashs\\folder.swf").c_str(), nullptr);  // not a normal file
  const std::string movies = dir.File("Movies\\");
  WriteIniString(ini, "FLASH", "Path",
                 "ba.swf|flashs*a.swf|flashs*c.swf|" + movies + "*folder.swf|flashs*gone.swf|" +
                     movies + "*");
  PruneMediaList(ini, "FLASH", dir.path());
  EXPECT_EQ(GetIniString(ini, "FLASH", "Path", "?"), "a.swf|flashs*c.swf|" + movies + "*");
}

TEST_F(MediaListsTest, ListIsWrittenBackEvenWhenNothingIsRemoved) {
  PruneMediaList(ini, "IMAGE", dir.path());
  EXPECT_EQ(GetIniString(ini, "IMAGE", "Path", "absent"), "");
}

TEST_F(MediaListsTest, LongListKeepsEveryPresentEntry) {
  std::string list, expected;
  for (int i = 0; i < 600; ++i) {
    const std::string entry = "slide" + std::to_string(i) + ".png|images*";
    if (i % 100 != 7) {
      test::WriteFileBytes(dir.File("Images\\slide" + std::to_string(i) + ".png"), "png");
      expected += entry;
    }
    list += entry;
  }
  ASSERT_GT(list.size(), 9000u);
  WriteIniString(ini, "IMAGE", "Path", list);
  PruneMediaList(ini, "IMAGE", dir.path());
  EXPECT_EQ(GetIniString(ini, "IMAGE", "Path", ""), expected);
}

bool probeSawMessage = false;
LRESULT CALLBACK ProbeProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_APP) probeSawMessage = true;
  return ::DefWindowProcA(w, m, wp, lp);
}

TEST_F(MediaListsTest, PruningDispatchesWindowMessages) {
  test::WriteFileBytes(dir.File("Images\\x.png"), "png");
  WriteIniString(ini, "IMAGE", "Path", "x.png|images*");
  probeSawMessage = false;
  WNDCLASSA wc{};
  wc.lpfnWndProc = ProbeProc;
  wc.lpszClassName = "VelmoraPruneProbe";
  wc.hInstance = ::GetModuleHandleA(nullptr);
  ::RegisterClassA(&wc);
  const HWND probe = ::CreateWindowA("VelmoraPruneProbe", "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                     nullptr, wc.hInstance, nullptr);
  ASSERT_TRUE(probe);
  ::PostMessageA(probe, WM_APP, 0, 0);
  PruneMediaList(ini, "IMAGE", dir.path());
  EXPECT_TRUE(probeSawMessage);
  ::DestroyWindow(probe);
}

}  // namespace
}  // namespace velmora
