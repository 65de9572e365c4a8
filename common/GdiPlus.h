// GDI+ objects of the flat interface and the GDI+ session, owned through the
// one owner template.
#pragma once

#include "common/Handles.h"

#include <windows.h>
#include <gdiplus.h>

namespace velmora {

namespace gdip = Gdiplus::DllExports;

namespace detail {
template <typename T, Gdiplus::GpStatus(WINAPI* Free)(T*)>
struct GdipTraits {
  using Type = T*;
  static T* Invalid() { return nullptr; }
  static void Close(T* p) { Free(p); }
};
struct GdiplusTraits {
  using Type = ULONG_PTR;  // the token of GdiplusStartup
  static ULONG_PTR Invalid() { return 0; }
  static void Close(ULONG_PTR token) { Gdiplus::GdiplusShutdown(token); }
};
}  // namespace detail

template <typename T, Gdiplus::GpStatus(WINAPI* Free)(T*)>
using GdipOwner = UniqueHandle<detail::GdipTraits<T, Free>>;

using GdipImage = GdipOwner<Gdiplus::GpImage, gdip::GdipDisposeImage>;
using GdipGraphics = GdipOwner<Gdiplus::GpGraphics, gdip::GdipDeleteGraphics>;
using GdipAttributes = GdipOwner<Gdiplus::GpImageAttributes, gdip::GdipDisposeImageAttributes>;
using GdipBrush = GdipOwner<Gdiplus::GpBrush, gdip::GdipDeleteBrush>;

// GDI+ started for this process (version 1, other options off); shut down
// when the owner goes. Empty when it could not start.
using GdiplusSession = UniqueHandle<detail::GdiplusTraits>;
inline GdiplusSession StartGdiplus() {
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  return GdiplusSession(Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok ? token : 0);
}

// A GDI+ bitmap is an image: it is disposed the same way.
inline Gdiplus::GpImage* AsImage(Gdiplus::GpBitmap* bitmap) { return bitmap; }

}  // namespace velmora
