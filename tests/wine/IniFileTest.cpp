#include "settings/IniFile.h"
#include "settings/MediaLists.h"
#include "common/DesktopHost.h"
#include "common/Handles.h"
#include "common/WinText.h"
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

// A list of `count` entries of the program's own pictures.
std::string PictureList(int count, int from = 0) {
  std::string list;
  for (int i = from; i < from + count; ++i) list += "slide" + std::to_string(i) + ".png|images*";
  return list;
}

TEST_F(IniFileTest, ValuesOfAnyLengthSurviveWhole) {
  test::WriteFileBytes(ini, "; my notes\r\n[MAIN]\r\nWallInx=2\r\n[IMAGE]\r\nPath=\r\nSpeedvalue=30\r\n");
  for (size_t length : {4999u, 32766u, 32767u, 32768u, 70893u, 100000u}) {
    std::string value = PictureList(8000);
    value.resize(length);
    ASSERT_TRUE(WriteIniString(ini, "IMAGE", "Path", value));
    const std::string read = GetIniString(ini, "IMAGE", "Path", "");
    EXPECT_EQ(read.size(), value.size()) << "length " << length;
    EXPECT_TRUE(read == value) << "length " << length;
  }
  const std::string list = PictureList(5000);
  ASSERT_GT(list.size(), 100000u);
  ASSERT_TRUE(WriteIniString(ini, "IMAGE", "Path", list));
  EXPECT_TRUE(GetIniString(ini, "IMAGE", "Path", "") == list);
  // Everything else is as it was.
  EXPECT_EQ(GetIniString(ini, "MAIN", "WallInx", "0"), "2");
  EXPECT_EQ(GetIniString(ini, "IMAGE", "Speedvalue", "0"), "30");
  const std::string text = test::ReadFileBytes(ini);
  EXPECT_EQ(text.rfind("; my notes\r\n[MAIN]\r\nWallInx=2\r\n[IMAGE]\r\nPath=slide0.png|images*", 0), 0u);
  EXPECT_EQ(text.substr(text.size() - 17), "\r\nSpeedvalue=30\r\n");
}

TEST_F(IniFileTest, AWriteChangesOneLineAndNothingElse) {
  const std::string before =
      "[FLASH]\nQuality = 1\n\n; the user's own remark\n[IMAGE]\nPath=a.png|images*\n"
      "Backcolor=16744576 \n[MAIN]\nWallInx=1";
  test::WriteFileBytes(ini, before);
  ASSERT_TRUE(WriteIniString(ini, "image", "path", "b.png|images*"));
  EXPECT_EQ(test::ReadFileBytes(ini),
            "[FLASH]\nQuality = 1\n\n; the user's own remark\n[IMAGE]\nPath=b.png|images*\n"
            "Backcolor=16744576 \n[MAIN]\nWallInx=1");
  ASSERT_TRUE(WriteIniString(ini, "MAIN", "Startup", "0"));
  EXPECT_EQ(test::ReadFileBytes(ini).substr(before.size() - 9), "WallInx=1\nStartup=0");
  EXPECT_FALSE(test::FileExists(ini + ".new"));
}

