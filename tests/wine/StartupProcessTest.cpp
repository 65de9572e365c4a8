// Runs copies of Velmora.exe in scratch application folders and watches
// them from outside: windows, files, the single-instance mutex, exit codes.
#include "common/Handles.h"
#include "settings/IniFile.h"
#include "settings/Registry.h"
#include "common/DesktopHost.h"
#include "tests/wine/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>

namespace velmora {
namespace {

using namespace std::chrono;
using namespace std::chrono_literals;

constexpr const char* kBackgroundClass = "VelmoraFrmShortcutBG";
constexpr const char* kSplashClass = "VelmoraFrmWaiting";

class Child {
 public:
  explicit Child(const std::string& exe) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string command = "\"" + exe + "\"";
    // Started from another folder: the program must use its own.
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    if (::CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, temp,
                         &si, &pi)) {
      process_.reset(pi.hProcess);
      const UniqueKernelHandle thread(pi.hThread);
      pid_ = pi.dwProcessId;
    }
  }
  ~Child() {
    if (process_ && Running()) ::TerminateProcess(process_.get(), 99);
  }
  bool Started() const { return static_cast<bool>(process_); }
  DWORD pid() const { return pid_; }
  bool Running() const { return ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }
  // The exit code, or -1 when it is still running after the timeout.
  long WaitExit(milliseconds timeout) {
    if (::WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
      return -1;
    DWORD code = 0;
    ::GetExitCodeProcess(process_.get(), &code);
    return static_cast<long>(code);
  }
  HWND Window(const char* cls, bool visibleOnly = false) const {
    return test::FindProcessWindow(pid_, cls, visibleOnly);
  }

 private:
  UniqueKernelHandle process_;
  DWORD pid_ = 0;
};

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    exe = app.File("Velmora.exe");
    ASSERT_TRUE(::CopyFileA((test::TestExeDirectory() + "\\Velmora.exe").c_str(), exe.c_str(),
                            FALSE));
  }
  // Waits until the child's background window is visible and the splash gone.
  bool WaitRunning(const Child& c) {
    return test::PumpUntil(
        [&] { return c.Window(kBackgroundClass, true) && !c.Window(kSplashClass); }, 15s);
  }
  static bool MutexFree() {
    const HANDLE m = ::CreateMutexA(nullptr, FALSE, "Velmora");
    const bool existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
    ::CloseHandle(m);
    return !existed;
  }

  test::ScratchDir app;
  std::string exe;
};

TEST_F(StartupTest, StartsShowsSplashThenBackgroundAndEndsThroughUnloadme) {
  Child first(exe);
  ASSERT_TRUE(first.Started());
  // The splash shows while the background window loads (at least 2 s).
  ASSERT_TRUE(test::PumpUntil([&] { return first.Window(kSplashClass, true) != nullptr; }, 10s));
  EXPECT_EQ(first.Window(kBackgroundClass, true), nullptr);
  const HWND splash = first.Window(kSplashClass);
  EXPECT_TRUE(::GetWindowLongPtrA(splash, GWL_EXSTYLE) & WS_EX_TOPMOST);
  ASSERT_TRUE(WaitRunning(first));
  EXPECT_FALSE(MutexFree());

  // The four files were refreshed into the program's own folder.
  for (const char* name : {"Blank.png", "Imageviewer.png", "Shortcut.png", "Blank.swf"})
    EXPECT_TRUE(test::FileExists(app.File(name))) << name;

  // A plain rectangle without caption or border, placed above the taskbar.
  const HWND background = first.Window(kBackgroundClass);
  char title[64] = {};
  ::GetWindowTextA(background, title, sizeof title);
  EXPECT_STREQ(title, "Velmora");
  const LONG_PTR style = ::GetWindowLongPtrA(background, GWL_STYLE);
  EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_BORDER));
  RECT r;
  ::GetWindowRect(background, &r);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 1024);
  EXPECT_EQ(r.bottom, 767);  // Wine's taskbar is the bottom pixel row

  // Closing the window runs the shut-down: the process ends and frees the mutex.
  ::PostMessageA(background, WM_CLOSE, 0, 0);
  EXPECT_EQ(first.WaitExit(10s), 0);
  EXPECT_TRUE(MutexFree());
}

TEST_F(StartupTest, SecondInstanceExitsSilentlyWithoutTouchingFiles) {
  Child first(exe);
  ASSERT_TRUE(WaitRunning(first));
  ASSERT_TRUE(::DeleteFileA(app.File("Blank.png").c_str()));
  test::WriteFileBytes(app.File("Imageviewer.png"), "changed by the user");

  Child second(exe);
  ASSERT_TRUE(second.Started());
  EXPECT_EQ(second.WaitExit(10s), 0);
  EXPECT_FALSE(test::FileExists(app.File("Blank.png")));
  EXPECT_EQ(test::ReadFileBytes(app.File("Imageviewer.png")), "changed by the user");
  // No message box and no window of its own appeared; the first runs on.
  EXPECT_EQ(test::FindProcessWindow(0, "#32770"), nullptr);
  EXPECT_TRUE(first.Running());

  ::PostMessageA(first.Window(kBackgroundClass), WM_CLOSE, 0, 0);
  EXPECT_EQ(first.WaitExit(10s), 0);
}

