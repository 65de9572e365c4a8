#include "startup/FrmWaiting.h"

#include "controls/RgbPictureGdi.h"
#include "resources/ResourceIds.h"
#include "settingsdialog/Skin.h"

namespace velmora {

bool FrmWaiting::Show() {
  picture_.reset(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_SPLASH),
                              IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  BITMAP info{};
  if (picture_ && ::GetObjectA(picture_.get(), sizeof info, &info)) {
    pictureSize_ = {info.bmWidth, info.bmHeight};
  }
  const int x = (::GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
  const int y = (::GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
  if (!Create({"VelmoraFrmWaiting", "Velmora", WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, x, y,
               kWidth, kHeight, nullptr, CLR_INVALID})) {
    return false;
  }
  shape_ = std::make_unique<Transparent>(hwnd());
  skin_ = LoadSkin(hwnd(), appDirectory_, *shape_);
  ::SetTimer(hwnd(), kTimerId, kTimerInterval, nullptr);
  ::ShowWindow(hwnd(), SW_SHOW);
  ::UpdateWindow(hwnd());
  return true;
}

LRESULT FrmWaiting::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) {
        ::SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
      }
      break;
    case WM_TIMER:
      if (wParam == kTimerId && loadFinished_ && loadFinished_()) {
        ::KillTimer(hwnd(), kTimerId);
        Destroy();
      }
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the skin covers the window
    case WM_PAINT:
      Paint();
      return 0;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

void FrmWaiting::Paint() {
  const UniquePaint paint = BeginPainting(hwnd());
  const HDC dc = paint.get().paint.hdc;
  if (!dc) return;
  DrawRgbPicture(dc, 0, 0, skin_);
  if (!picture_) return;
  RECT client;
  ::GetClientRect(hwnd(), &client);
  const int left = (client.right - pictureSize_.cx) / 2;
  const int top = (client.bottom - pictureSize_.cy) / 2;
  const UniqueMemoryDc source(::CreateCompatibleDC(dc));
  const UniqueSelection selected = SelectInto(source.get(), picture_.get());
  if (selected)
    ::BitBlt(dc, left, top, pictureSize_.cx, pictureSize_.cy, source.get(), 0, 0, SRCCOPY);
}

}  // namespace velmora
