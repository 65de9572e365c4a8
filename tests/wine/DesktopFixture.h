// A desktop of the test's own for tests of the running desktop windows: the
// prefix's desktop folders emptied, the program's registry values gone, a
// scratch application folder with the program's pictures, and a session
// started on it. Also what those tests read from a composition.
#pragma once

#include "iconlayer/CDIB.h"
#include "iconlayer/FrmShortcut.h"
#include "tests/wine/TestSupport.h"
#include "settings/Registry.h"
#include "startup/DesktopSession.h"
#include "startup/ResourceFiles.h"
#include "common/DesktopHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

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

class ScratchDesktopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::CoInitialize(nullptr);
    RefreshResourceFiles(InstalledOrEmbeddedSource(app.path()), app.path());
    ini = app.File("Wallpaper.ini");
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
    session.reset();
    bg = nullptr;
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    EmptyFolder(own);
    EmptyFolder(common);
    ::CoUninitialize();
  }
  FrmShortcut& Start() {
    session = std::make_unique<DesktopSession>(app.path());
    EXPECT_TRUE(session->Start());
    bg = &session->Background();
    FrmShortcut* layer = session->IconLayer();
    EXPECT_NE(layer, nullptr);
    layer->LoadIcons(false);  // the load's composition again, now kept
    return *layer;
  }
  int IndexOf(const std::string& name) const {
    const auto& names = bg->Items().arrays.names;
    for (size_t i = 0; i < names.size(); ++i)
      if (names[i] == name) return static_cast<int>(i);
    return -1;
  }

  ScratchDir app;
  std::string ini, own, common;
  std::unique_ptr<DesktopSession> session;
  FrmShortcutBG* bg = nullptr;
};


}  // namespace velmora::test
