#include "tests/wine/TestSupport.h"

#include "common/FileSystem.h"
#include "common/FolderTree.h"
#include "common/Handles.h"
#include "common/SystemFunction.h"
#include "common/WinText.h"

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

HelperProcess::HelperProcess(const std::string& exeName) {
  const std::string exe = TestExeDirectory() + "\\" + exeName;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string line = "\"" + exe + "\"";
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

}  // namespace velmora::test
