// The three shapes of the shell's desktop windows, built by a stand-in shell
// of another process, and the desktop raised after the program started: in
// each the program's windows are the top children of the window that holds
// the icon view, above it, a click on an item reaches the program and the
// movie plays.
#include "common/DesktopHost.h"
#include "common/DesktopShape.h"
#include "settings/IniFile.h"
#include "tests/wine/DesktopFixture.h"
#include "tests/wine/RealInput.h"
#include "tests/wine/TestMovies.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace velmora {
namespace {

using namespace std::chrono_literals;

constexpr UINT kRaiseDesktop = 0x052C;

class ShellShapeTest : public test::ScratchDesktopTest {
 protected:
  // The stand-in shell building `shape`, and the program started in it.
  FrmShortcut& StartIn(const std::string& shape) {
    shell_ = std::make_unique<test::HelperProcess>("progman_standin.exe", shape);
    EXPECT_TRUE(test::PumpUntil([] { return IconView() != nullptr; }, 10s)) << shape;
    ::CreateDirectoryA(app.File("Flashs").c_str(), nullptr);
    test::WriteFileBytes(app.File("Flashs\\moving.swf"), test::MovingSquareMovie());
    WriteIniString(ini, "MAIN", "WallInx", "1");
    WriteIniString(ini, "FLASH", "CurFlash", "moving.swf|flashs*");
    return Start();
  }
  void TearDown() override {
    ScratchDesktopTest::TearDown();
    shell_.reset();
  }
  // The stand-in's icon view, wherever it is now.
  static HWND IconView() { return ::FindWindowExA(Holder(), nullptr, kIconViewClass, nullptr); }
  // The window holding the icon view: "Program Manager", or the WorkerW
  // in front once raised.
  static HWND Holder() {
    const HWND progman = FindWindowByTitle("Program Manager");
    if (::FindWindowExA(progman, nullptr, kIconViewClass, nullptr)) return progman;
    for (HWND w = ::FindWindowExA(nullptr, nullptr, kWorkerClass, nullptr); w;
         w = ::FindWindowExA(nullptr, w, kWorkerClass, nullptr))
      if (::FindWindowExA(w, nullptr, kIconViewClass, nullptr)) return w;
    return nullptr;
  }
  static std::string Title(HWND w) {
    char text[64] = {};
    ::GetWindowTextA(w, text, sizeof text);
    return text;
  }
  // The layer first among the holder's children, the background window
  // right under it, the icon view further down; a click on an item reaches
  // the layer and not the icon view; the movie goes on.
  void ExpectOnTopOfTheIcons(const char* shape) {
    SCOPED_TRACE(shape);
    FrmShortcut& layer = *session->IconLayer();
    const HWND holder = Holder();
    ASSERT_NE(holder, nullptr);
    EXPECT_EQ(::GetAncestor(layer.hwnd(), GA_PARENT), holder);
    EXPECT_EQ(::GetAncestor(bg->hwnd(), GA_PARENT), holder);
    std::string order;
    for (HWND w = ::GetWindow(holder, GW_CHILD); w; w = ::GetWindow(w, GW_HWNDNEXT)) {
      char c[64] = {};
      ::GetClassNameA(w, c, sizeof c);
      order += std::string(c) + " ";
    }
    EXPECT_EQ(::GetWindow(holder, GW_CHILD), layer.hwnd()) << "the layer is the top child: " << order;
    EXPECT_EQ(::GetWindow(layer.hwnd(), GW_HWNDNEXT), bg->hwnd());
    bool viewBelow = false;
    for (HWND w = ::GetWindow(bg->hwnd(), GW_HWNDNEXT); w; w = ::GetWindow(w, GW_HWNDNEXT))
      viewBelow = viewBelow || w == IconView();
    EXPECT_TRUE(viewBelow) << "the icon view lies below the program's windows";

    const std::string pressesBefore = Title(IconView());
    const ItemPosition at = layer.Positions()[2];
    POINT p{at.x + 10, at.y + 10};
    ::ClientToScreen(layer.hwnd(), &p);
    EXPECT_EQ(::WindowFromPoint(p), layer.hwnd());
    test::Click(p);
    EXPECT_TRUE(test::PumpUntil([&] { return layer.SelectedIcon() == 2; }, 3s));
    EXPECT_EQ(Title(IconView()), pressesBefore) << "the press went to the program";

    const uint32_t frames = bg->DesktopFlash().FramesRun();
    EXPECT_TRUE(test::PumpUntil([&] { return bg->DesktopFlash().FramesRun() > frames + 5; }, 3s));
    EXPECT_FALSE(bg->Rest().Any());
  }

  std::unique_ptr<test::HelperProcess> shell_;
};

TEST_F(ShellShapeTest, IconViewInProgramManager) {
  StartIn("icons");
  ExpectOnTopOfTheIcons("icons");
  EXPECT_EQ(Holder(), FindWindowByTitle("Program Manager"));
  // The look the background window takes once a second: what it costs.
  constexpr int kLooks = 200;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kLooks; ++i) EXPECT_FALSE(DesktopParentChanged(bg->hwnd()));
  const double each = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / kLooks;
  std::printf("one look at the shell's desktop: %.3f ms\n", each);
  EXPECT_LT(each, 2.0) << "a fifth of a percent of the processor at one look a second";
}

TEST_F(ShellShapeTest, RaisedIconViewInAWorkerInFront) {
  StartIn("raised");
  ASSERT_NE(Holder(), FindWindowByTitle("Program Manager"));
  ExpectOnTopOfTheIcons("raised");
  char className[32] = {};
  ::GetClassNameA(Holder(), className, sizeof className);
  EXPECT_STREQ(className, kWorkerClass);
}

TEST_F(ShellShapeTest, IconViewAndWorkerInProgramManager) {
  StartIn("24h2");
  ExpectOnTopOfTheIcons("24h2");
  const HWND progman = FindWindowByTitle("Program Manager");
  EXPECT_EQ(Holder(), progman);
  EXPECT_NE(::FindWindowExA(progman, nullptr, kWorkerClass, nullptr), nullptr);
}

TEST_F(ShellShapeTest, RaisedAfterTheStartTheWindowsFollowTheIconView) {
  FrmShortcut& layer = StartIn("icons");
  const HWND progman = FindWindowByTitle("Program Manager");
  ASSERT_EQ(::GetAncestor(layer.hwnd(), GA_PARENT), progman);
  const HWND background = bg->hwnd(), layerWindow = layer.hwnd();
  // Another program raises the desktop, as wallpaper tools do.
  DWORD_PTR answer = 0;
  ::SendMessageTimeoutA(progman, kRaiseDesktop, 0xD, 1, SMTO_NORMAL, 1000, &answer);
  ASSERT_TRUE(test::PumpUntil([] { return Holder() && Holder() != FindWindowByTitle("Program Manager"); }, 5s));
  ASSERT_TRUE(test::PumpUntil([&] { return ::GetAncestor(background, GA_PARENT) == Holder(); }, 5s));
  EXPECT_EQ(bg->hwnd(), background) << "the same windows, moved";
  EXPECT_EQ(session->IconLayer()->hwnd(), layerWindow);
  ExpectOnTopOfTheIcons("raised after the start");
}

}  // namespace
}  // namespace velmora
