#include "settingsdialog/PictureBox.h"

#include "common/DesktopHost.h"
#include "common/FileSystem.h"
#include "iconlayer/DibGeometry.h"
#include "iconlayer/PictureFiles.h"

#include <algorithm>

namespace velmora {

bool PictureBox::Create(HWND parent, int x, int y, int width, int height) {
  if (!drawing_.Create(width, height, 32)) return false;
  Clear(backColor_);
  return Window::Create({"VelmoraPictureBox", "", WS_CHILD | WS_VISIBLE, WS_EX_STATICEDGE, x, y,
                         width, height, parent, CLR_INVALID});
}

bool PictureBox::CreateHidden(int width, int height) {
  if (!drawing_.Create(width, height, 32)) return false;
  Clear(backColor_);
  return true;
}

void PictureBox::Clear(COLORREF colour) {
  backColor_ = colour;
  Fill(colour);
  Refresh();
}

void PictureBox::Fill(COLORREF colour) {
  if (drawing_.Empty()) return;
  // Opaque: pictures faded in over the box blend with what it shows.
  const uint32_t pixel = 0xFF000000u | uint32_t{GetRValue(colour)} << 16 |
                         uint32_t{GetGValue(colour)} << 8 | GetBValue(colour);
  for (int32_t y = 0; y < drawing_.Height(); ++y) {
    auto* row = reinterpret_cast<uint32_t*>(drawing_.lpBits() + static_cast<size_t>(y) * drawing_.BytesPerScanline());
    std::fill(row, row + drawing_.Width(), pixel);
  }
}

void PictureBox::DrawSurface(const CDIB& surface, int x, int y, int width, int height,
                             uint8_t opacity) {
  if (surface.Empty() || drawing_.Empty()) return;
  surface.Stretch32(drawing_.hdc(), x, y, width, height, 0, 0, surface.Width(), surface.Height(),
                    opacity, false, true);
}

void PictureBox::Refresh() {
  if (!hwnd()) return;
  ::InvalidateRect(hwnd(), nullptr, FALSE);
  ::UpdateWindow(hwnd());
}

bool PictureBox::LoadLogo(const std::string& file, int mode, const std::string& appDirectory,
                          const std::function<bool()>& stopFade) {
  if (file.empty() || drawing_.Empty()) return false;
  PictureFile picture(file);
  uint32_t sw = 0, sh = 0;
  if (!picture.Size(sw, sh)) return false;
  const int w = drawing_.Width(), h = drawing_.Height();
  const FitRect fit = GetBestFitInfo(static_cast<int32_t>(sw), static_cast<int32_t>(sh), w - 4, h - 4, false);
  CDIB surface;
  if (fit.width <= 0 || fit.height <= 0 || !picture.Render(fit.width, fit.height, surface)) return false;
  Fill(backColor_);
  switch (mode) {
    case 0:
    case 2: {
      const int step = mode == 0 ? 10 : 20;
      for (int opacity = 0; opacity <= 255 - (mode == 0 ? 5 : 15); opacity += step) {
        DispatchPendingMessages();
        DrawSurface(surface, fit.left, fit.top, fit.width, fit.height, static_cast<uint8_t>(opacity));
        Refresh();
        long wait = 10;  // FadeWait
        WaitMilliseconds(wait, stopFade);
        if (wait == 0 && stopFade && stopFade()) break;
      }
      break;
    }
    case 1:
    case 3:
      DrawSurface(surface, 0, 0, w, h, 255);
      Refresh();
      if (mode == 3) SaveDCAsBitmap(appDirectory + "\\BgTemp.bmp");  // the caller does not look
      break;
    default:
      break;
  }
  return true;
}

bool PictureBox::SaveDCAsBitmap(const std::string& path) const {
  if (drawing_.Empty()) return false;
  const int w = drawing_.Width(), h = drawing_.Height();
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = h;  // bottom-up rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  const int32_t stride = BytesPerScanline(w, 24);
  std::string pixels(static_cast<size_t>(stride) * h, '\0');
  if (::GetDIBits(drawing_.hdc(), drawing_.hDIB(), 0, static_cast<UINT>(h), pixels.data(), &info,
                  DIB_RGB_COLORS) != h)
    return false;
  std::string file = BmpHeaders(w, h, 24, 0, static_cast<int32_t>(pixels.size()));
  for (int i = 2; i < 6; ++i) file[static_cast<size_t>(i)] = '\0';  // the file-size field
  return ReplaceWholeFile(path, file + pixels);
}

LRESULT PictureBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE: {
      // A new size (the dialog moved to a monitor of another scale): a
      // drawing of that size in the box's colour; the next picture fills it.
      // The drawing is the window's size, border included, as it was made.
      RECT place{};
      ::GetWindowRect(hwnd(), &place);
      const int w = place.right - place.left, h = place.bottom - place.top;
      if (w > 0 && h > 0 && (w != drawing_.Width() || h != drawing_.Height()) && drawing_.Create(w, h, 32))
        Clear(backColor_);
      return 0;
    }
    case WM_PAINT: {
      const UniquePaint paint = BeginPainting(hwnd());
      if (paint.get().paint.hdc && !drawing_.Empty())
        drawing_.Stretch(paint.get().paint.hdc, 0, 0, drawing_.Width(), drawing_.Height());
      return 0;
    }
  }
  return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace velmora
