// Process entry: Main, then the message loop until the background window is
// unloaded.
#include "common/Dpi.h"
#include "startup/Main.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Before any window: laid out at each monitor's DPI, not stretched by the
  // system as a bitmap.
  velmora::DeclareDpiAwareness();
  const std::unique_ptr<velmora::DesktopSession> session = velmora::Main();
  if (!session) return 0;
  MSG msg;
  while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (session->TranslateDialogMessage(msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}
