// The fixtures of the tests of the running desktop windows: a scratch
// application folder with a session started on it, and a desktop of the
// test's own (the prefix's desktop folders emptied, the program's registry
// values gone, the program's pictures in the folder). Also what those tests
// read from a composition.
#pragma once

#include "iconlayer/CDIB.h"
#include "iconlayer/FrmShortcut.h"
#include "tests/wine/TestSupport.h"
#include "settings/IniFile.h"
#include "settings/Registry.h"
#include "startup/DesktopSession.h"
#include "startup/ResourceFiles.h"
#include "common/DesktopHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace velmora::test {

// A pixel of a composition, premultiplied 0xAARRGGBB.
uint32_t At(const CDIB& s, int x, int y);

// How many pixels of a rectangle satisfy a condition.
template <typename Test>
int Count(const CDIB& s, int x0, int y0, int w, int h, Test test) {
  int n = 0;
  for (int y = std::max(0, y0); y < std::min(s.Height(), y0 + h); ++y)
    for (int x = std::max(0, x0); x < std::min(s.Width(), x0 + w); ++x) n += test(At(s, x, y));
  return n;
}

bool Opaque(uint32_t p);
bool HighlightBlue(uint32_t p);
std::string Lower(std::string s);
void EmptyFolder(const std::string& dir);
bool MakeShortcut(const std::string& lnk, const std::string& target);

// The captions of a menu's entries, "&" left out.
std::vector<std::wstring> Captions(HMENU menu);
// The command id of the first entry whose caption (without "&") is `caption`.
UINT IdOf(HMENU menu, const std::wstring& caption);

// A drop as the system hands it over: a DROPFILES block with the wide
// paths, each ended by a zero and the list by another. The layer finishes
// the drop, which frees the block.
HDROP MakeDrop(const std::vector<std::string>& paths);

// What a shortcut file holds, read as the shell reads it.
struct ShortcutFacts {
  std::string target, workingFolder;
};
ShortcutFacts ReadShortcut(const std::string& link);

// A scratch application folder with the program's settings file, and a
// desktop session started on it: what the tests of the running windows
// share.
class ProgramFolderTest : public ::testing::Test {
 protected:
  // The session ended (its window's end asks the loop to quit; these tests
  // have none, so the messages left are taken away).
  void TearDown() override {
    session.reset();
    bg = nullptr;
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  // One key of the settings file, as a user's editor would leave it.
  void Set(const char* section, const char* key, const std::string& value) {
    WriteIniString(ini, section, key, value);
  }
  // A session on the folder; false when its start ended the program.
  bool StartSession() {
    session = std::make_unique<DesktopSession>(app.path());
    bg = &session->Background();
    return session->Start();
  }

  ScratchDir app;
  std::string ini = app.File("Wallpaper.ini");
  std::unique_ptr<DesktopSession> session;
  FrmShortcutBG* bg = nullptr;
};

class ScratchDesktopTest : public ProgramFolderTest {
 protected:
  void SetUp() override {
    ::CoInitialize(nullptr);
    RefreshResourceFiles(InstalledOrEmbeddedSource(app.path()), app.path());
    own = GetSpecialDir(3);
    common = GetSpecialDir(19);
    ::SHCreateDirectoryExA(nullptr, own.c_str(), nullptr);
    ::SHCreateDirectoryExA(nullptr, common.c_str(), nullptr);
    EmptyFolder(own);
    EmptyFolder(common);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kProgramRegKey);
  }
  ~ScratchDesktopTest() override {
    ::RegDeleteTreeA(HKEY_CLASSES_ROOT, ".velmoratool");
    ::RegDeleteTreeA(HKEY_CLASSES_ROOT, "VelmoraTool");
  }
  void TearDown() override {
    ProgramFolderTest::TearDown();
    EmptyFolder(own);
    EmptyFolder(common);
    ::CoUninitialize();
  }
  FrmShortcut& Start() {
    EXPECT_TRUE(StartSession());
    FrmShortcut* layer = session->IconLayer();
    EXPECT_NE(layer, nullptr);
    layer->LoadIcons(false);  // the load's composition again, now kept
    return *layer;
  }
  // The desktop items as the session holds them, and how often they were read.
  const DesktopItems& Items() const { return session->Items(); }
  int Rebuilds() const { return session->Inventory().Rebuilds(); }
  int IndexOf(const std::string& name) const {
    const auto& names = Items().arrays.names;
    for (size_t i = 0; i < names.size(); ++i)
      if (names[i] == name) return static_cast<int>(i);
    return -1;
  }

  std::string own, common;
};

// A scratch desktop that takes drops: a drop is posted to the layer as the
// system posts it, and the drop menu answered through its test seam.
class DropDesktopTest : public ScratchDesktopTest {
 protected:
  FrmShortcut& Layer() { return *session->IconLayer(); }
  // A drop of `paths` answered with the drop menu's entry `caption`.
  void Drop(const std::vector<std::string>& paths, const std::wstring& caption);
  // The drop menu answered with its entry `caption`.
  void Answer(const std::wstring& caption);
  // Problems told to `problems` instead of in a message box.
  void CollectProblems() {
    session->SetProblemReporter([this](const std::string& text) { problems.push_back(text); });
  }

  int dropMenus = 0;
  std::vector<std::wstring> dropCaptions;
  std::vector<std::string> problems;
  ScratchDir elsewhere;  // where dropped files come from
};

}  // namespace velmora::test
