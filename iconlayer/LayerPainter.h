// Drawing the parts of one icon-layer composition with GDI+ onto a
// premultiplied 32-bit surface: icons, labels, the shortcut arrow, the
// pointer-catching rectangles, the preview.
#pragma once

#include "common/GdiPlus.h"
#include "iconlayer/CDIB.h"
#include "iconlayer/Sprite.h"

#include <cstdint>
#include <string>

namespace velmora {

// An icon's pixels with their alpha (the icon's own alpha, or its mask for
// icons without one), premultiplied. Empty for a null icon.
Sprite IconSprite(HICON icon);

// A premultiplied 32-bit surface's pixels as a sprite.
Sprite SpriteOfSurface(const CDIB& surface);

// A GDI+ view of a 32-bit surface's pixels as premultiplied ARGB, and a
// graphics object drawing into it. The surface must outlive it.
class SurfaceCanvas {
 public:
  explicit SurfaceCanvas(CDIB& surface);
  Gdiplus::GpGraphics* graphics() const { return graphics_.get(); }
  explicit operator bool() const { return static_cast<bool>(graphics_); }

 private:
  GdipImage bitmap_;  // declared first: the graphics go before it
  GdipGraphics graphics_;
};

// Draws a straight-alpha 32-bit surface scaled into a rectangle.
bool DrawSurface(Gdiplus::GpGraphics* graphics, const CDIB& surface, int32_t x, int32_t y,
                 int32_t width, int32_t height);

// The fonts, brushes and format of the labels, made once per composition.
class LabelPainter {
 public:
  // `points`: the font's size as points at 96 DPI (scaled for the layer's
  // DPI by the caller); `twoLines`: the height of a long plain label's two lines.
  LabelPainter(const char* fontName, float points, int32_t labelWidth, int32_t twoLines = 27);
  // Draws one label with its shadow; a highlighted label gets a fill and an
  // outline behind it and is never cut.
  void Draw(Gdiplus::GpGraphics* graphics, const std::string& text, int32_t top, int32_t left,
            bool highlighted) const;

 private:
  int32_t labelWidth_;
  int32_t twoLines_;
  GdipOwner<Gdiplus::GpFontFamily, gdip::GdipDeleteFontFamily> family_;
  GdipOwner<Gdiplus::GpFont, gdip::GdipDeleteFont> font_;
  GdipBrush text_, shadow_, fill_;
  GdipOwner<Gdiplus::GpPen, gdip::GdipDeletePen> outline_;
  GdipOwner<Gdiplus::GpStringFormat, gdip::GdipDeleteStringFormat> plain_, whole_;
};

}  // namespace velmora