TEST_F(StartupTest, MissingOrLockedResourceSourcesDoNotStopStartUp) {
  // An installed copy in the system directory is used; the others come from
  // the program itself. The lock keeps one destination from being written.
  const std::string installed = GetSpecialDir(1) + "\\0011.bak";
  test::WriteFileBytes(installed, "installed blank");
  ::DeleteFileA((GetSpecialDir(1) + "\\0012.bak").c_str());
  test::WriteFileBytes(app.File("Shortcut.png"), "locked");
  UniqueFile lock(::CreateFileA(app.File("Shortcut.png").c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(lock);

  Child c(exe);
  ASSERT_TRUE(WaitRunning(c));
  EXPECT_EQ(test::ReadFileBytes(app.File("Blank.png")), "installed blank");
  EXPECT_EQ(test::ReadFileBytes(app.File("Imageviewer.png")).substr(1, 3), "PNG");
  lock.reset();
  EXPECT_EQ(test::ReadFileBytes(app.File("Shortcut.png")), "locked");
  ::PostMessageA(c.Window(kBackgroundClass), WM_CLOSE, 0, 0);
  EXPECT_EQ(c.WaitExit(10s), 0);
  ::DeleteFileA(installed.c_str());
}

TEST_F(StartupTest, LoadPrunesBothMediaLists) {
  ::CreateDirectoryA(app.File("Flashs").c_str(), nullptr);
  ::CreateDirectoryA(app.File("Images").c_str(), nullptr);
  test::WriteFileBytes(app.File("Flashs\\a.swf"), "FWS");
  test::WriteFileBytes(app.File("Images\\p.png"), "png");
  const std::string ini = app.File("Wallpaper.ini");
  WriteIniString(ini, "FLASH", "Path", "ba.swf|flashs*a.swf|flashs*");
  WriteIniString(ini, "IMAGE", "Path", "p.png|images*q.png|images*");

  Child c(exe);
  ASSERT_TRUE(WaitRunning(c));
  EXPECT_EQ(GetIniString(ini, "FLASH", "Path", "?"), "a.swf|flashs*");
  EXPECT_EQ(GetIniString(ini, "IMAGE", "Path", "?"), "p.png|images*");
  ::PostMessageA(c.Window(kBackgroundClass), WM_CLOSE, 0, 0);
  EXPECT_EQ(c.WaitExit(10s), 0);
}

TEST_F(StartupTest, StandardModeShowsTheWindowsThenEnds) {
  WriteIniString(app.File("Wallpaper.ini"), "MAIN", "WallInx", "3");
  ::RegDeleteTreeA(HKEY_CURRENT_USER, kProgramRegKey);
  Child c(exe);
  ASSERT_TRUE(test::PumpUntil([&] { return c.Window(kSplashClass, true) != nullptr; }, 10s));
  EXPECT_EQ(c.WaitExit(15s), 0);
  EXPECT_TRUE(MutexFree());
  // The icon layer was shown and composed before the program ended: its
  // first composition laid the items out and saved where they went.
  EXPECT_EQ(GetRegLong(HKEY_CURRENT_USER, kProgramRegKey, "DesktopC"), 5);
  EXPECT_EQ(GetRegString(HKEY_CURRENT_USER, kProgramRegKey, "Tempy"), "0*72*144*216*288*");
}

TEST_F(StartupTest, ShutDownDuringTheLoadEndsTheProcess) {
  Child c(exe);
  ASSERT_TRUE(test::PumpUntil([&] { return c.Window(kSplashClass, true) != nullptr; }, 10s));
  // The background window exists (hidden) while it waits for the load.
  const HWND background = c.Window(kBackgroundClass);
  ASSERT_NE(background, nullptr);
  ::PostMessageA(background, WM_CLOSE, 0, 0);
  EXPECT_EQ(c.WaitExit(10s), 0);
  EXPECT_TRUE(MutexFree());
}

}  // namespace
}  // namespace velmora

namespace velmora {
namespace {

// Runs only on a 16-bit virtual screen (a test entry of its own).
TEST_F(StartupTest, DISABLED_LowColourDepthShowsTheMessageAndNothingElse) {
  ASSERT_EQ(GetColorDepth(), 16);
  Child c(exe);
  HWND box = nullptr;
  ASSERT_TRUE(test::PumpUntil(
      [&] { return (box = c.Window("#32770", true)) != nullptr; }, 15s));
  char title[64] = {};
  ::GetWindowTextA(box, title, sizeof title);
  EXPECT_STREQ(title, "Color Quality");
  char text[256] = {};
  ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  EXPECT_STREQ(text,
               "Please change the display color quality as the 32 bit color, and restart Velmora.");
  EXPECT_EQ(c.Window(kBackgroundClass), nullptr);
  EXPECT_EQ(c.Window(kSplashClass), nullptr);
  EXPECT_TRUE(MutexFree());
  EXPECT_FALSE(test::FileExists(app.File("Blank.png")));
  ::PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(c.WaitExit(10s), 0);
  EXPECT_FALSE(test::FileExists(app.File("Blank.png")));
}

}  // namespace
}  // namespace velmora
