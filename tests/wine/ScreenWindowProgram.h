// The body of a small test program of its own: one popup window the size of
// the screen (or of the rectangle "x y width height" on its command line),
// shown until the program is ended.
#pragma once

#include <windows.h>

#include <cstdio>

namespace velmora::test {

// Returns the program's exit code: 1 when the window cannot be made.
inline int RunScreenWindow(HINSTANCE instance, const char* className, const char* title, DWORD exStyle,
                           DWORD style, bool bringToFront, const char* commandLine = "") {
  int x = 0, y = 0, width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
  if (commandLine) std::sscanf(commandLine, "%d %d %d %d", &x, &y, &width, &height);
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = instance;
  wc.lpszClassName = className;
  wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
  ::RegisterClassA(&wc);
  const HWND window = ::CreateWindowExA(exStyle, className, title, WS_POPUP | WS_VISIBLE | style, x, y, width,
                                        height, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  if (bringToFront) ::SetForegroundWindow(window);
  MSG msg;
  while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return 0;
}

}  // namespace velmora::test
