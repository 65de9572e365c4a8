#include "tests/wine/TestSupport.h"

#include "common/FileSystem.h"
#include "common/FolderTree.h"
#include "common/Handles.h"
#include "common/SystemFunction.h"
#include "common/WinText.h"

#include "common/PathText.h"
#include "common/SystemFunction.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>

namespace velmora::test {

ScratchDir::ScratchDir() {
  wchar_t temp[MAX_PATH];
  ::GetTempPathW(MAX_PATH, temp);
  static int counter = 0;
  for (;;) {
    std::ostringstream name;
    name << Utf8(temp) << "velmora-test-" << ::GetCurrentProcessId() << "-" << ++counter;
    if (::CreateDirectoryW(Wide(name.str()).c_str(), nullptr)) {
      path_ = name.str();
      return;
    }
  }
}

ScratchDir::~ScratchDir() { RemoveTree(path_); }

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  const HANDLE file = ::CreateFileW(SystemPath(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  ::CloseHandle(file);
}

std::string ReadFileBytes(const std::string& path) {
  const std::optional<std::string> bytes = ReadWholeFile(path);
  return bytes ? *bytes : "<missing>";
}

bool FileExists(const std::string& path) {
  return ::GetFileAttributesW(SystemPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool MakeFolder(const std::string& path) {
  return ::CreateDirectoryW(SystemPath(path).c_str(), nullptr) != FALSE;
}

namespace {

// The Linux path of a Windows one under Wine; "" elsewhere.
std::string UnixPath(const std::string& path) {
  using UnixFileName = char*(CDECL*)(LPCWSTR);
  const auto toUnix = FindSystemFunction<UnixFileName>(::GetModuleHandleW(L"kernel32.dll"),
                                                       "wine_get_unix_file_name");
  char* name = toUnix ? toUnix(Wide(path).c_str()) : nullptr;
  if (!name) return {};
  std::string unix(name);
  ::HeapFree(::GetProcessHeap(), 0, name);  // as Wine documents for this call
  return unix;
}

}  // namespace

bool MakeUnixSymlink(const std::string& target, const std::string& link) {
  const size_t slash = link.rfind('\\');
  const std::string to = UnixPath(target), folder = UnixPath(link.substr(0, slash));
  if (to.empty() || folder.empty()) return false;
  // Wine starts a Linux program given by its path on the root drive.
  const std::string from = folder + "/" + link.substr(slash + 1);
  std::wstring line = L"ln -s \"" + Wide(to) + L"\" \"" + Wide(from) + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessW(L"Z:\\bin\\ln", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &si, &pi))
    return false;
  const UniqueKernelHandle process(pi.hProcess), thread(pi.hThread);
  // The handle of a Linux program cannot be waited on: wait for the link.
  constexpr auto kLnTimeout = std::chrono::seconds(10);
  const auto end = std::chrono::steady_clock::now() + kLnTimeout;
  while (!FileExists(link)) {
    if (std::chrono::steady_clock::now() >= end) return false;
    ::Sleep(10);
  }
  return true;
}

std::string TestExeDirectory() {
  wchar_t path[MAX_PATH];
  const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::string text = Utf8(std::wstring_view(path, n));
  return text.substr(0, text.rfind('\\'));
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
  return true;
}

void PumpFor(std::chrono::milliseconds duration) {
  PumpUntil([] { return false; }, duration);
}

namespace {

struct WindowSearch {
  DWORD pid;
  const char* className;
  bool visibleOnly;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND w, LPARAM p) {
  auto* s = reinterpret_cast<WindowSearch*>(p);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(w, &owner);
  char name[128] = {};
  ::GetClassNameA(w, name, sizeof name);
  if ((s->pid == 0 || owner == s->pid) && lstrcmpiA(name, s->className) == 0 &&
      (!s->visibleOnly || ::IsWindowVisible(w))) {
    s->found = w;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND FindProcessWindow(DWORD pid, const char* className, bool visibleOnly) {
  WindowSearch search{pid, className, visibleOnly, nullptr};
  ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HelperProcess::HelperProcess(const std::string& exeName, const std::string& arguments) {
  const std::string exe = TestExeDirectory() + "\\" + exeName;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string line = "\"" + exe + "\"";
  if (!arguments.empty()) line += " " + arguments;
  if (!::CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return;
  const UniqueKernelHandle thread(pi.hThread);
  process_.reset(pi.hProcess);
}

void HelperProcess::End() {
  if (!process_) return;
  ::TerminateProcess(process_.get(), 0);
  ::WaitForSingleObject(process_.get(), 5000);
  process_.reset();
}

int RunLinuxShell(const std::string& command, std::chrono::milliseconds timeout) {
  // The exit status lands in a file: Wine gives no usable process handle for
  // a Linux program.
  // In this test's own prefix: Wine's process ids repeat between prefixes.
  char prefix[1024] = {};
  if (!::GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix)) return -1;
  static int counter = 0;
  const std::string status = std::string(prefix) + "/velmora-shell-" + std::to_string(++counter);
  std::wstring line = Wide("/bin/sh -c \"(" + command + "); echo $? > " + status + ".part; mv " +
                           status + ".part " + status + "\"");
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return -1;
  const UniqueKernelHandle process(pi.hProcess), thread(pi.hThread);
  std::string windowsStatus = "Z:" + status;
  std::replace(windowsStatus.begin(), windowsStatus.end(), '/', '\\');
  for (auto end = std::chrono::steady_clock::now() + timeout;;) {
    if (FileExists(windowsStatus)) {
      const std::string text = ReadFileBytes(windowsStatus);
      ::DeleteFileW(Wide(windowsStatus).c_str());
      return std::atoi(text.c_str());
    }
    if (std::chrono::steady_clock::now() >= end) return -1;
    ::Sleep(20);
  }
}

std::string LinuxShellOutput(const std::string& command) {
  char prefix[1024] = {};
  if (!::GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix)) return {};
  static int counter = 0;
  const std::string out = std::string(prefix) + "/velmora-output-" + std::to_string(++counter);
  if (RunLinuxShell("(" + command + ") > '" + out + "'") < 0) return {};
  const std::string file = WindowsPathOf(out);
  std::string text = ReadFileBytes(file);
  ::DeleteFileW(Wide(file).c_str());
  if (text == "<missing>") return {};
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

std::string WindowsPathOf(const std::string& linuxPath) {
  std::string path = "Z:" + linuxPath;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

std::string LinuxPathOf(const std::string& windowsPath) {
  using Convert = char*(CDECL*)(const wchar_t*);
  const auto convert =
      FindSystemFunction<Convert>(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name");
  if (!convert) return {};
  char* linux = convert(Wide(windowsPath).c_str());
  if (!linux) return {};
  std::string path = linux;
  ::HeapFree(::GetProcessHeap(), 0, linux);
  return path;
}

std::string MapDriveLetter(const std::string& linuxFolder, char from) {
  char prefix[1024] = {};
  if (!::GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix)) return {};
  for (char letter = from; letter <= 'Y'; ++letter) {
    const std::string drive = std::string(1, letter) + ":";
    if (::GetFileAttributesW(Wide(drive + "\\").c_str()) != INVALID_FILE_ATTRIBUTES) continue;
    const std::string link = std::string(prefix) + "/dosdevices/" + ToLower(drive);
    if (RunLinuxShell("test ! -e '" + link + "' && ln -s '" + linuxFolder + "' '" + link + "'") != 0)
      continue;
    if (PumpUntil([&] { return ::GetFileAttributesW(Wide(drive + "\\").c_str()) != INVALID_FILE_ATTRIBUTES; },
                  std::chrono::seconds(5)))
      return drive;
  }
  return {};
}

OtherDrive::OtherDrive() {
  char prefix[1024] = {};
  if (!::GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix)) return;
  // The run's own folder name (unique on the machine) names the folder.
  const std::string run = ParentFolder(WindowsPathOf(prefix));
  static int counter = 0;
  root_ = "/dev/shm/" + GetFileNamePart(run) + "-drive-" + std::to_string(++counter);
  if (RunLinuxShell("mkdir -p '" + root_ + "'") != 0) return;
  drive_ = MapDriveLetter(root_);
}

OtherDrive::~OtherDrive() {
  if (root_.empty()) return;
  RunLinuxShell("rm -rf '" + root_ + "'");  // rm takes links as links
  char prefix[1024] = {};
  if (!drive_.empty() && ::GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix))
    RunLinuxShell("rm -f '" + std::string(prefix) + "/dosdevices/" + ToLower(drive_) + "'");
}

bool OtherDrive::ApartFrom(const std::string& windowsFolder) const {
  const std::string other = LinuxPathOf(windowsFolder);
  if (drive_.empty() || other.empty()) return false;
  return LinuxShellOutput("stat -L -c %d '" + root_ + "'") !=
         LinuxShellOutput("stat -L -c %d '" + other + "'");
}

Watchdog::Watchdog(std::chrono::milliseconds limit, std::string what)
    : disarmed_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)), limit_(limit), what_(std::move(what)) {
  thread_.reset(::CreateThread(nullptr, 0, Watch, this, 0, nullptr));
}

Watchdog::~Watchdog() {
  ::SetEvent(disarmed_.get());
  if (thread_) ::WaitForSingleObject(thread_.get(), INFINITE);
}

DWORD WINAPI Watchdog::Watch(void* self) {
  auto* dog = static_cast<Watchdog*>(self);
  if (::WaitForSingleObject(dog->disarmed_.get(), static_cast<DWORD>(dog->limit_.count())) ==
      WAIT_OBJECT_0)
    return 0;
  std::fprintf(stderr, "FAILED: still not done after %lld ms: %s\n",
               static_cast<long long>(dog->limit_.count()), dog->what_.c_str());
  std::fflush(stderr);
  ::TerminateProcess(::GetCurrentProcess(), 3);
  return 0;
}

}  // namespace velmora::test
