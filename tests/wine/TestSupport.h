// Helpers for the tests that run under Wine: scratch folders and files (paths
// in UTF-8), pumping messages, finding windows of a process.
#pragma once

#include "common/Handles.h"

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

namespace velmora::test {

// A new empty folder under the temporary directory, removed with everything
// in it when the object goes.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

void WriteFileBytes(const std::string& path, const std::string& bytes);
// The whole file, or "<missing>" when it cannot be read.
std::string ReadFileBytes(const std::string& path);
bool FileExists(const std::string& path);
bool MakeFolder(const std::string& path);

// Under Wine: a symbolic link of the Linux side at `link` (a Windows path)
// to the file or folder `target` (Wine 8 makes none itself:
// CreateSymbolicLinkW does nothing and says it did). `target` must exist.
// False when it could not be made (not under Wine, or `ln` failed).
bool MakeUnixSymlink(const std::string& target, const std::string& link);

// The folder of the running test executable.
std::string TestExeDirectory();

// Dispatches messages until `done` holds or the time is up; true if it held.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
void PumpFor(std::chrono::milliseconds duration);

// A helper program of the tests (beside the test executable) run as a
// process of its own until End or the object's end.
class HelperProcess {
 public:
  // `arguments` follow the program's name on its command line.
  explicit HelperProcess(const std::string& exeName, const std::string& arguments = "");
  ~HelperProcess() { End(); }
  HelperProcess(const HelperProcess&) = delete;
  HelperProcess& operator=(const HelperProcess&) = delete;
  bool Started() const { return static_cast<bool>(process_); }
  void End();

 private:
  UniqueKernelHandle process_;
};

// The first top-level window of the given class owned by process `pid`
// (any process when pid is 0), or null.
HWND FindProcessWindow(DWORD pid, const char* className, bool visibleOnly = false);

// Under Wine: runs a command of the Linux machine with /bin/sh (Wine starts
// Linux programs itself) and waits for it; its exit status, or -1 when it
// did not run or end within the time. The command must not hold double
// quotes.
int RunLinuxShell(const std::string& command,
                  std::chrono::milliseconds timeout = std::chrono::seconds(20));

// Under Wine: what a command of the Linux machine writes, its last line
// end dropped; "" when it did not run.
std::string LinuxShellOutput(const std::string& command);

// Under Wine: the Linux path of a Windows path (Wine's own conversion), or ""
// when not under Wine.
std::string LinuxPathOf(const std::string& windowsPath);

// A Windows path (Z:, Wine's drive for the machine's root) of a Linux path.
std::string WindowsPathOf(const std::string& linuxPath);

// Under Wine: a drive letter of this test's prefix (the first free one from
// `from` on) mapped to the Linux folder `linuxFolder`; "X:" or "" when none
// could be made. The mapping goes with the prefix.
std::string MapDriveLetter(const std::string& linuxFolder, char from = 'M');

// Under Wine: a folder of its own on /dev/shm, which usually lies on another
// file system than the prefix, under a drive letter of its own: "another
// drive" for moves that cannot be renames. Removed (links inside as links)
// when the object goes.
class OtherDrive {
 public:
  OtherDrive();
  ~OtherDrive();
  OtherDrive(const OtherDrive&) = delete;
  OtherDrive& operator=(const OtherDrive&) = delete;
  // "" when it could not be made.
  const std::string& drive() const { return drive_; }
  const std::string& linuxRoot() const { return root_; }
  std::string File(const std::string& name) const { return drive_ + "\\" + name; }
  // Whether it lies on another file system than `windowsFolder`.
  bool ApartFrom(const std::string& windowsFolder) const;

 private:
  std::string root_, drive_;
};

// Ends the whole test program with a message when it is still alive after
// `limit` and not disarmed by then: a test of something that used to hang
// fails in time instead of waiting for the test runner to give up.
class Watchdog {
 public:
  Watchdog(std::chrono::milliseconds limit, std::string what);
  ~Watchdog();
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

 private:
  UniqueKernelHandle disarmed_;
  UniqueKernelHandle thread_;
  std::chrono::milliseconds limit_;
  std::string what_;
  static DWORD WINAPI Watch(void* self);
};

}  // namespace velmora::test
