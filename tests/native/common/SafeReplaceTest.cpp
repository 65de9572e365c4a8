// Replacing a file whole over a file system held in memory, which behaves
// as the system's does where it matters: an open file can be neither removed
// nor moved, a full disk takes part of a write and refuses the rest, a
// read-only file or a folder cannot be written over.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <vector>

#include "common/SafeReplace.h"

namespace velmora {
namespace {

class MemoryDisk : public ReplaceSteps {
 public:
  struct Node {
    bool folder = false;
    bool readOnly = false;
    std::string bytes;
    int open = 0;
  };
  std::map<std::string, Node> nodes;
  std::map<std::string, std::string> links;  // a link's path and its target's
  size_t capacity = SIZE_MAX;                // bytes the disk holds
  bool flushFails = false, moveFails = false;
  std::vector<std::string> created;  // every file made, in order

  void Folder(const std::string& path) { nodes[path].folder = true; }
  void File(const std::string& path, const std::string& bytes, bool readOnly = false) {
    nodes[path].bytes = bytes;
    nodes[path].readOnly = readOnly;
  }
  std::string Bytes(const std::string& path) const {
    const auto it = nodes.find(path);
    return it == nodes.end() ? "<missing>" : it->second.bytes;
  }
  size_t Used() const {
    size_t used = 0;
    for (const auto& [path, node] : nodes) used += node.bytes.size();
    return used;
  }
  std::vector<std::string> Paths() const {
    std::vector<std::string> paths;
    for (const auto& [path, node] : nodes) paths.push_back(path);
    return paths;
  }

  std::optional<std::string> Target(const std::string& path) override {
    const auto link = links.find(path);
    if (link == links.end()) return path;
    if (!nodes.count(link->second)) return std::nullopt;
    return link->second;
  }
  Kind KindOf(const std::string& path) override {
    const auto it = nodes.find(path);
    if (it == nodes.end()) return Kind::kNothing;
    if (it->second.folder) return Kind::kFolder;
    return it->second.readOnly ? Kind::kReadOnlyFile : Kind::kFile;
  }
  std::unique_ptr<Output> Create(const std::string& path) override {
    const auto parent = nodes.find(path.substr(0, path.rfind('\\')));
    if (parent == nodes.end() || !parent->second.folder) return nullptr;
    const auto it = nodes.find(path);
    if (it != nodes.end() && (it->second.folder || it->second.readOnly || it->second.open > 0))
      return nullptr;
    Node& node = nodes[path];
    node.bytes.clear();
    created.push_back(path);
    return std::make_unique<OpenFile>(*this, path);
  }
  bool Remove(const std::string& path) override {
    const auto it = nodes.find(path);
    if (it == nodes.end() || it->second.folder || it->second.open > 0) return false;
    nodes.erase(it);
    return true;
  }
  bool Move(const std::string& from, const std::string& to) override {
    const auto source = nodes.find(from);
    if (moveFails || source == nodes.end() || source->second.open > 0) return false;
    const auto target = nodes.find(to);
    if (target != nodes.end() && (target->second.folder || target->second.readOnly)) return false;
    const Node moved = source->second;
    nodes.erase(source);
    nodes[to] = moved;
    return true;
  }

 private:
  class OpenFile : public Output {
   public:
    OpenFile(MemoryDisk& disk, std::string path) : disk_(disk), path_(std::move(path)) {
      ++disk_.nodes[path_].open;
    }
    ~OpenFile() override { --disk_.nodes[path_].open; }
    bool Write(std::string_view bytes) override {
      const size_t room = disk_.capacity - std::min(disk_.capacity, disk_.Used());
      disk_.nodes[path_].bytes += bytes.substr(0, room);
      return bytes.size() <= room;
    }
    bool Flush() override { return !disk_.flushFails; }

