#include "common/DesktopHost.h"

#include "common/DesktopShape.h"
#include "common/Handles.h"
#include "common/WinText.h"
#include "common/TaskbarEdge.h"

#include <shellapi.h>
#include <shlobj.h>

#include <chrono>
#include <cstdint>
#include <vector>

namespace velmora {

HWND FindWindowByTitle(const std::string& title) { return ::FindWindowA(nullptr, title.c_str()); }

namespace {

std::string ClassOf(HWND window) {
  char name[64] = {};
  ::GetClassNameA(window, name, sizeof name);
  return name;
}

std::string TitleOf(HWND window) {
  char title[64] = {};
  ::GetWindowTextA(window, title, sizeof title);
  return title;
}

// The top-level windows the shape depends on, front to back: the one
// titled "Program Manager" (as the system's search by title finds it) and
// every WorkerW, each with its children's classes. Asking for these alone
// keeps the look to a few calls however many windows are open.
ShellWindow Described(HWND window) {
  ShellWindow w;
  w.id = reinterpret_cast<std::uintptr_t>(window);
  w.className = ClassOf(window);
  w.title = TitleOf(window);
  for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
    w.childClasses.push_back(ClassOf(child));
  return w;
}

std::vector<ShellWindow> ShellWindows() {
  std::vector<ShellWindow> found;
  if (const HWND progman = FindWindowByTitle(kShellTitle)) found.push_back(Described(progman));
  for (HWND worker = ::FindWindowExA(nullptr, nullptr, kWorkerClass, nullptr); worker;
       worker = ::FindWindowExA(nullptr, worker, kWorkerClass, nullptr))
    found.push_back(Described(worker));
  return found;
}

}  // namespace

HWND DesktopParent() { return reinterpret_cast<HWND>(FindDesktopShape(ShellWindows()).parent); }

void SetDesktopParent(HWND window) {
  const HWND parent = DesktopParent();
  ::SetParent(window, parent);
  // Above every child there, the icon view among them.
  if (parent) ::SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void StackOnDesktop(HWND background, HWND layer) {
  const HWND parent = ::GetAncestor(layer, GA_PARENT);
  if (!parent || parent == ::GetDesktopWindow() || ::GetAncestor(background, GA_PARENT) != parent) return;
  constexpr UINT kOrderOnly = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
  ::SetWindowPos(layer, HWND_TOP, 0, 0, 0, 0, kOrderOnly);
  ::SetWindowPos(background, layer, 0, 0, 0, 0, kOrderOnly);
}

bool DesktopParentChanged(HWND window) {
  if (!window || !::IsWindow(window)) return false;
  const HWND wanted = DesktopParent();
  return ::GetAncestor(window, GA_PARENT) != (wanted ? wanted : ::GetDesktopWindow());
}

std::string GetTaskbarEdge() {
  APPBARDATA bar{};
  bar.cbSize = sizeof bar;
  if (!::SHAppBarMessage(ABM_GETTASKBARPOS, &bar)) return {};
  const long sw = ::GetSystemMetrics(SM_CXSCREEN);
  const long sh = ::GetSystemMetrics(SM_CYSCREEN);
  return DescribeTaskbar({bar.rc.left, bar.rc.top, bar.rc.right, bar.rc.bottom}, sw, sh);
}

namespace {

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  MONITORINFOEXW info{};
  info.cbSize = sizeof info;
  if (!::GetMonitorInfoW(monitor, &info)) return TRUE;  // gone meanwhile: left out
  const RECT& m = info.rcMonitor;
  const RECT& w = info.rcWork;
  reinterpret_cast<std::vector<MonitorArea>*>(list)->push_back(
      {{m.left, m.top, m.right, m.bottom}, {w.left, w.top, w.right, w.bottom},
       (info.dwFlags & MONITORINFOF_PRIMARY) != 0, Utf8(info.szDevice)});
  return TRUE;
}

}  // namespace

std::vector<MonitorArea> QueryMonitors() {
  std::vector<MonitorArea> monitors;
  // A failure leaves the list empty: the layout falls back to the primary screen.
  ::EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

DesktopLayout CurrentDesktopLayout() {
  return LayoutOfMonitors(QueryMonitors(),
                          {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)});
}

void PlaceOnScreen(HWND window, const ScreenRect& screen) {
  POINT origin{screen.left, screen.top};
  const HWND parent = ::GetAncestor(window, GA_PARENT);
  if (parent && parent != ::GetDesktopWindow()) ::ScreenToClient(parent, &origin);
  ::SetWindowPos(window, nullptr, origin.x, origin.y, screen.Width(), screen.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

int GetColorDepth() {
  const WindowDc screen = GetWindowDc(nullptr);
  return screen ? ::GetDeviceCaps(screen.get().dc, BITSPIXEL) : 0;
}

namespace {

// Calls a "fill this buffer, return the length" system function, growing the
// buffer when the answer does not fit.
template <typename Query>
std::string QueryText(Query query) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const UINT n = query(buffer.data(), static_cast<UINT>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) return Utf8(std::wstring_view(buffer.data(), n));
    buffer.resize(n + 1);
  }
}

int ShellFolderOfKind(int kind) {
  static const int kFolders[] = {
      CSIDL_DESKTOP,   CSIDL_SENDTO,     CSIDL_PERSONAL, CSIDL_PROGRAMS,
      CSIDL_STARTUP,   CSIDL_STARTMENU,  CSIDL_FAVORITES, CSIDL_RECENT,
      CSIDL_NETHOOD,   CSIDL_FONTS,      CSIDL_COOKIES,  CSIDL_HISTORY,
      CSIDL_INTERNET_CACHE, CSIDL_TEMPLATES, CSIDL_APPDATA, CSIDL_PRINTHOOD,
      CSIDL_COMMON_DESKTOPDIRECTORY,
  };
  const int index = kind - 3;
  if (index < 0 || index >= static_cast<int>(sizeof kFolders / sizeof kFolders[0])) return -1;
  return kFolders[index];
}

std::string ShellFolderPath(int csidl) {
  UniqueTaskMemory<ITEMIDLIST> items;
  if (FAILED(::SHGetSpecialFolderLocation(nullptr, csidl, items.put())) || !items) return {};
  wchar_t path[MAX_PATH] = {};
  if (!::SHGetPathFromIDListW(items.get(), path)) return {};
  std::string text = Utf8(path);
  // Some folders come back with a trailing backslash; callers append "\name".
  if (text.size() > 3 && text.back() == '\\') text.pop_back();
  return text;
}

}  // namespace

std::string GetSpecialDir(int kind) {
  switch (kind) {
    case 0:
      return QueryText([](wchar_t* b, UINT n) { return ::GetWindowsDirectoryW(b, n); });
    case 1:
      return QueryText([](wchar_t* b, UINT n) { return ::GetSystemDirectoryW(b, n); });
    case 2:
      return QueryText([](wchar_t* b, UINT n) { return static_cast<UINT>(::GetTempPathW(n, b)); });
    default: {
      const int csidl = ShellFolderOfKind(kind);
      return csidl < 0 ? std::string() : ShellFolderPath(csidl);
    }
  }
}

namespace {

// Dispatches what is queued; false when a quit request was met (it is posted
// again so that the message loop still sees it).
bool DispatchQueue() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return true;
}

}  // namespace

void DispatchPendingMessages() { DispatchQueue(); }

void KeepAtTheBottom(HWND window, LPARAM windowPos, HWND under) {
  auto* pos = reinterpret_cast<WINDOWPOS*>(windowPos);
  if (!pos || (pos->flags & SWP_NOZORDER) || ::GetAncestor(window, GA_PARENT) != ::GetDesktopWindow())
    return;
  pos->hwndInsertAfter = under && ::IsWindow(under) ? under : HWND_BOTTOM;
}

// The system's hourglass, IDC_WAIT.
constexpr WORD kHourglassPointer = 32514;

BusyPointer::BusyPointer()
    : previous_(::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(kHourglassPointer)))) {}

BusyPointer::~BusyPointer() { ::SetCursor(previous_); }

void WaitMilliseconds(long& milliseconds, const std::function<bool()>& stop) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point end = Clock::now() + std::chrono::milliseconds(milliseconds);
  for (;;) {
    const Clock::time_point now = Clock::now();
    if (now >= end) return;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - now).count();
    // Sleep until a message arrives or the time is up, instead of spinning.
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
    if (!DispatchQueue()) return;
    if (stop && stop()) {
      milliseconds = 0;
      return;
    }
  }
}

}  // namespace velmora
