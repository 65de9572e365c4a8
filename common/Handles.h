// Owning wrappers for Win32 handles: each handle is closed by its owner on
// every path, errors included.
#pragma once

#include <windows.h>

#include <utility>

namespace velmora {

// A move-only owner of a handle described by Traits: Traits::Type, the
// value Traits::Invalid() that means "none", and Traits::Close(handle).
template <typename Traits>
class UniqueHandle {
 public:
  using T = typename Traits::Type;

  UniqueHandle() = default;
  explicit UniqueHandle(T handle) : handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~UniqueHandle() { reset(); }

  T get() const { return handle_; }
  // For handles that are interface pointers.
  T operator->() const { return handle_; }
  explicit operator bool() const { return handle_ != Traits::Invalid(); }
  T release() { return std::exchange(handle_, Traits::Invalid()); }
  void reset(T handle = Traits::Invalid()) {
    if (handle_ != Traits::Invalid()) Traits::Close(handle_);
    handle_ = handle;
  }
  // For out-parameters: releases the current handle first.
  T* put() {
    reset();
    return &handle_;
  }

 private:
  T handle_ = Traits::Invalid();
};

namespace detail {
template <typename H, auto CloseFn>
struct NullIsInvalid {
  using Type = H;
  static H Invalid() { return nullptr; }
  static void Close(H h) { CloseFn(h); }
};
struct FileTraits {
  using Type = HANDLE;
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { ::CloseHandle(h); }
};
inline void CloseKernelHandle(HANDLE h) { ::CloseHandle(h); }
inline void CloseRegKey(HKEY k) { ::RegCloseKey(k); }
inline void DeleteGdiObject(HGDIOBJ o) { ::DeleteObject(o); }
inline void DeleteMemoryDc(HDC dc) { ::DeleteDC(dc); }
inline void DestroyIconHandle(HICON icon) { ::DestroyIcon(icon); }
inline void DestroyWindowHandle(HWND w) { ::DestroyWindow(w); }
inline void UnmapView(const void* view) { ::UnmapViewOfFile(view); }
struct FindTraits {
  using Type = HANDLE;
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { ::FindClose(h); }
};
template <typename I>
struct ComTraits {
  using Type = I*;
  static I* Invalid() { return nullptr; }
  static void Close(I* p) { p->Release(); }
};
template <typename T>
struct TaskMemoryTraits {
  using Type = T*;
  static T* Invalid() { return nullptr; }
  static void Close(T* p) { ::CoTaskMemFree(p); }
};
}  // namespace detail

using UniqueKernelHandle = UniqueHandle<detail::NullIsInvalid<HANDLE, detail::CloseKernelHandle>>;
using UniqueFile = UniqueHandle<detail::FileTraits>;
using UniqueRegKey = UniqueHandle<detail::NullIsInvalid<HKEY, detail::CloseRegKey>>;
using UniqueGdiObject = UniqueHandle<detail::NullIsInvalid<HGDIOBJ, detail::DeleteGdiObject>>;
using UniqueMemoryDc = UniqueHandle<detail::NullIsInvalid<HDC, detail::DeleteMemoryDc>>;
using UniqueIcon = UniqueHandle<detail::NullIsInvalid<HICON, detail::DestroyIconHandle>>;
using UniqueWindow = UniqueHandle<detail::NullIsInvalid<HWND, detail::DestroyWindowHandle>>;
// A view of a mapped file.
using UniqueMapView = UniqueHandle<detail::NullIsInvalid<const void*, detail::UnmapView>>;
// A search of FindFirstFile, ended with FindClose.
using UniqueFind = UniqueHandle<detail::FindTraits>;
// A COM interface pointer, released by its owner.
template <typename I>
using ComPtr = UniqueHandle<detail::ComTraits<I>>;
// Memory of the COM task allocator (item-id lists, shell strings).
template <typename T>
using UniqueTaskMemory = UniqueHandle<detail::TaskMemoryTraits<T>>;

// An interface asked of another; empty when it does not offer it.
template <typename I, typename From>
ComPtr<I> QueryAs(From* from, REFIID iid) {
  ComPtr<I> to;
  if (!from || FAILED(from->QueryInterface(iid, reinterpret_cast<void**>(to.put())))) to.release();
  return to;
}

// A DC obtained with GetDC, given back with ReleaseDC.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_) ::ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// A mutex owned by this thread: released and closed together.
class OwnedMutex {
 public:
  OwnedMutex() = default;
  explicit OwnedMutex(HANDLE h) : handle_(h) {}
  OwnedMutex(OwnedMutex&&) noexcept = default;
  OwnedMutex& operator=(OwnedMutex&& other) noexcept {
    Release();
    handle_ = std::move(other.handle_);
    return *this;
  }
  ~OwnedMutex() { Release(); }
  explicit operator bool() const { return static_cast<bool>(handle_); }
  void Release() {
    if (handle_) ::ReleaseMutex(handle_.get());
    handle_.reset();
  }

 private:
  UniqueKernelHandle handle_;
};

}  // namespace velmora
