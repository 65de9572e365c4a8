#include "settingsdialog/SkinnedFrame.h"

#include "common/Handles.h"
#include "common/Units.h"
#include "common/WinText.h"
#include "controls/RgbPictureGdi.h"
#include "settingsdialog/Skin.h"

namespace velmora {

bool SkinnedFrame::CreateSkinned(HWND owner, int x, int y, int width, int height) {
  if (!Create({"VelmoraSkinnedFrame", title_.c_str(), WS_POPUP | WS_CLIPCHILDREN, 0, x, y, width,
               height, owner, CLR_INVALID}))
    return false;
  shape_ = std::make_unique<Transparent>(hwnd());
  Reskin();
  return true;
}

void SkinnedFrame::SetDpi(int dpi) { dpi_ = dpi > 0 ? dpi : kBaseDpi; }

int SkinnedFrame::Px(int at96) const { return ScaleToDpi(at96, dpi_); }

void SkinnedFrame::Reskin() {
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  skinnedSize_ = {client.right, client.bottom};
  skin_ = LoadSkin(hwnd(), appDirectory_, *shape_, dpi_);
  ::InvalidateRect(hwnd(), nullptr, FALSE);
}

bool SkinnedFrame::Show(HWND owner, int x, int y, int width, int height) {
  if (!CreateSkinned(owner, x, y, width, height)) return false;
  ::ShowWindow(hwnd(), SW_SHOW);
  ::UpdateWindow(hwnd());
  return true;
}

RECT SkinnedFrame::TitleStrip() const {
  RECT client{};
  if (hwnd()) ::GetClientRect(hwnd(), &client);
  return {0, 0, client.right, Px(kTitleStripHeight)};
}

void SkinnedFrame::PaintFace(HDC dc) {
  DrawRgbPicture(dc, 0, 0, skin_);
  // The title, white and bold, beside the mark in the title band.
  LOGFONTW face{};
  face.lfHeight = -Px(11);
  face.lfWeight = FW_BOLD;
  face.lfQuality = CLEARTYPE_QUALITY;
  wcscpy_s(face.lfFaceName, L"Tahoma");
  const UniqueGdiObject font(::CreateFontIndirectW(&face));
  const UniqueSelection selected = SelectInto(dc, font.get());
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, RGB(255, 255, 255));
  RECT band = TitleStrip();
  band.left = Px(34);
  const std::wstring text = Wide(title_);
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &band,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

LRESULT SkinnedFrame::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the skin covers the window
    case WM_SIZE:
      // A new size (a move to a monitor of another scale) takes a new skin.
      if (shape_ && (LOWORD(lParam) != skinnedSize_.cx || HIWORD(lParam) != skinnedSize_.cy)) Reskin();
      break;
    case WM_PAINT: {
      const UniquePaint paint = BeginPainting(hwnd());
      if (paint.get().paint.hdc) PaintFace(paint.get().paint.hdc);
      return 0;
    }
    case WM_LBUTTONDOWN: {
      const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      const RECT strip = TitleStrip();
      if (::PtInRect(&strip, at)) DragByTitleStrip(hwnd());
      return 0;
    }
  }
  return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace velmora
