#include "common/Handles.h"
#include "resources/ResourceIds.h"
#include "common/EmbeddedResource.h"
#include "startup/ResourceFiles.h"
#include "tests/wine/TestSupport.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

class ResourceFilesTest : public ::testing::Test {
 protected:
  test::ScratchDir source, app;
};

TEST_F(ResourceFilesTest, EmbeddedCopiesAreWrittenWhenNothingIsInstalled) {
  EXPECT_EQ(RefreshResourceFiles(InstalledOrEmbeddedSource(source.path()), app.path()), 4);
  EXPECT_EQ(test::ReadFileBytes(app.File("Blank.png")).substr(1, 3), "PNG");
  EXPECT_EQ(test::ReadFileBytes(app.File("Imageviewer.png")).substr(1, 3), "PNG");
  EXPECT_EQ(test::ReadFileBytes(app.File("Shortcut.png")).substr(1, 3), "PNG");
  EXPECT_EQ(test::ReadFileBytes(app.File("Blank.swf")).substr(0, 3), "FWS");
  EXPECT_EQ(test::ReadFileBytes(app.File("Blank.swf")), *EmbeddedResource(IDR_BLANK_SWF));
}

TEST_F(ResourceFilesTest, InstalledSourcesWinAndOverwrite) {
  test::WriteFileBytes(source.File("0012.bak"), "installed frame");
  test::WriteFileBytes(app.File("Imageviewer.png"), "old frame, longer than the new one");
  RefreshResourceFiles(InstalledOrEmbeddedSource(source.path()), app.path());
  EXPECT_EQ(test::ReadFileBytes(app.File("Imageviewer.png")), "installed frame");
  EXPECT_EQ(test::ReadFileBytes(app.File("Blank.swf")), *EmbeddedResource(IDR_BLANK_SWF));
}

TEST_F(ResourceFilesTest, MissingSourceIsSkipped) {
  test::WriteFileBytes(source.File("0011.bak"), "blank");
  test::WriteFileBytes(source.File("0013.bak"), "arrow");
  test::WriteFileBytes(app.File("Imageviewer.png"), "kept");
  const std::string dir = source.path();
  const ResourceSource onlyInstalled = [dir](const ResourceFile& f) -> std::optional<std::string> {
    const std::string bytes = test::ReadFileBytes(dir + f.sourceName);
    if (bytes == "<missing>") return std::nullopt;
    return bytes;
  };
  EXPECT_EQ(RefreshResourceFiles(onlyInstalled, app.path()), 2);
  EXPECT_EQ(test::ReadFileBytes(app.File("Blank.png")), "blank");
  EXPECT_EQ(test::ReadFileBytes(app.File("Imageviewer.png")), "kept");
  EXPECT_EQ(test::ReadFileBytes(app.File("Shortcut.png")), "arrow");
  EXPECT_FALSE(test::FileExists(app.File("Blank.swf")));
}

TEST_F(ResourceFilesTest, LockedDestinationIsSkippedAndLeftIntact) {
  test::WriteFileBytes(app.File("Shortcut.png"), "in use");
  UniqueFile lock(::CreateFileA(app.File("Shortcut.png").c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(lock);
  EXPECT_EQ(RefreshResourceFiles(InstalledOrEmbeddedSource(source.path()), app.path()), 3);
  EXPECT_TRUE(test::FileExists(app.File("Blank.png")));
  EXPECT_TRUE(test::FileExists(app.File("Blank.swf")));
  EXPECT_FALSE(test::FileExists(app.File("Shortcut.png.new")));
  lock.reset();
  EXPECT_EQ(test::ReadFileBytes(app.File("Shortcut.png")), "in use");
}

TEST_F(ResourceFilesTest, UnwritableFolderIsSkipped) {
  EXPECT_EQ(RefreshResourceFiles(InstalledOrEmbeddedSource(source.path()),
                                 app.File("missing folder")),
            0);
}

}  // namespace
}  // namespace velmora
