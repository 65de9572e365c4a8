// An off-screen picture: a bottom-up DIB section of 1, 4, 8, 16, 24 or 32
// bits per pixel selected into a memory DC of its own, with direct access to
// its pixel bytes. 32-bit surfaces hold blue, green, red and straight alpha.
#pragma once

#include "common/Handles.h"
#include "iconlayer/DibGeometry.h"

#include <windows.h>
#include <olectl.h>

#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

class CDIB {
 public:
  CDIB() = default;
  CDIB(const CDIB&) = delete;
  CDIB& operator=(const CDIB&) = delete;
  ~CDIB() { Destroy(); }

  // Replaces the surface with a new one whose pixels are all 0.
  bool Create(int32_t width, int32_t height, int32_t bitsPerPixel);
  // Loads a .bmp file; the file's bits per pixel, or 0 (surface unchanged
  // when the file is empty or absent).
  int32_t CreateFromBitmapFile(const std::string& path);
  // A surface from a picture object holding a bitmap; 32 bits when asked,
  // otherwise the bitmap's own depth. The bits per pixel, or 0.
  int32_t CreateFromStdPicture(IPicture* picture, bool convertTo32);
  bool CreateFromClipboard();
  // Puts the surface on the clipboard as CF_DIB; the handle given, or null.
  HANDLE CopyToClipboard() const;
  void CloneTo(CDIB& target) const;
  // Writes a BMP file; true when every write succeeded.
  bool Save(const std::string& path) const;
  void Destroy();
  // Exchanges the surfaces of two objects.
  void Swap(CDIB& other) noexcept;

  // Copies a region of another DC to (0, 0); 0 for the surface's own size.
  BOOL LoadBlt(HDC source, int32_t x, int32_t y, int32_t width = 0, int32_t height = 0);
  int Stretch(HDC target, int32_t x, int32_t y, int32_t width, int32_t height, int32_t srcX = 0,
              int32_t srcY = 0, int32_t srcWidth = 0, int32_t srcHeight = 0,
              DWORD rop = SRCCOPY) const;
  // Alpha-blended drawing of a 32-bit surface with an extra constant opacity.
  bool Stretch32(HDC target, int32_t x, int32_t y, int32_t width, int32_t height, int32_t srcX,
                 int32_t srcY, int32_t srcWidth, int32_t srcHeight, uint8_t alpha,
                 bool unused = false, bool smooth = false) const;
  void Cls(COLORREF colour);
  void Reset();
  void SetPalette(const std::vector<uint8_t>& entries);
  void GetPalette(std::vector<uint8_t>& entries) const;
  // A picture object of a copy of the bitmap (the caller releases it).
  IPicture* Image() const;

  static FitRect GetBestFitInfo(int32_t sw, int32_t sh, int32_t bw, int32_t bh, bool always) {
    return velmora::GetBestFitInfo(sw, sh, bw, bh, always);
  }

  HDC hdc() const { return dc_.get(); }
  HBITMAP hDIB() const { return static_cast<HBITMAP>(dib_.get()); }
  uint8_t* lpBits() const { return bits_; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  int32_t BPP() const { return bpp_; }
  int32_t BytesPerScanline() const { return stride_; }
  int32_t Size() const { return stride_ * height_; }
  bool Empty() const { return !dib_; }

 private:
  // The information header followed by the colour table, as the DIB
  // functions take it.
  struct Info {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
  };
  void FillInfo(Info& info) const;
  bool Adopt(UniqueMemoryDc dc, UniqueGdiObject dib);

  UniqueMemoryDc dc_;
  UniqueGdiObject dib_;
  UniqueSelection selection_;  // the DIB selected into the DC
  uint8_t* bits_ = nullptr;
  int32_t width_ = 0, height_ = 0, bpp_ = 0, stride_ = 0;
};

}  // namespace velmora