TEST_F(IniFileTest, AnUnchangedValueIsNotWritten) {
  ASSERT_TRUE(WriteIniString(ini, "MAIN", "WallInx", "2"));
  // Any real write would now fail: the file is read-only.
  ASSERT_TRUE(::SetFileAttributesW(Wide(ini).c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_TRUE(WriteIniString(ini, "MAIN", "WallInx", "2"));
  EXPECT_FALSE(WriteIniString(ini, "MAIN", "WallInx", "1"));
  EXPECT_EQ(GetIniString(ini, "MAIN", "WallInx", "0"), "2");
}

TEST_F(IniFileTest, ReadsWhatTheSystemReadsAndTheSystemReadsWhatWeWrite) {
  const std::string file =
      "[MAIN]\r\n WallInx = 2 \r\nQuoted=\"a b\"\r\nbare\r\nEmpty=\r\nDup=1\r\nDUP=2\r\n"
      "[image]\r\nPath=x|images*\r\n[MAIN]\r\nLater=3\r\n";
  test::WriteFileBytes(ini, file);
  const char* keys[][2] = {{"MAIN", "WallInx"}, {"main", "quoted"}, {"MAIN", "bare"},
                           {"MAIN", "Empty"},   {"MAIN", "dup"},    {"IMAGE", "Path"},
                           {"MAIN", "Later"},   {"FLASH", "Path"},  {"MAIN", "none"}};
  for (const auto& k : keys) {
    wchar_t system[256] = {};
    ::GetPrivateProfileStringW(Wide(k[0]).c_str(), Wide(k[1]).c_str(), L"<default>", system, 256,
                               Wide(ini).c_str());
    EXPECT_EQ(GetIniString(ini, k[0], k[1], "<default>"), Utf8(system)) << k[0] << "/" << k[1];
  }
  // Our writes, short and outside the ANSI code page, read back by the system.
  const std::string name = "\xE5\x86\x99\xE7\x9C\x9F.png|C:\\\xE5\x86\x99\xE7\x9C\x9F\\*";  // 写真
  ASSERT_TRUE(WriteIniString(ini, "IMAGE", "Path", name));
  ASSERT_TRUE(WriteIniString(ini, "FLASH", "Quality", "2"));
  EXPECT_EQ(test::ReadFileBytes(ini).substr(0, 2), "\xFF\xFE");  // now UTF-16
  wchar_t system[256] = {};
  ::GetPrivateProfileStringW(L"IMAGE", L"Path", L"", system, 256, Wide(ini).c_str());
  EXPECT_EQ(Utf8(system), name);
  ::GetPrivateProfileStringW(L"FLASH", L"Quality", L"", system, 256, Wide(ini).c_str());
  EXPECT_EQ(Utf8(system), "2");
  EXPECT_EQ(GetIniString(ini, "IMAGE", "Path", ""), name);
  EXPECT_EQ(GetIniString(ini, "MAIN", "WallInx", ""), "2");
}

TEST_F(IniFileTest, FailedWriteIsSilent) {
  // No message, no file: the write says it failed, and nothing reads back.
  const std::string nowhere = dir.File("no such folder\\Wallpaper.ini");
  EXPECT_FALSE(WriteIniString(nowhere, "MAIN", "WallInx", "1"));
  EXPECT_EQ(GetIniString(nowhere, "MAIN", "WallInx", "0"), "0");
  EXPECT_FALSE(test::FileExists(nowhere));
  // A file that cannot take the write (a folder in its place) keeps reading
  // as it did, and the write says it failed too.
  ASSERT_TRUE(test::MakeFolder(ini));
  EXPECT_FALSE(WriteIniString(ini, "MAIN", "WallInx", "1"));
  EXPECT_EQ(GetIniString(ini, "MAIN", "WallInx", "0"), "0");
}

// Sets the time a file was last written to one long ago (always the same),
// as a file the user saved long before looks.
void MakeOld(const std::string& path) {
  const UniqueFile file(::CreateFileW(Wide(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(file);
  const SYSTEMTIME longAgo{2020, 1, 3, 1, 12, 0, 0, 0};
  FILETIME old{};
  ASSERT_TRUE(::SystemTimeToFileTime(&longAgo, &old));
  ASSERT_TRUE(::SetFileTime(file.get(), nullptr, nullptr, &old));
}

TEST_F(IniFileTest, TheFileIsReadAgainOnlyWhenItChanged) {
  // What was written here is known: reading it needs only its stamp.
  ASSERT_TRUE(WriteIniString(ini, "MAIN", "WallInx", "2"));
  uint64_t reads = IniFileReads();
  for (int i = 0; i < 20; ++i) EXPECT_EQ(GetIniString(ini, "MAIN", "WallInx", "0"), "2");
  EXPECT_EQ(IniFileReads(), reads);
  // A file saved long ago is read once.
  test::WriteFileBytes(ini, "[MAIN]\r\nWallInx=1\r\n");
  MakeOld(ini);
  reads = IniFileReads();
  for (int i = 0; i < 20; ++i) EXPECT_EQ(GetIniString(ini, "MAIN", "WallInx", "0"), "1");
  EXPECT_EQ(IniFileReads(), reads + 1);
  // Another program's change is seen at once, in place or by a new file.
  test::WriteFileBytes(ini, "[MAIN]\r\nWallInx=13\r\n");
  EXPECT_EQ(GetIniString(ini, "MAIN", "WallInx", "0"), "13");
  // Its time cannot tell a second change of the same size in the same tick
  // of the file system's clock: a file written that recently is read again.
  test::WriteFileBytes(ini, "[MAIN]\r\nWallInx=14\r\n");
  EXPECT_EQ(GetIniString(ini, "MAIN", "WallInx", "0"), "14");
  test::WriteFileBytes(ini + ".other", "[MAIN]\r\nWallInx=3\r\n");
  ASSERT_TRUE(::MoveFileExW(Wide(ini + ".other").c_str(), Wide(ini).c_str(), MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(GetIniString(ini, "MAIN", "WallInx", "0"), "3");
  // Gone: the defaults.
  ASSERT_TRUE(::DeleteFileW(Wide(ini).c_str()));
  EXPECT_EQ(GetIniString(ini, "MAIN", "WallInx", "0"), "0");
}

TEST_F(IniFileTest, AWriteKeepsWhatAnotherProgramWroteMeanwhile) {
  test::WriteFileBytes(ini, "[MAIN]\r\nWallInx=1\r\nStartup=1\r\n");
  MakeOld(ini);
  EXPECT_EQ(GetIniString(ini, "MAIN", "WallInx", "0"), "1");
  // A change its stamp does not show (same size, its time put back): the
  // write reads the file first and keeps it.
  test::WriteFileBytes(ini, "[MAIN]\r\nWallInx=2\r\nStartup=1\r\n");
  MakeOld(ini);
  ASSERT_TRUE(WriteIniString(ini, "MAIN", "Startup", "0"));
  EXPECT_EQ(test::ReadFileBytes(ini), "[MAIN]\r\nWallInx=2\r\nStartup=0\r\n");
  EXPECT_EQ(GetIniString(ini, "MAIN", "WallInx", "0"), "2");
}

TEST_F(IniFileTest, SeveralKeysGoInOneWriteAndABadOneLeavesTheOthers) {
  const uint64_t reads = IniFileReads();
  EXPECT_FALSE(WriteIniValues(ini, {{"MAIN", "WallInx", "2"},
                                    {"IMAGE", "ImageBgfile", "two\r\nlines"},
                                    {"IMAGE", "Speedvalue", "40"}}));
  EXPECT_EQ(test::ReadFileBytes(ini), "[MAIN]\r\nWallInx=2\r\n[IMAGE]\r\nSpeedvalue=40\r\n");
  EXPECT_EQ(IniFileReads(), reads);  // there was no file to read
  EXPECT_TRUE(WriteIniValues(ini, {{"MAIN", "WallInx", "2"}, {"IMAGE", "Speedvalue", "40"}}));
  EXPECT_EQ(IniFileReads(), reads + 1);  // read before the write, which had nothing to do
}

class MediaListsTest : public IniFileTest {
 protected:
  void SetUp() override {
    test::MakeFolder(dir.File("Flashs"));
    test::MakeFolder(dir.File("Images"));
    test::MakeFolder(dir.File("Movies"));
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

TEST_F(MediaListsTest, AListWithNothingMissingIsNotWritten) {
  PruneMediaList(ini, "IMAGE", dir.path());
  EXPECT_FALSE(test::FileExists(ini));
  test::WriteFileBytes(dir.File("Images\\x.png"), "png");
  const std::string before = "[IMAGE]\r\nPath=x.png|images*\r\n";
  test::WriteFileBytes(ini, before);
  // A write would fail: the file is read-only.
  ASSERT_TRUE(::SetFileAttributesW(Wide(ini).c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(PruneMediaList(ini, "IMAGE", dir.path()), 0);
  EXPECT_EQ(test::ReadFileBytes(ini), before);
}

TEST_F(MediaListsTest, FilesThatExistAreNeverPruned) {
  // A folder path that takes the whole picture past the classic 260 limit.
  std::string deep = dir.path();
  while (deep.size() < 290) {
    deep += "\\a long folder name";
    ASSERT_TRUE(test::MakeFolder(deep));
  }
  const std::string longName = "holiday picture with a long name.png";
  test::WriteFileBytes(deep + "\\" + longName, "png");
  ASSERT_GT(deep.size() + 1 + longName.size(), 314u);
  const std::string japanese = "\xE5\x86\x99\xE7\x9C\x9F.png";  // 写真.png
  ASSERT_TRUE(test::MakeFolder(dir.File("\xE5\x86\x99\xE7\x9C\x9F")));
  test::WriteFileBytes(dir.File("\xE5\x86\x99\xE7\x9C\x9F\\") + japanese, "png");
  test::WriteFileBytes(dir.File("Images\\extra.png"), "png");
  const std::string kept = longName + "|" + deep + "\\*" + japanese + "|" +
                           dir.File("\xE5\x86\x99\xE7\x9C\x9F\\") + "*extra.png|images|extra*" +
                           "offline.png|Q:\\Pictures\\*";  // a drive that is not there now
  const std::string list = kept.substr(0, kept.find("offline")) + "gone.png|" + deep + "\\*" +
                           kept.substr(kept.find("offline")) + "gone.png|images*";
  ASSERT_TRUE(WriteIniString(ini, "IMAGE", "Path", list));
  EXPECT_EQ(PruneMediaList(ini, "IMAGE", dir.path()), 2);
  EXPECT_EQ(GetIniString(ini, "IMAGE", "Path", ""), kept);
}

TEST_F(MediaListsTest, FiveThousandEntries) {
  std::string expected;
  for (int i = 0; i < 5000; i += 2) {
    test::WriteFileBytes(dir.File("Images\\slide" + std::to_string(i) + ".png"), "png");
    expected += PictureList(1, i);
  }
  const std::string present = expected;
  ASSERT_TRUE(WriteIniString(ini, "IMAGE", "Path", present));
  EXPECT_EQ(PruneMediaList(ini, "IMAGE", dir.path()), 0);
  EXPECT_TRUE(GetIniString(ini, "IMAGE", "Path", "") == present);
  const std::string list = PictureList(5000);
  ASSERT_GT(list.size(), 100000u);
  ASSERT_TRUE(WriteIniString(ini, "IMAGE", "Path", list));
  EXPECT_EQ(PruneMediaList(ini, "IMAGE", dir.path()), 2500);
  EXPECT_TRUE(GetIniString(ini, "IMAGE", "Path", "") == expected);
}

// The four names of a list saved by Notepad (UTF-8 without a mark), each
// file there: a start keeps all four, and the file keeps its form.
TEST_F(MediaListsTest, Utf8WithoutMarkKeepsItsNamesThroughAStart) {
  const std::string pictures = dir.File("Pictures\\");
  ASSERT_TRUE(test::MakeFolder(dir.File("Pictures")));
  std::string list;
  for (const char* name : {"caf\xC3\xA9.png", "\xE6\x97\xA5\xE6\x9C\xAC.png", "na\xC3\xAFve.png",
                           "plain.png"}) {
    test::WriteFileBytes(pictures + name, "png");
    ASSERT_TRUE(test::FileExists(pictures + name)) << name;
    list += std::string(name) + "|" + pictures + "*";
  }
  const std::string before = "[MAIN]\r\nWallInx=2\r\n[IMAGE]\r\nPath=" + list + "\r\n";
  test::WriteFileBytes(ini, before);
  EXPECT_EQ(PruneMediaList(ini, "FLASH", dir.path()), 0);
  EXPECT_EQ(PruneMediaList(ini, "IMAGE", dir.path()), 0);
  EXPECT_EQ(GetIniString(ini, "IMAGE", "Path", ""), list);
  EXPECT_EQ(test::ReadFileBytes(ini), before);
  // A file that is gone goes; the rest of the file is byte for byte as it
  // was: no mark, no other form.
  test::WriteFileBytes(ini, "[MAIN]\r\nWallInx=2\r\n[IMAGE]\r\nPath=gone.png|" + pictures + "*" +
                                list + "\r\n");
  EXPECT_EQ(PruneMediaList(ini, "IMAGE", dir.path()), 1);
  EXPECT_EQ(test::ReadFileBytes(ini), before);
  // A write of another key keeps the form too.
  ASSERT_TRUE(WriteIniString(ini, "MAIN", "WallInx", "1"));
  EXPECT_EQ(test::ReadFileBytes(ini), "[MAIN]\r\nWallInx=1\r\n[IMAGE]\r\nPath=" + list + "\r\n");
}

TEST_F(MediaListsTest, AnAnsiFileKeepsItsNamesAndStaysAnsi) {
  ASSERT_EQ(::GetACP(), 1252u) << "the file's bytes below are in code page 1252";
  const std::string pictures = dir.File("Pictures\\");
  ASSERT_TRUE(test::MakeFolder(dir.File("Pictures")));
  test::WriteFileBytes(pictures + "caf\xC3\xA9.png", "png");  // café.png
  test::WriteFileBytes(pictures + "na\xC3\xAFve.png", "png");  // naïve.png
  const std::string kept = "caf\xE9.png|" + pictures + "*na\xEFve.png|" + pictures + "*";
  const std::string before = "[IMAGE]\r\nPath=" + kept + "\r\n";
  test::WriteFileBytes(ini, "[IMAGE]\r\nPath=gone\xE9.png|" + pictures + "*" + kept + "\r\n");
  EXPECT_EQ(PruneMediaList(ini, "IMAGE", dir.path()), 1);
  EXPECT_EQ(test::ReadFileBytes(ini), before);  // 0xE9 and 0xEF as they were
  EXPECT_EQ(GetIniString(ini, "IMAGE", "Path", ""),
            "caf\xC3\xA9.png|" + pictures + "*na\xC3\xAFve.png|" + pictures + "*");
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
  PruneMediaList(ini, "IMAGE", dir.path(), DispatchPendingMessages);
  EXPECT_TRUE(probeSawMessage);
  ::DestroyWindow(probe);
}

}  // namespace
}  // namespace velmora
