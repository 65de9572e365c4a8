// A program of its own showing full screen in front (a game, a video): a
// popup window the size of the screen, brought to the front. Runs until it is
// ended.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = instance;
  wc.lpszClassName = "VelmoraTestFullScreen";
  wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
  ::RegisterClassA(&wc);
  const HWND window = ::CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "Full screen", WS_POPUP | WS_VISIBLE, 0, 0,
                                        ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), nullptr,
                                        nullptr, instance, nullptr);
  if (!window) return 1;
  ::SetForegroundWindow(window);
  MSG msg;
  while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return 0;
}
