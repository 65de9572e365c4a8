// The body of a small test program of its own: one popup window the size of
// the screen, shown until the program is ended.
#pragma once

#include <windows.h>

namespace velmora::test {

// Returns the program's exit code: 1 when the window cannot be made.
inline int RunScreenWindow(HINSTANCE instance, const char* className, const char* title, DWORD exStyle,
                           DWORD style, bool bringToFront) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = instance;
  wc.lpszClassName = className;
  wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
  ::RegisterClassA(&wc);
  const HWND window = ::CreateWindowExA(exStyle, className, title, WS_POPUP | WS_VISIBLE | style, 0, 0,
                                        ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN),
                                        nullptr, nullptr, instance, nullptr);
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
