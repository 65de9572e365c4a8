#include "startup/FrmWaiting.h"

#include "common/Dpi.h"
#include "common/Units.h"
#include "controls/AreaResample.h"
#include "controls/NineSlice.h"
#include "controls/RgbPictureGdi.h"
#include "resources/ResourceIds.h"
#include "settingsdialog/Skin.h"

namespace velmora {
namespace {

// The splash picture at `dpi`: the one drawn for 96 DPI or the one drawn
// twice as large, taken as it is at its own scale and averaged by area to
// any other.
RgbPicture SplashPicture(int dpi) {
  const int artScale = ArtScaleForDpi(dpi);
  std::optional<RgbPicture> art = EmbeddedRgbPicture(artScale == 2 ? IDR_SPLASH_2X_PNG : IDR_SPLASH_BMP);
  if (!art && artScale == 2) art = EmbeddedRgbPicture(IDR_SPLASH_BMP);
  if (!art) return {};
  const int width = ScaleToDpi(FrmWaiting::kPictureWidth, dpi), height = ScaleToDpi(FrmWaiting::kPictureHeight, dpi);
  if (art->width == width && art->height == height) return std::move(*art);
  return ScaledByArea(*art, width, height);
}

}  // namespace

bool FrmWaiting::Show() {
  const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN), screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
  dpi_ = DpiAtPoint({screenWidth / 2, screenHeight / 2});
  picture_ = SplashPicture(dpi_);
  const int width = ScaleToDpi(kWidth, dpi_), height = ScaleToDpi(kHeight, dpi_);
  if (!Create({"VelmoraFrmWaiting", "Velmora", WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST,
               (screenWidth - width) / 2, (screenHeight - height) / 2, width, height, nullptr, CLR_INVALID})) {
    return false;
  }
  shape_ = std::make_unique<Transparent>(hwnd());
  skin_ = LoadSkin(hwnd(), appDirectory_, *shape_, dpi_);
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
  DrawRgbPicture(dc, (client.right - picture_.width) / 2, (client.bottom - picture_.height) / 2, picture_);
}

}  // namespace velmora
