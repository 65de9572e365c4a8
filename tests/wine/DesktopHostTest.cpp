#include "common/DesktopHost.h"
#include "common/ProcessTime.h"
#include "tests/wine/TestSupport.h"

#include <gtest/gtest.h>

#include <cctype>
#include <chrono>

namespace velmora {
namespace {

using namespace std::chrono;
using namespace std::chrono_literals;

bool IsDirectory(const std::string& path) {
  const DWORD a = ::GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

TEST(GetSpecialDir, SystemDirectories) {
  char windows[MAX_PATH];
  ::GetWindowsDirectoryA(windows, MAX_PATH);
  EXPECT_EQ(GetSpecialDir(0), windows);
  EXPECT_EQ(Lower(GetSpecialDir(1)), Lower(std::string(windows) + "\\system32"));
  const std::string temp = GetSpecialDir(2);
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), '\\');  // as the system gives it
  EXPECT_TRUE(IsDirectory(temp));
}

TEST(GetSpecialDir, ShellFolders) {
  EXPECT_EQ(Lower(GetSpecialDir(19)), "c:\\users\\public\\desktop");
  const std::string desktop = GetSpecialDir(3);
  EXPECT_EQ(Lower(desktop.substr(desktop.rfind('\\'))), "\\desktop");
  EXPECT_EQ(desktop.substr(0, 9), "C:\\users\\");
  // Every shell kind is a folder path without a trailing backslash, or empty
  // when the folder does not exist here; the common ones exist.
  int present = 0;
  for (int kind = 3; kind <= 19; ++kind) {
    const std::string path = GetSpecialDir(kind);
    if (path.empty()) continue;
    ++present;
    EXPECT_NE(path.back(), '\\') << kind;
    EXPECT_EQ(path.substr(1, 2), ":\\") << kind << " " << path;
  }
  EXPECT_GE(present, 12);
  for (int kind : {3, 5, 6, 8, 17}) EXPECT_TRUE(IsDirectory(GetSpecialDir(kind))) << kind;
  // Different kinds are different folders.
  EXPECT_NE(GetSpecialDir(3), GetSpecialDir(19));
  EXPECT_NE(GetSpecialDir(6), GetSpecialDir(8));
}

TEST(GetSpecialDir, UnknownKindsAreEmpty) {
  for (int kind : {20, 25, -1, 1000}) EXPECT_EQ(GetSpecialDir(kind), "") << kind;
}

TEST(DesktopEnvironment, ColourDepthAndTaskbarOfTheVirtualScreen) {
  EXPECT_EQ(GetColorDepth(), 32);
  // Wine reports a one-pixel band at the bottom of the 1024x768 screen.
  ASSERT_EQ(::GetSystemMetrics(SM_CXSCREEN), 1024);
  EXPECT_EQ(GetTaskbarEdge(), "1*B");
}

class DesktopParentTest : public ::testing::Test {
 protected:
  static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return ::DefWindowProcA(w, m, wp, lp);
  }
  HWND Make(const char* cls, const char* title, DWORD style) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = cls;
    ::RegisterClassA(&wc);
    return ::CreateWindowA(cls, title, style, 0, 0, 100, 100, nullptr, nullptr, wc.hInstance,
                           nullptr);
  }
};

TEST_F(DesktopParentTest, WithoutProgramManagerTheWindowStaysTopLevel) {
  ASSERT_EQ(FindWindowByTitle("Program Manager"), nullptr);
  const HWND w = Make("VelmoraProbe", "probe", WS_POPUP);
  SetDesktopParent(w);
  EXPECT_EQ(::GetAncestor(w, GA_PARENT), ::GetDesktopWindow());
  ::DestroyWindow(w);
}

TEST_F(DesktopParentTest, BecomesChildOfProgramManager) {
  const HWND shell = Make("Progman", "Program Manager", WS_POPUP);
  ASSERT_TRUE(shell);
  EXPECT_EQ(FindWindowByTitle("Program Manager"), shell);
  const HWND background = Make("VelmoraProbe", "background", WS_POPUP);
  const HWND layer = Make("VelmoraProbe", "layer", WS_POPUP);
  SetDesktopParent(background);
  SetDesktopParent(layer);
  EXPECT_EQ(::GetAncestor(background, GA_PARENT), shell);
  EXPECT_EQ(::GetAncestor(layer, GA_PARENT), shell);
  // Parented second, the layer lies above the background window.
  EXPECT_EQ(::GetWindow(shell, GW_CHILD), layer);
  ::DestroyWindow(layer);
  ::DestroyWindow(background);
  ::DestroyWindow(shell);
}

class WaitTest : public ::testing::Test {};

bool stopRequested = false;

int timerTicks = 0;
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++timerTicks; }
void CALLBACK RequestTheStop(HWND, UINT, UINT_PTR, DWORD) { stopRequested = true; }

TEST_F(WaitTest, WaitsTheTimeWhileDispatchingAndIdling) {
  timerTicks = 0;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, CountTick);
  const double cpuBefore = ProcessCpuSeconds();
  const auto start = steady_clock::now();
  long ms = 600;
  WaitMilliseconds(ms);
  const auto elapsed = duration_cast<milliseconds>(steady_clock::now() - start).count();
  const double cpu = ProcessCpuSeconds() - cpuBefore;
  ::KillTimer(nullptr, timer);
  EXPECT_GE(elapsed, 600);
  EXPECT_LT(elapsed, 1500);
  EXPECT_EQ(ms, 600);
  EXPECT_GE(timerTicks, 5);  // messages were dispatched during the wait
  EXPECT_LT(cpu, 0.2) << "the wait must sleep, not spin";
  std::printf("600 ms wait: %lld ms elapsed, %.3f s CPU, %d timer ticks\n",
              static_cast<long long>(elapsed), cpu, timerTicks);
}

TEST_F(WaitTest, TheCallersStopConditionEndsTheWaitEarly) {
  stopRequested = false;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, RequestTheStop);
  const auto start = steady_clock::now();
  long ms = 5000;
  WaitMilliseconds(ms, [] { return stopRequested; });
  ::KillTimer(nullptr, timer);
  EXPECT_LT(steady_clock::now() - start, 2s);
  EXPECT_EQ(ms, 0);
}

TEST_F(WaitTest, QuitRequestEndsTheWaitAndStaysQueued) {
  ::PostQuitMessage(3);
  const auto start = steady_clock::now();
  long ms = 5000;
  WaitMilliseconds(ms);
  EXPECT_LT(steady_clock::now() - start, 2s);
  MSG msg;
  ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(WaitTest, ZeroOrNegativeReturnsAtOnce) {
  const auto start = steady_clock::now();
  long zero = 0, negative = -5;
  WaitMilliseconds(zero);
  WaitMilliseconds(negative);
  EXPECT_LT(steady_clock::now() - start, 100ms);
}

}  // namespace
}  // namespace velmora
