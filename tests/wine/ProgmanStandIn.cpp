// A stand-in for the shell's desktop window, "Program Manager", as another
// process has it on Windows: the program's windows become its children.
// Runs until it is ended.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = instance;
  wc.lpszClassName = "Progman";
  wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
  ::RegisterClassA(&wc);
  const HWND window = ::CreateWindowExA(WS_EX_TOOLWINDOW, "Progman", "Program Manager",
                                        WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                        ::GetSystemMetrics(SM_CXSCREEN),
                                        ::GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                        instance, nullptr);
  if (!window) return 1;
  MSG msg;
  while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return 0;
}