   private:
    MemoryDisk& disk_;
    std::string path_;
  };
};

class SafeReplace : public ::testing::Test {
 protected:
  void SetUp() override {
    disk.Folder("C:\\App");
    disk.File(ini, "old settings");
  }
  bool Replace(const std::string& bytes) { return ReplaceWholeFile(disk, ini, bytes); }
  // The folder holds the settings file and nothing else.
  void ExpectOnlyTheFile(const std::string& bytes) {
    EXPECT_EQ(disk.Bytes(ini), bytes);
    EXPECT_EQ(disk.Paths(), (std::vector<std::string>{"C:\\App", ini}));
  }
  MemoryDisk disk;
  const std::string ini = "C:\\App\\Wallpaper.ini";
};

TEST_F(SafeReplace, ReplacesTheFileThroughATemporaryOne) {
  EXPECT_TRUE(Replace("new settings"));
  ExpectOnlyTheFile("new settings");
  EXPECT_EQ(disk.created, (std::vector<std::string>{ini + ".new"}));
  disk.nodes.erase(ini);  // a file that is not there yet is made
  EXPECT_TRUE(Replace("first"));
  ExpectOnlyTheFile("first");
}

TEST_F(SafeReplace, AFailedWriteLeavesTheOldFileAndNoTemporaryOne) {
  const std::string big(1000, 'x');
  disk.capacity = disk.Used() + 100;  // the disk takes part of it, then is full
  EXPECT_FALSE(Replace(big));
  ExpectOnlyTheFile("old settings");
  // The partial copy went: its space is there for a write that fits.
  EXPECT_TRUE(Replace(std::string(50, 'y')));
  ExpectOnlyTheFile(std::string(50, 'y'));
  disk.capacity = SIZE_MAX;
  disk.flushFails = true;
  EXPECT_FALSE(Replace(big));
  ExpectOnlyTheFile(std::string(50, 'y'));
  disk.flushFails = false;
  disk.moveFails = true;
  EXPECT_FALSE(Replace(big));
  ExpectOnlyTheFile(std::string(50, 'y'));
}

TEST_F(SafeReplace, AReadOnlyFileOrAFolderInItsPlaceIsNotWrittenOver) {
  disk.File(ini, "the user's own", true);
  EXPECT_FALSE(Replace("new settings"));
  ExpectOnlyTheFile("the user's own");
  EXPECT_TRUE(disk.nodes[ini].readOnly);
  EXPECT_TRUE(disk.created.empty());
  disk.nodes.erase(ini);
  disk.Folder(ini);
  EXPECT_FALSE(Replace("new settings"));
  EXPECT_TRUE(disk.nodes[ini].folder);
  EXPECT_TRUE(disk.created.empty());
}

TEST_F(SafeReplace, ATemporaryNameInTheWayIsPassedOver) {
  disk.Folder(ini + ".new");           // left by someone
  disk.File(ini + ".new1", "locked");  // held open by another program
  ++disk.nodes[ini + ".new1"].open;
  EXPECT_TRUE(Replace("new settings"));
  EXPECT_EQ(disk.Bytes(ini), "new settings");
  EXPECT_EQ(disk.created, (std::vector<std::string>{ini + ".new2"}));
  EXPECT_TRUE(disk.nodes[ini + ".new"].folder);
  EXPECT_EQ(disk.Bytes(ini + ".new1"), "locked");
  EXPECT_EQ(disk.nodes.count(ini + ".new2"), 0u);
  // A stale temporary file of a past run is used and so goes.
  disk.nodes.erase(ini + ".new1");
  disk.nodes.erase(ini + ".new");
  disk.File(ini + ".new", "stale");
  EXPECT_TRUE(Replace("newer"));
  ExpectOnlyTheFile("newer");
  // Every name taken: no write, and nothing made.
  for (int i = 0; i < kTemporaryNameTries; ++i) disk.Folder(TemporaryName(ini, i));
  disk.created.clear();
  EXPECT_FALSE(Replace("newest"));
  EXPECT_EQ(disk.Bytes(ini), "newer");
  EXPECT_TRUE(disk.created.empty());
}

TEST_F(SafeReplace, AFolderThatCannotTakeTheFileMakesNothing) {
  EXPECT_FALSE(ReplaceWholeFile(disk, "C:\\Gone\\Wallpaper.ini", "x"));
  EXPECT_FALSE(ReplaceWholeFile(disk, "C:\\App\\Wallpaper.ini\\inside", "x"));
  ExpectOnlyTheFile("old settings");
  EXPECT_TRUE(disk.created.empty());
}

TEST_F(SafeReplace, ALinkIsWrittenThroughAndStaysALink) {
  const std::string link = "C:\\App\\Linked.ini", target = "D:\\Real\\Wallpaper.ini";
  disk.Folder("D:\\Real");
  disk.File(target, "real");
  disk.links[link] = target;
  EXPECT_TRUE(ReplaceWholeFile(disk, link, "through the link"));
  EXPECT_EQ(disk.Bytes(target), "through the link");
  EXPECT_EQ(disk.links.at(link), target);
  EXPECT_EQ(disk.nodes.count(link), 0u);
  EXPECT_EQ(disk.created, (std::vector<std::string>{target + ".new"}));  // beside the target
  // A link whose target is gone is not turned into a file.
  disk.nodes.erase(target);
  EXPECT_FALSE(ReplaceWholeFile(disk, link, "x"));
  EXPECT_EQ(disk.nodes.count(link), 0u);
  EXPECT_EQ(disk.nodes.count(target), 0u);
}

}  // namespace
}  // namespace velmora
