#include "iconlayer/CDIB.h"

#include "common/Handles.h"
#include "common/WinText.h"
#include "iconlayer/GdiPlusPictures.h"

#include <cstring>
#include <utility>

namespace velmora {

void CDIB::FillInfo(Info& info) const {
  std::memset(&info, 0, sizeof info);
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = width_;
  info.header.biHeight = height_;
  info.header.biPlanes = 1;
  info.header.biBitCount = static_cast<WORD>(bpp_);
  if (dib_ && PaletteEntries(bpp_) > 0)
    ::GetDIBColorTable(hdc(), 0, PaletteEntries(bpp_), info.colours);
}

bool CDIB::Create(int32_t width, int32_t height, int32_t bitsPerPixel) {
  Destroy();
  if (width <= 0 || height <= 0) return false;
  Info info{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = width;
  info.header.biHeight = height;
  info.header.biPlanes = 1;
  info.header.biBitCount = static_cast<WORD>(bitsPerPixel);
  UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
  if (!dc) return false;
  void* bits = nullptr;
  UniqueGdiObject dib(::CreateDIBSection(dc.get(), reinterpret_cast<BITMAPINFO*>(&info),
                                         DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dib || !bits) return false;
  width_ = width;
  height_ = height;
  bpp_ = bitsPerPixel;
  stride_ = velmora::BytesPerScanline(width, bitsPerPixel);
  bits_ = static_cast<uint8_t*>(bits);
  return Adopt(std::move(dc), std::move(dib));
}

bool CDIB::Adopt(UniqueMemoryDc dc, UniqueGdiObject dib) {
  dc_ = std::move(dc);
  dib_ = std::move(dib);
  selection_ = SelectInto(dc_.get(), dib_.get());
  return true;
}

int32_t CDIB::CreateFromBitmapFile(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(SystemPath(path).c_str(), GetFileExInfoStandard, &data) ||
      (data.nFileSizeLow == 0 && data.nFileSizeHigh == 0))
    return 0;
  Destroy();
  UniqueGdiObject loaded(::LoadImageW(nullptr, Wide(path).c_str(), IMAGE_BITMAP, 0, 0,
                                      LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  if (!loaded) return 0;
  DIBSECTION section{};
  if (::GetObjectA(loaded.get(), sizeof section, &section) != sizeof section ||
      !section.dsBm.bmBits)
    return 0;
  UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
  if (!dc) return 0;
  width_ = section.dsBm.bmWidth;
  height_ = section.dsBm.bmHeight;
  bpp_ = section.dsBm.bmBitsPixel;
  stride_ = velmora::BytesPerScanline(width_, bpp_);
  bits_ = static_cast<uint8_t*>(section.dsBm.bmBits);
  Adopt(std::move(dc), std::move(loaded));
  return bpp_;
}

int32_t CDIB::CreateFromStdPicture(IPicture* picture, bool convertTo32) {
  if (!picture) return 0;
  SHORT type = 0;
  OLE_HANDLE handle = 0;
  if (FAILED(picture->get_Type(&type)) || type != PICTYPE_BITMAP ||
      FAILED(picture->get_Handle(&handle)))
    return 0;
  const HBITMAP bitmap = reinterpret_cast<HBITMAP>(static_cast<uintptr_t>(handle));
  if (::GetObjectType(bitmap) != OBJ_BITMAP) return 0;
  BITMAP info{};
  if (!::GetObjectA(bitmap, sizeof info, &info)) return 0;
  if (convertTo32) {
    if (!Create(info.bmWidth, info.bmHeight, 32)) return 0;
    const UniqueMemoryDc source(::CreateCompatibleDC(nullptr));
    if (!source) return 0;
    const UniqueSelection selected = SelectInto(source.get(), bitmap);
    if (info.bmBitsPixel <= 8) {
      RGBQUAD table[256];
      const UINT n = ::GetDIBColorTable(source.get(), 0, 256, table);
      if (n) ::SetDIBColorTable(hdc(), 0, n, table);
    }
    ::BitBlt(hdc(), 0, 0, width_, height_, source.get(), 0, 0, SRCCOPY);
    return info.bmBitsPixel;
  }
  if (!Create(info.bmWidth, info.bmHeight, info.bmBitsPixel)) return 0;
  ::GetBitmapBits(bitmap, Size(), bits_);
  return bpp_;
}

bool CDIB::CreateFromClipboard() {
  if (!::OpenClipboard(nullptr)) return false;
  bool made = false;
  if (const HANDLE data = ::GetClipboardData(CF_DIB)) {
    const SIZE_T available = ::GlobalSize(data);
    if (const auto* header = static_cast<const BITMAPINFOHEADER*>(::GlobalLock(data))) {
      if (available >= sizeof *header && header->biHeight > 0 &&
          (header->biCompression == BI_RGB || header->biCompression == BI_BITFIELDS) &&
          Create(header->biWidth, header->biHeight, header->biBitCount)) {
        const int32_t entries = PaletteEntries(bpp_);
        const uint8_t* after = reinterpret_cast<const uint8_t*>(header) + header->biSize;
        // A bitfields DIB stores three masks before the pixels.
        if (header->biCompression == BI_BITFIELDS) after += 12;
        const SIZE_T needed = static_cast<SIZE_T>(after - reinterpret_cast<const uint8_t*>(header)) +
                              entries * 4 + Size();
        if (needed <= available) {
          if (entries) ::SetDIBColorTable(hdc(), 0, entries, reinterpret_cast<const RGBQUAD*>(after));
          std::memcpy(bits_, after + entries * 4, Size());
          made = true;
        } else {
          Destroy();
        }
      }
      ::GlobalUnlock(data);
    }
  }
  ::CloseClipboard();
  return made;
}

HANDLE CDIB::CopyToClipboard() const {
  if (!dib_) return nullptr;
  const int32_t entries = PaletteEntries(bpp_);
  const SIZE_T bytes = sizeof(BITMAPINFOHEADER) + entries * 4 + Size();
  UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, bytes));
  if (!memory) return nullptr;
  auto* out = static_cast<uint8_t*>(::GlobalLock(memory.get()));
  if (!out) return nullptr;
  Info info;
  FillInfo(info);
  std::memcpy(out, &info.header, sizeof info.header);
  std::memcpy(out + sizeof info.header, info.colours, entries * 4);
  std::memcpy(out + sizeof info.header + entries * 4, bits_, Size());
  ::GlobalUnlock(memory.get());
  if (!::OpenClipboard(nullptr)) return nullptr;
  ::EmptyClipboard();
  const HANDLE given = ::SetClipboardData(CF_DIB, memory.get());
  ::CloseClipboard();
  if (given) memory.release();  // the clipboard's now; still ours when it refused it
  return given;
}

void CDIB::CloneTo(CDIB& target) const {
  if (&target == this || !dib_ || !target.Create(width_, height_, bpp_)) return;
  if (const int32_t entries = PaletteEntries(bpp_)) {
    RGBQUAD table[256];
    const UINT n = ::GetDIBColorTable(hdc(), 0, entries, table);
    ::SetDIBColorTable(target.hdc(), 0, n, table);
  }
  std::memcpy(target.bits_, bits_, Size());
}

bool CDIB::Save(const std::string& path) const {
  if (!dib_) return false;
  const UniqueFile file(::CreateFileW(SystemPath(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  const int32_t entries = PaletteEntries(bpp_);
  Info info;
  FillInfo(info);
  const std::string headers = BmpHeaders(width_, height_, bpp_, entries, Size());
  auto write = [&](const void* data, size_t size) {
    DWORD written = 0;
    return ::WriteFile(file.get(), data, static_cast<DWORD>(size), &written, nullptr) &&
           written == size;
  };
  bool ok = write(headers.data(), headers.size());
  ok = write(info.colours, static_cast<size_t>(entries) * 4) && ok;
  ok = write(bits_, static_cast<size_t>(Size())) && ok;
  return ok;
}

void CDIB::Destroy() {
  selection_.reset();  // the bitmap leaves the DC before either goes
  dc_.reset();
  dib_.reset();
  bits_ = nullptr;
  width_ = height_ = bpp_ = stride_ = 0;
}

void CDIB::Swap(CDIB& other) noexcept {
  std::swap(dc_, other.dc_);
  std::swap(dib_, other.dib_);
  std::swap(selection_, other.selection_);
  std::swap(bits_, other.bits_);
  std::swap(width_, other.width_);
  std::swap(height_, other.height_);
  std::swap(bpp_, other.bpp_);
  std::swap(stride_, other.stride_);
}

BOOL CDIB::LoadBlt(HDC source, int32_t x, int32_t y, int32_t width, int32_t height) {
  if (!dib_) return FALSE;
  return ::BitBlt(hdc(), 0, 0, width ? width : width_, height ? height : height_, source, x, y,
                  SRCCOPY);
}

int CDIB::Stretch(HDC target, int32_t x, int32_t y, int32_t width, int32_t height, int32_t srcX,
                  int32_t srcY, int32_t srcWidth, int32_t srcHeight, DWORD rop) const {
  if (!dib_) return 0;
  Info info;
  FillInfo(info);
  const int oldMode = ::SetStretchBltMode(target, COLORONCOLOR);
  // The bitmap is bottom-up: the source y counts from the bottom row.
  const int32_t sw = srcWidth ? srcWidth : width_;
  const int32_t sh = srcHeight ? srcHeight : height_;
  const int result =
      ::StretchDIBits(target, x, y, width, height, srcX, height_ - srcY - sh, sw, sh, bits_,
                      reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, rop);
  ::SetStretchBltMode(target, oldMode);
  return result;
}

bool CDIB::Stretch32(HDC target, int32_t x, int32_t y, int32_t width, int32_t height,
                     int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight,
                     uint8_t alpha, bool, bool smooth) const {
  return AlphaStretchSurface(*this, target, x, y, width, height, srcX, srcY, srcWidth, srcHeight,
                             alpha, smooth);
}

void CDIB::Cls(COLORREF colour) {
  if (!dib_) return;
  const UniqueGdiObject brush(::CreateSolidBrush(colour));
  const RECT all{0, 0, width_, height_};
  ::FillRect(hdc(), &all, static_cast<HBRUSH>(brush.get()));
}

void CDIB::Reset() {
  if (bits_) std::memset(bits_, 0, Size());
}

void CDIB::SetPalette(const std::vector<uint8_t>& entries) {
  if (!dib_ || entries.size() < 4) return;
  const UINT n = static_cast<UINT>(std::min<size_t>(entries.size() / 4, 256));
  ::SetDIBColorTable(hdc(), 0, n, reinterpret_cast<const RGBQUAD*>(entries.data()));
}

void CDIB::GetPalette(std::vector<uint8_t>& entries) const {
  const int32_t n = PaletteEntries(bpp_);
  entries.assign(static_cast<size_t>(n) * 4, 0);
  if (dib_ && n) ::GetDIBColorTable(hdc(), 0, n, reinterpret_cast<RGBQUAD*>(entries.data()));
}

IPicture* CDIB::Image() const {
  if (!dib_) return nullptr;
  // The picture gets a copy of its own, so surface and picture never delete
  // the same bitmap.
  UniqueGdiObject copy(::CopyImage(dib_.get(), IMAGE_BITMAP, 0, 0, 0));
  if (!copy) return nullptr;
  PICTDESC desc{};
  desc.cbSizeofstruct = sizeof desc;
  desc.picType = PICTYPE_BITMAP;
  desc.bmp.hbitmap = static_cast<HBITMAP>(copy.get());
  IPicture* picture = nullptr;
  if (FAILED(::OleCreatePictureIndirect(&desc, IID_IPicture, TRUE,
                                        reinterpret_cast<void**>(&picture))))
    return nullptr;
  copy.release();  // the picture owns it now
  return picture;
}

}  // namespace velmora
