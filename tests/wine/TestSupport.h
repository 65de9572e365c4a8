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
  explicit HelperProcess(const std::string& exeName);
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

}  // namespace velmora::test
