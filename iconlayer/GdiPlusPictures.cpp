#include "iconlayer/GdiPlusPictures.h"

#include "iconlayer/CDIB.h"
#include "common/EmbeddedResource.h"
#include "common/FileSystem.h"
#include "common/Handles.h"
#include "iconlayer/PixelBlend.h"

#include <shlwapi.h>

#include <vector>

namespace velmora {

using namespace Gdiplus;

LoadedPicture LoadPicture(const std::string& path) {
  // The whole file in memory, so that the picture does not keep the file
  // open (a picture loaded from a file locks it for as long as it lives).
  if (path.empty()) return {};
  const std::optional<std::string> bytes = ReadWholeFile(path, kMaxPictureFileBytes);
  return bytes ? LoadPictureFromBytes(*bytes) : LoadedPicture{};
}

LoadedPicture LoadProgramPicture(const std::string& path, int embeddedId) {
  if (LoadedPicture picture = LoadPicture(path)) return picture;
  const std::optional<std::string> embedded = EmbeddedResource(embeddedId);
  return embedded ? LoadPictureFromBytes(*embedded) : LoadedPicture{};
}

LoadedPicture LoadPictureFromBytes(const std::string& bytes) {
  LoadedPicture picture;
  if (bytes.empty()) return picture;
  const ComPtr<IStream> stream(::SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()),
                                                    static_cast<UINT>(bytes.size())));
  if (!stream) return picture;
  GpImage* image = nullptr;
  // The picture holds a reference of its own.
  const GpStatus status = gdip::GdipLoadImageFromStream(stream.get(), &image);
  if (status != Ok || !image) return picture;
  GdipImage owned(image);
  UINT width = 0, height = 0;
  if (gdip::GdipGetImageWidth(image, &width) != Ok ||
      gdip::GdipGetImageHeight(image, &height) != Ok || width == 0 || height == 0 ||
      static_cast<uint64_t>(width) * height > kMaxPicturePixels)
    return picture;
  picture.image = std::move(owned);
  picture.width = width;
  picture.height = height;
  return picture;
}

bool RenderImageToSurface(CDIB& surface, GpImage* image) {
  if (!image || surface.BPP() != 32 || surface.Empty()) return false;
  const INT w = surface.Width(), h = surface.Height();
  GpBitmap* bitmap = nullptr;
  if (gdip::GdipCreateBitmapFromScan0(w, h, 0, PixelFormat32bppARGB, nullptr, &bitmap) != Ok)
    return false;
  const GdipImage ownedBitmap(AsImage(bitmap));
  GdipGraphics graphics;
  if (gdip::GdipGetImageGraphicsContext(bitmap, graphics.put()) != Ok) return false;
  if (gdip::GdipDrawImageRectI(graphics.get(), image, 0, 0, w, h) != Ok) return false;
  graphics.reset();  // drawing must be finished before the bits are read

  BitmapData data{};
  data.Width = static_cast<UINT>(w);
  data.Height = static_cast<UINT>(h);
  data.Stride = -surface.BytesPerScanline();
  data.PixelFormat = PixelFormat32bppARGB;
  data.Scan0 = surface.lpBits() + static_cast<intptr_t>(h - 1) * surface.BytesPerScanline();
  const GpRect all(0, 0, w, h);
  if (gdip::GdipBitmapLockBits(bitmap, &all, ImageLockModeRead | ImageLockModeUserInputBuf,
                               PixelFormat32bppARGB, &data) != Ok)
    return false;
  return gdip::GdipBitmapUnlockBits(bitmap, &data) == Ok;
}

