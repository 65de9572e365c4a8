#include "controls/ucCustomButton.h"

#include "common/Units.h"
#include "common/WinText.h"
#include "controls/NineSlice.h"
#include "controls/RgbPictureGdi.h"
#include "resources/ResourceIds.h"

#include <windowsx.h>

namespace velmora {
namespace {

// The three face templates, at 96 DPI and twice as large, read once from
// the program; the one for `dpi`, and in `artScale` which.
const RgbPicture& FaceTemplate(ucCustomButton::Look look, int dpi, int& artScale) {
  static const RgbPicture faces[2][3] = {
      {EmbeddedRgbPicture(IDR_BUTTON_UP_BMP).value_or(RgbPicture()),
       EmbeddedRgbPicture(IDR_BUTTON_DOWN_BMP).value_or(RgbPicture()),
       EmbeddedRgbPicture(IDR_BUTTON_DISABLED_BMP).value_or(RgbPicture())},
      {EmbeddedRgbPicture(IDR_BUTTON_UP_2X_PNG).value_or(RgbPicture()),
       EmbeddedRgbPicture(IDR_BUTTON_DOWN_2X_PNG).value_or(RgbPicture()),
       EmbeddedRgbPicture(IDR_BUTTON_DISABLED_2X_PNG).value_or(RgbPicture())},
  };
  const int which = static_cast<int>(look);
  return ArtForDpi(faces[0][which], faces[1][which], dpi, artScale);
}

int ShiftState(WPARAM keys) {
  return ((keys & MK_SHIFT) ? 1 : 0) | ((keys & MK_CONTROL) ? 2 : 0) |
         ((::GetKeyState(VK_MENU) < 0) ? 4 : 0);
}

}  // namespace

bool ucCustomButton::Create(HWND parent, int x, int y, int width, int height,
                            const std::string& caption) {
  caption_ = caption;
  return Window::Create({"VelmoraCustomButton", "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, x, y,
                         width, height, parent, CLR_INVALID});
}

void ucCustomButton::SetCaption(const std::string& caption) {
  caption_ = caption;
  ShowLook(enabled_ ? Look::kUp : Look::kDisabled);
}

void ucCustomButton::SetEnabled(bool enabled) {
  enabled_ = enabled;
  if (hwnd()) ::EnableWindow(hwnd(), enabled);
  foreColor_ = enabled ? RGB(0, 0, 0) : kDisabledTextColor;
  ShowLook(enabled ? Look::kUp : Look::kDisabled);
}

void ucCustomButton::SetFont(HFONT font) {
  font_ = font;
  if (hwnd()) ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void ucCustomButton::SetDpi(int dpi) {
  dpi_ = dpi > 0 ? dpi : kBaseDpi;
  if (hwnd()) ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void ucCustomButton::ShowLook(Look look) {
  look_ = look;
  if (hwnd()) ::InvalidateRect(hwnd(), nullptr, FALSE);
}

RgbPicture ucCustomButton::RenderFace() const {
  RECT client{};
  if (hwnd()) ::GetClientRect(hwnd(), &client);
  const int w = client.right, h = client.bottom;
  int artScale = 1;
  const RgbPicture& art = FaceTemplate(look_, dpi_, artScale);
  RgbPicture face =
      ComposeNineSlice(art, ButtonFaceSlices(w, h, dpi_, artScale), w, h, SamplingForDpi(dpi_, artScale));
  if (!face) return face;
  // The caption is drawn by the system onto a copy of the face.
  void* bits = nullptr;
  const UniqueGdiObject surface = MakeDibSection(w, h, bits);
  const UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
  if (!surface || !dc) return face;
  std::copy(face.pixels.begin(), face.pixels.end(), static_cast<uint32_t*>(bits));
  {
    const UniqueSelection selected = SelectInto(dc.get(), surface.get());
    const UniqueSelection font = SelectInto(dc.get(), font_ ? font_ : ::GetStockObject(DEFAULT_GUI_FONT));
    const std::wstring text = Wide(caption_);
    SIZE extent{};
    ::GetTextExtentPoint32W(dc.get(), L"Ag", 2, &extent);
    // The caption's line starts half its height above the middle, less 4
    // pixels, which puts it on the raised face above the key's base.
    RECT line{0, h / 2 - extent.cy / 2 - ScaleToDpi(4, dpi_), w, h};
    ::SetBkMode(dc.get(), TRANSPARENT);
    ::SetTextColor(dc.get(), foreColor_);
    ::DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &line,
                DT_CENTER | DT_SINGLELINE);  // "&" marks the access key, as on a button
    ::GdiFlush();
  }
  const auto* drawn = static_cast<const uint32_t*>(bits);
  for (size_t i = 0; i < face.pixels.size(); ++i) face.pixels[i] = drawn[i] & 0xFFFFFF;
  return face;
}

void ucCustomButton::Pressed(int button, WPARAM keys, LPARAM at) {
  if (!enabled_) return;
  ::SetCapture(hwnd());
  ShowLook(Look::kDown);
  if (events_.mouseDown) events_.mouseDown(button, ShiftState(keys), GET_X_LPARAM(at), GET_Y_LPARAM(at));
}

void ucCustomButton::Released(int button, WPARAM keys, LPARAM at) {
  if (!enabled_) return;
  if (!(keys & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) ::ReleaseCapture();
  ShowLook(Look::kUp);
  if (events_.mouseUp) events_.mouseUp(button, ShiftState(keys), GET_X_LPARAM(at), GET_Y_LPARAM(at));
}

LRESULT ucCustomButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN: Pressed(1, wParam, lParam); return 0;
    case WM_RBUTTONDOWN: Pressed(2, wParam, lParam); return 0;
    case WM_MBUTTONDOWN: Pressed(4, wParam, lParam); return 0;
    case WM_LBUTTONUP: Released(1, wParam, lParam); return 0;
    case WM_RBUTTONUP: Released(2, wParam, lParam); return 0;
    case WM_MBUTTONUP: Released(4, wParam, lParam); return 0;
    case WM_SIZE:
      ShowLook(enabled_ ? Look::kUp : Look::kDisabled);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the face covers everything
    case WM_PAINT: {
      const UniquePaint paint = BeginPainting(hwnd());
      DrawRgbPicture(paint.get().paint.hdc, 0, 0, RenderFace());
      return 0;
    }
  }
  return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace velmora
