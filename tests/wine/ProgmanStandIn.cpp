// A stand-in for the shell's desktop window, "Program Manager", as another
// process has it on Windows: the program's windows become its children.
// The command line names the shape of the shell's desktop to build:
//   (none)   "Program Manager" alone
//   icons    "Program Manager" > icon view (Windows 7/8, 10/11 not raised)
//   raised   top-level WorkerW > icon view, an empty WorkerW, then
//            "Program Manager" behind both (10/11 once raised)
//   24h2     "Program Manager" > { icon view, WorkerW }
// The message 0x052C to "Program Manager" raises the "icons" desktop as the
// shell does. The icon view's title counts the button presses it received
// ("presses N"). Runs until it is ended.
#include <windows.h>

#include <cstring>
#include <string>

namespace {

constexpr UINT kRaiseDesktop = 0x052C;
HINSTANCE instance = nullptr;
HWND progman = nullptr, iconView = nullptr;
int presses = 0;
bool raised = false;

LRESULT CALLBACK IconViewProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN) {
    ++presses;
    ::SetWindowTextA(w, ("presses " + std::to_string(presses)).c_str());
  }
  return ::DefWindowProcA(w, m, wp, lp);
}

void Register(const char* name, WNDPROC proc, int brush) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.lpszClassName = name;
  wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(brush));
  ::RegisterClassA(&wc);
}

HWND ScreenWindow(const char* className, const char* title, HWND parent) {
  const DWORD style = (parent ? WS_CHILD : WS_POPUP) | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  return ::CreateWindowExA(parent ? 0 : WS_EX_TOOLWINDOW, className, title, style, 0, 0,
                           ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), parent,
                           nullptr, instance, nullptr);
}

// The icon view moves into a WorkerW of its own in front of an empty one,
// both in front of "Program Manager".
void Raise() {
  if (raised || !iconView) return;
  raised = true;
  const HWND empty = ScreenWindow("WorkerW", "", nullptr);
  const HWND holder = ScreenWindow("WorkerW", "", nullptr);
  ::SetParent(iconView, holder);
  ::SetWindowPos(holder, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ::SetWindowPos(empty, holder, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ::SetWindowPos(progman, empty, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

LRESULT CALLBACK ProgmanProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == kRaiseDesktop) {
    Raise();
    return 0;
  }
  return ::DefWindowProcA(w, m, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE self, HINSTANCE, LPSTR commandLine, int) {
  instance = self;
  const std::string shape = commandLine ? commandLine : "";
  Register("Progman", ProgmanProc, BLACK_BRUSH);
  Register("WorkerW", DefWindowProcA, DKGRAY_BRUSH);
  Register("SHELLDLL_DefView", IconViewProc, GRAY_BRUSH);
  progman = ScreenWindow("Progman", "Program Manager", nullptr);
  if (!progman) return 1;
  if (shape == "icons" || shape == "raised") iconView = ScreenWindow("SHELLDLL_DefView", "presses 0", progman);
  if (shape == "24h2") {
    ScreenWindow("WorkerW", "", progman);
    iconView = ScreenWindow("SHELLDLL_DefView", "presses 0", progman);
  }
  if (shape == "raised") Raise();
  MSG msg;
  while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return 0;
}
