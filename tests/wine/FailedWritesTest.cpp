// Writes that cannot be made: each reports false, leaves the old file whole
// and leaves no temporary file behind. And the ones that can, where a stale
// temporary name or a link is in the way.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "common/FileSystem.h"
#include "common/FolderTree.h"
#include "common/WinText.h"
#include "settings/IniFile.h"
#include "settingsdialog/Skin.h"
#include "startup/ResourceFiles.h"
#include "tests/wine/TestSupport.h"

namespace velmora {
namespace {

std::set<std::string> Entries(const std::string& folder) {
  std::set<std::string> names;
  ForEachEntry(folder, [&](const FolderEntry& entry) { names.insert(entry.name); });
  return names;
}

const std::string kSettings = "[MAIN]\r\nWallInx=2\r\n[IMAGE]\r\nPath=a.png|images*\r\n";

// A list far longer than the room a test leaves on its disk.
std::string LongList(size_t bytes) {
  std::string list;
  while (list.size() < bytes)
    list += "a picture with a long name " + std::to_string(list.size()) + ".png|images*";
  return list;
}

class FailedWrites : public ::testing::Test {
 protected:
  test::ScratchDir dir;
  std::string ini = dir.File("Wallpaper.ini");
};

TEST_F(FailedWrites, AReadOnlySettingsFileIsNeitherReplacedNorMadeWritable) {
  test::WriteFileBytes(ini, kSettings);
  ASSERT_TRUE(::SetFileAttributesW(Wide(ini).c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(WriteIniString(ini, "MAIN", "WallInx", "1"));
  EXPECT_FALSE(ReplaceWholeFile(ini, "other"));
  EXPECT_EQ(test::ReadFileBytes(ini), kSettings);
  EXPECT_NE(::GetFileAttributesW(Wide(ini).c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_EQ(Entries(dir.path()), std::set<std::string>{"Wallpaper.ini"});
}

TEST_F(FailedWrites, AFolderThatCannotTakeTheFileGetsNothing) {
  EXPECT_FALSE(WriteIniString(dir.File("no such folder\\Wallpaper.ini"), "MAIN", "WallInx", "1"));
  // A folder where the file should be.
  ASSERT_TRUE(test::MakeFolder(ini));
  EXPECT_FALSE(ReplaceWholeFile(ini, kSettings));
  EXPECT_EQ(Entries(dir.path()), std::set<std::string>{"Wallpaper.ini"});
  EXPECT_TRUE(test::FileExists(ini + "\\."));
  EXPECT_EQ(RefreshResourceFiles(InstalledOrEmbeddedSource(dir.path()), dir.File("no such folder")),
            0);
  EXPECT_EQ(Entries(dir.path()), std::set<std::string>{"Wallpaper.ini"});
}

// A folder (or a file held open) named as the temporary file, left by
// someone: the write takes another name, and what was there stays.
TEST_F(FailedWrites, AStaleTemporaryNameDoesNotStopWrites) {
  test::WriteFileBytes(ini, kSettings);
  ASSERT_TRUE(test::MakeFolder(ini + ".new"));
  EXPECT_TRUE(WriteIniString(ini, "MAIN", "WallInx", "1"));
  EXPECT_EQ(GetIniString(ini, "MAIN", "WallInx", ""), "1");
  EXPECT_TRUE(WriteIniString(ini, "MAIN", "WallInx", "3"));
  EXPECT_EQ(GetIniString(ini, "MAIN", "WallInx", ""), "3");
  EXPECT_EQ(Entries(dir.path()), (std::set<std::string>{"Wallpaper.ini", "Wallpaper.ini.new"}));
  EXPECT_TRUE(test::FileExists(ini + ".new\\."));
  // The same for the program's pictures, one of them also locked.
  test::WriteFileBytes(dir.File("Shortcut.png.new"), "someone's");
  UniqueFile lock(::CreateFileW(Wide(dir.File("Shortcut.png.new")).c_str(), GENERIC_READ, 0,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(lock);
  ASSERT_TRUE(test::MakeFolder(dir.File("Blank.png.new")));
  EXPECT_EQ(RefreshResourceFiles(InstalledOrEmbeddedSource(dir.path()), dir.path()), 4);
  lock.reset();
  EXPECT_EQ(test::ReadFileBytes(dir.File("Shortcut.png.new")), "someone's");
  EXPECT_EQ(
      Entries(dir.path()),
      (std::set<std::string>{"Wallpaper.ini", "Wallpaper.ini.new", "Blank.png", "Blank.png.new",
                             "Imageviewer.png", "Shortcut.png", "Shortcut.png.new", "Blank.swf"}));
}

// A settings file linked from elsewhere (under Wine, a link of the Linux
// side): the write goes to the file linked to, and the link stays a link.
TEST_F(FailedWrites, ALinkedSettingsFileIsWrittenThrough) {
  ASSERT_TRUE(test::MakeFolder(dir.File("real")));
  const std::string real = dir.File("real\\Wallpaper.ini");
  test::WriteFileBytes(real, kSettings);
  ASSERT_TRUE(test::MakeUnixSymlink(real, ini)) << "a Linux symbolic link is made through Wine";
  ASSERT_EQ(test::ReadFileBytes(ini), kSettings);
  EXPECT_TRUE(WriteIniString(ini, "MAIN", "WallInx", "1"));
  EXPECT_EQ(GetIniString(real, "MAIN", "WallInx", ""), "1");
  // Still one file under two names: a change through either shows in both.
  test::WriteFileBytes(real, "[MAIN]\r\nWallInx=3\r\n");
  EXPECT_EQ(GetIniString(ini, "MAIN", "WallInx", ""), "3");
  EXPECT_TRUE(ReplaceWholeFile(ini, "[MAIN]\r\nWallInx=2\r\n"));
  EXPECT_EQ(test::ReadFileBytes(real), "[MAIN]\r\nWallInx=2\r\n");
  EXPECT_EQ(Entries(dir.path()), (std::set<std::string>{"Wallpaper.ini", "real"}));
  EXPECT_EQ(Entries(dir.File("real")), std::set<std::string>{"Wallpaper.ini"});
}

// Run by tests/wine/small-disk.sh file-size-limit (no mount needed): every
// file this process writes is cut off at the limit, so a long write fails
// part way, as it does on a full disk.
TEST_F(FailedWrites, DISABLED_AWriteCutShortLeavesNothingBehind) {
  const char* limit = std::getenv("VELMORA_FILE_SIZE_LIMIT");
  ASSERT_TRUE(limit) << "run through tests/wine/small-disk.sh file-size-limit";
  const size_t bytes = std::strtoull(limit, nullptr, 10);
  ASSERT_GT(bytes, 0u);
  test::WriteFileBytes(ini, kSettings);
  EXPECT_FALSE(WriteIniString(ini, "IMAGE", "Path", LongList(4 * bytes)));
  EXPECT_EQ(test::ReadFileBytes(ini), kSettings);
  // The skin's copy, at a size past the limit (three bytes a pixel).
  int side = 64;
  while (static_cast<size_t>(side) * side * 3 < 2 * bytes) side *= 2;
  EXPECT_TRUE(useSkins(side, side, dir.path()));
  EXPECT_EQ(Entries(dir.path()), std::set<std::string>{"Wallpaper.ini"});
  EXPECT_TRUE(WriteIniString(ini, "MAIN", "WallInx", "1"));  // a short write still goes
  EXPECT_EQ(GetIniString(ini, "MAIN", "WallInx", ""), "1");
}

// Fills the volume of `path` with one file, which is returned open.
UniqueFile FillVolume(const std::string& path, DWORD& lastError) {
  UniqueFile file(::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  const std::string chunk(64 * 1024, 'f');
  DWORD written = 0;
  lastError = ERROR_SUCCESS;
  while (
      file &&
      ::WriteFile(file.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &written, nullptr) &&
      written > 0) {
  }
  if (file) lastError = ::GetLastError();
  return file;
}

// Run by tests/wine/small-disk.sh tiny-volume: a volume of its own to fill.
TEST(FullVolume, DISABLED_WritesFailWholeAndLeaveNothingBehind) {
  if (const char* why = std::getenv("VELMORA_TINY_VOLUME_UNAVAILABLE"))
    GTEST_SKIP() << "no tiny volume to fill, so a full volume is not tried: " << why;
  const char* volume = std::getenv("VELMORA_TINY_VOLUME");
  ASSERT_TRUE(volume) << "run through tests/wine/small-disk.sh tiny-volume";
  std::string folder = std::string("Z:") + volume;
  for (char& c : folder)
    if (c == '/') c = '\\';
  const std::string ini = folder + "\\Wallpaper.ini";
  test::WriteFileBytes(ini, kSettings);
  DWORD error = 0;
  UniqueFile filler = FillVolume(folder + "\\filler", error);
  ASSERT_TRUE(filler);
  ASSERT_EQ(error, static_cast<DWORD>(ERROR_DISK_FULL));
  const std::set<std::string> only = {"Wallpaper.ini", "filler"};
  // At a start: the settings, the program's pictures, the skin's copy.
  EXPECT_FALSE(WriteIniString(ini, "IMAGE", "Path", LongList(100000)));
  EXPECT_EQ(test::ReadFileBytes(ini), kSettings);
  EXPECT_EQ(RefreshResourceFiles(InstalledOrEmbeddedSource(folder), folder), 0);
  EXPECT_TRUE(useSkins(430, 290, folder));
  EXPECT_EQ(Entries(folder), only);
  // Room for a short write, after a long one failed: its partial copy must
  // not keep that room.
  constexpr LONGLONG kRoom = 64 * 1024;
  LARGE_INTEGER back{};
  back.QuadPart = -kRoom;
  ASSERT_TRUE(::SetFilePointerEx(filler.get(), back, nullptr, FILE_END));
  ASSERT_TRUE(::SetEndOfFile(filler.get()));
  EXPECT_TRUE(useSkins(430, 290, folder));  // a copy of about 370 kB
  EXPECT_FALSE(WriteIniString(ini, "IMAGE", "Path", LongList(2 * kRoom)));
  EXPECT_TRUE(WriteIniString(ini, "MAIN", "WallInx", "1"));
  EXPECT_EQ(GetIniString(ini, "MAIN", "WallInx", ""), "1");
  EXPECT_EQ(Entries(folder), only);
}

}  // namespace
}  // namespace velmora
