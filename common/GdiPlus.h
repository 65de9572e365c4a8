// Owners for GDI+ objects of the flat interface.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <string>

namespace velmora {

namespace gdip = Gdiplus::DllExports;

template <typename T, Gdiplus::GpStatus (WINAPI* Free)(T*)>
class GdipOwner {
 public:
  GdipOwner() = default;
  explicit GdipOwner(T* p) : p_(p) {}
  GdipOwner(const GdipOwner&) = delete;
  GdipOwner& operator=(const GdipOwner&) = delete;
  GdipOwner(GdipOwner&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
  GdipOwner& operator=(GdipOwner&& o) noexcept {
    if (this != &o) {
      reset();
      p_ = o.p_;
      o.p_ = nullptr;
    }
    return *this;
  }
  ~GdipOwner() { reset(); }
  T* get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  void reset() {
    if (p_) Free(p_);
    p_ = nullptr;
  }
  T** put() {
    reset();
    return &p_;
  }

 private:
  T* p_ = nullptr;
};

using GdipImage = GdipOwner<Gdiplus::GpImage, gdip::GdipDisposeImage>;
using GdipGraphics = GdipOwner<Gdiplus::GpGraphics, gdip::GdipDeleteGraphics>;
using GdipAttributes = GdipOwner<Gdiplus::GpImageAttributes, gdip::GdipDisposeImageAttributes>;
using GdipBrush = GdipOwner<Gdiplus::GpBrush, gdip::GdipDeleteBrush>;

// A GDI+ bitmap is an image: it is disposed the same way.
inline Gdiplus::GpImage* AsImage(Gdiplus::GpBitmap* bitmap) { return bitmap; }

}  // namespace velmora
