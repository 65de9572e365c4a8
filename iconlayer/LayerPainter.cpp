#include "iconlayer/LayerPainter.h"

#include "common/Handles.h"
#include "common/WinText.h"
#include "iconlayer/ColorArgb.h"
#include "iconlayer/ItemRules.h"

#include <cstring>
#include <vector>

namespace velmora {

using namespace Gdiplus;

Sprite IconSprite(HICON icon) {
  ICONINFO info{};
  if (!icon || !::GetIconInfo(icon, &info)) return {};
  const UniqueGdiObject colour(info.hbmColor), mask(info.hbmMask);
  BITMAP bm{};
  if (!::GetObjectA(colour ? colour.get() : mask.get(), sizeof bm, &bm)) return {};
  const int w = bm.bmWidth;
  const int h = colour ? bm.bmHeight : bm.bmHeight / 2;  // a mono icon stacks mask and image
  if (w <= 0 || h <= 0) return {};
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;  // top-down
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  std::vector<uint32_t> pixels(static_cast<size_t>(w) * h), maskBits(static_cast<size_t>(w) * h);
  const WindowDc screenDc = GetWindowDc(nullptr);
  const HDC screen = screenDc.get().dc;
  if (colour) {
    ::GetDIBits(screen, static_cast<HBITMAP>(colour.get()), 0, h, pixels.data(), &bi,
                DIB_RGB_COLORS);
  } else {
    // Black and white icon: the image is the lower half of the mask bitmap.
    std::vector<uint32_t> both(static_cast<size_t>(w) * h * 2);
    BITMAPINFO tall = bi;
    tall.bmiHeader.biHeight = -2 * h;
    ::GetDIBits(screen, static_cast<HBITMAP>(mask.get()), 0, 2 * h, both.data(), &tall,
                DIB_RGB_COLORS);
    std::copy(both.begin() + static_cast<ptrdiff_t>(w) * h, both.end(), pixels.begin());
  }
  bool hasAlpha = false;
  for (uint32_t p : pixels) hasAlpha = hasAlpha || (p >> 24) != 0;
  if (!hasAlpha) {
    ::GetDIBits(screen, static_cast<HBITMAP>(mask.get()), 0, h, maskBits.data(), &bi,
                DIB_RGB_COLORS);
    for (size_t i = 0; i < pixels.size(); ++i)
      pixels[i] = (maskBits[i] & 0xFFFFFF) ? 0 : (pixels[i] | 0xFF000000u);
  }
  return SpriteFromStraight(w, h, pixels.data());
}

Sprite SpriteOfSurface(const CDIB& surface) {
  Sprite sprite;
  if (surface.BPP() != 32 || surface.Empty()) return sprite;
  sprite.width = surface.Width();
  sprite.height = surface.Height();
  sprite.pixels.resize(static_cast<size_t>(sprite.width) * sprite.height);
  for (int32_t y = 0; y < sprite.height; ++y)  // bottom-up rows into top-down ones
    std::memcpy(&sprite.pixels[static_cast<size_t>(y) * sprite.width],
                surface.lpBits() + static_cast<size_t>(sprite.height - 1 - y) * surface.BytesPerScanline(),
                static_cast<size_t>(sprite.width) * 4);
  return sprite;
}

SurfaceCanvas::SurfaceCanvas(CDIB& surface) {
  if (surface.BPP() != 32 || surface.Empty()) return;
  GpBitmap* bitmap = nullptr;
  // Bottom-up rows: start at the top row and step backwards.
  if (gdip::GdipCreateBitmapFromScan0(
          surface.Width(), surface.Height(), -surface.BytesPerScanline(), PixelFormat32bppPARGB,
          surface.lpBits() + static_cast<intptr_t>(surface.Height() - 1) * surface.BytesPerScanline(),
          &bitmap) != Ok)
    return;
  bitmap_ = GdipImage(AsImage(bitmap));
  if (gdip::GdipGetImageGraphicsContext(bitmap, graphics_.put()) != Ok) graphics_.reset();
}

bool DrawSurface(GpGraphics* graphics, const CDIB& surface, int32_t x, int32_t y, int32_t width,
                 int32_t height) {
  if (!graphics || surface.BPP() != 32 || surface.Empty()) return false;
  GpBitmap* bitmap = nullptr;
  if (gdip::GdipCreateBitmapFromScan0(
          surface.Width(), surface.Height(), -surface.BytesPerScanline(), PixelFormat32bppARGB,
          surface.lpBits() + static_cast<intptr_t>(surface.Height() - 1) * surface.BytesPerScanline(),
          &bitmap) != Ok)
    return false;
  const GdipImage owned(AsImage(bitmap));
  return gdip::GdipDrawImageRectI(graphics, bitmap, x, y, width, height) == Ok;
}

LabelPainter::LabelPainter(const char* fontName, float points, int32_t labelWidth, int32_t twoLines)
    : labelWidth_(labelWidth), twoLines_(twoLines) {
  // The named font, else the nearest one present: other plain sans-serif
  // faces, then the system's generic sans-serif family.
  for (const std::wstring& name : {Wide(fontName), std::wstring(L"Segoe UI"),
                                   std::wstring(L"Arial"), std::wstring(L"Microsoft Sans Serif"),
                                   std::wstring(L"Liberation Sans"), std::wstring(L"DejaVu Sans")}) {
    if (gdip::GdipCreateFontFamilyFromName(name.c_str(), nullptr, family_.put()) == Ok) break;
  }
  if (!family_) {
    GpFontFamily* generic = nullptr;
    if (gdip::GdipGetGenericFontFamilySansSerif(&generic) == Ok) {
      gdip::GdipCloneFontFamily(generic, family_.put());
      gdip::GdipDeleteFontFamily(generic);
    }
  }
  // Points at 96 DPI as pixels: the surfaces GDI+ draws on take the
  // screen's DPI, which would scale the already scaled size again.
  constexpr float kPixelsPerPointAt96 = 96.0f / 72.0f;
  if (family_) gdip::GdipCreateFont(family_.get(), points * kPixelsPerPointAt96, FontStyleRegular, UnitPixel, font_.put());
  auto solid = [](GdipBrush& brush, uint32_t argb) {
    GpSolidFill* fill = nullptr;
    if (gdip::GdipCreateSolidFill(argb, &fill) == Ok) brush = GdipBrush(fill);
  };
  solid(text_, ColorARGB(255, 255, 255, 255));
  solid(shadow_, ColorARGB(100, 0, 0, 0));
  solid(fill_, ColorARGB(100, 0, 31, 127));
  gdip::GdipCreatePen1(ColorARGB(150, 255, 255, 255), 1.0f, UnitPixel, outline_.put());
  for (auto* format : {&plain_, &whole_}) {
    gdip::GdipCreateStringFormat(0, LANG_NEUTRAL, format->put());
    gdip::GdipSetStringFormatAlign(format->get(), StringAlignmentCenter);
  }
  gdip::GdipSetStringFormatTrimming(plain_.get(), StringTrimmingEllipsisCharacter);
}

void LabelPainter::Draw(GpGraphics* g, const std::string& text, int32_t top, int32_t left,
                        bool highlighted) const {
  if (!g || !font_) return;
  const std::wstring wide = Wide(text);
  const std::string trimmed = text.substr(0, text.find_last_not_of(' ') + 1);
  const float height = static_cast<float>(LabelBoxHeight(text, highlighted, twoLines_));
  GpStringFormat* format = highlighted ? whole_.get() : plain_.get();
  RectF box(static_cast<float>(left), static_cast<float>(top + 1),
            static_cast<float>(labelWidth_), height);
  gdip::GdipSetTextRenderingHint(g, TextRenderingHintAntiAlias);
  gdip::GdipDrawString(g, wide.c_str(), -1, font_.get(), &box, format, shadow_.get());
  gdip::GdipSetTextRenderingHint(g, TextRenderingHintSystemDefault);
  box.Y = static_cast<float>(top);
  if (highlighted) {
    const std::wstring measured = Wide(trimmed.substr(trimmed.find_first_not_of(' ') ==
                                                                   std::string::npos
                                                               ? trimmed.size()
                                                               : trimmed.find_first_not_of(' ')));
    RectF bounds;
    INT chars = 0, lines = 0;
    gdip::GdipMeasureString(g, measured.c_str(), -1, font_.get(), &box, format, &bounds, &chars,
                            &lines);
    bounds.X = (labelWidth_ - bounds.Width) / 2 + left - 1;
    gdip::GdipFillRectangle(g, fill_.get(), bounds.X, bounds.Y, bounds.Width, bounds.Height);
    gdip::GdipDrawRectangleI(g, outline_.get(), static_cast<INT>(bounds.X + 0.5f),
                             static_cast<INT>(bounds.Y + 0.5f), static_cast<INT>(bounds.Width + 0.5f),
                             static_cast<INT>(bounds.Height + 0.5f));
  }
  gdip::GdipDrawString(g, wide.c_str(), -1, font_.get(), &box, format, text_.get());
}

}  // namespace velmora