namespace {

// The pixels of a 32-bit DIB section selected into a plain memory DC, when
// the target is one; drawing into it directly avoids copying the surface.
bool DirectTarget(HDC dc, PixelView& view) {
  const HGDIOBJ selected = ::GetCurrentObject(dc, OBJ_BITMAP);
  DIBSECTION section{};
  if (!selected || ::GetObjectA(selected, sizeof section, &section) != sizeof section) return false;
  if (section.dsBm.bmBitsPixel != 32 || !section.dsBm.bmBits) return false;
  POINT origin{};
  ::GetViewportOrgEx(dc, &origin);
  if (origin.x || origin.y || ::GetGraphicsMode(dc) != GM_COMPATIBLE) return false;
  const UniqueGdiObject clip(::CreateRectRgn(0, 0, 0, 0));
  if (!clip || ::GetClipRgn(dc, static_cast<HRGN>(clip.get())) != 0) return false;
  ::GdiFlush();  // pending GDI drawing must land before we touch the bits
  const int32_t height = section.dsBmih.biHeight;
  const int32_t stride = section.dsBm.bmWidthBytes;
  auto* bits = static_cast<uint8_t*>(section.dsBm.bmBits);
  view.width = section.dsBm.bmWidth;
  if (height > 0) {  // bottom-up
    view.height = height;
    view.rows = bits + static_cast<intptr_t>(height - 1) * stride;
    view.stride = -stride;
  } else {
    view.height = -height;
    view.rows = bits;
    view.stride = stride;
  }
  return true;
}

bool GdiplusStretch(const CDIB& surface, HDC target, const GpRect& to, const GpRect& from,
                    uint8_t alpha, bool smooth) {
  GdipGraphics graphics;
  if (gdip::GdipCreateFromHDC(target, graphics.put()) != Ok) return false;
  GpBitmap* bitmap = nullptr;
  if (gdip::GdipCreateBitmapFromScan0(surface.Width(), surface.Height(), 0, PixelFormat32bppARGB,
                                      nullptr, &bitmap) != Ok)
    return false;
  const GdipImage ownedBitmap(AsImage(bitmap));
  BitmapData data{};
  data.Width = static_cast<UINT>(surface.Width());
  data.Height = static_cast<UINT>(surface.Height());
  data.Stride = -surface.BytesPerScanline();
  data.PixelFormat = PixelFormat32bppARGB;
  data.Scan0 = surface.lpBits() +
               static_cast<intptr_t>(surface.Height() - 1) * surface.BytesPerScanline();
  const GpRect all(0, 0, surface.Width(), surface.Height());
  if (gdip::GdipBitmapLockBits(bitmap, &all, ImageLockModeWrite | ImageLockModeUserInputBuf,
                               PixelFormat32bppARGB, &data) != Ok)
    return false;
  gdip::GdipBitmapUnlockBits(bitmap, &data);

  ColorMatrix matrix{};
  for (int i = 0; i < 5; ++i) matrix.m[i][i] = 1.0f;
  matrix.m[3][3] = alpha / 255.0f;
  GdipAttributes attributes;
  if (gdip::GdipCreateImageAttributes(attributes.put()) != Ok) return false;
  gdip::GdipSetImageAttributesColorMatrix(attributes.get(), ColorAdjustTypeDefault, TRUE, &matrix,
                                          nullptr, ColorMatrixFlagsDefault);
  gdip::GdipSetCompositingMode(graphics.get(), CompositingModeSourceOver);
  gdip::GdipSetInterpolationMode(graphics.get(), smooth ? InterpolationModeHighQualityBicubic
                                                        : InterpolationModeNearestNeighbor);
  gdip::GdipSetPixelOffsetMode(graphics.get(), PixelOffsetModeHighQuality);
  return gdip::GdipDrawImageRectRectI(graphics.get(), bitmap, to.X, to.Y, to.Width, to.Height,
                                      from.X, from.Y, from.Width, from.Height, UnitPixel,
                                      attributes.get(), nullptr, nullptr) == Ok;
}

}  // namespace

bool AlphaStretchSurface(const CDIB& surface, HDC target, int32_t x, int32_t y, int32_t width,
                         int32_t height, int32_t srcX, int32_t srcY, int32_t srcWidth,
                         int32_t srcHeight, uint8_t alpha, bool smooth) {
  if (surface.BPP() != 32 || surface.Empty() || !target) return false;
  if (srcWidth == 0) srcWidth = surface.Width();
  if (srcHeight == 0) srcHeight = surface.Height();
  PixelView into;
  if (DirectTarget(target, into)) {
    const PixelView from{surface.lpBits() + static_cast<intptr_t>(surface.Height() - 1) *
                                                surface.BytesPerScanline(),
                         surface.Width(), surface.Height(), -surface.BytesPerScanline()};
    return StretchBlend(from, {srcX, srcY, srcWidth, srcHeight}, into, {x, y, width, height},
                        alpha, smooth);
  }
  return GdiplusStretch(surface, target, GpRect(x, y, width, height),
                        GpRect(srcX, srcY, srcWidth, srcHeight), alpha, smooth);
}

}  // namespace velmora
