// Owners for everything the system hands out: each is released by its owner
// on every path, errors included. One template, one alias per kind; kinds
// whose release needs more than the handle (a paint, a selection, a window's
// DC) carry what it needs in a small record.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

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

  const T& get() const { return handle_; }
  // For handles that are interface pointers.
  T operator->() const { return handle_; }
  explicit operator bool() const { return !(handle_ == Traits::Invalid()); }
  T release() { return std::exchange(handle_, Traits::Invalid()); }
  void reset(T handle = Traits::Invalid()) {
    if (!(handle_ == Traits::Invalid())) Traits::Close(handle_);
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
template <typename H, auto CloseFn>
struct InvalidHandleValue {
  using Type = H;
  static H Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(H h) { CloseFn(h); }
};
inline void CloseKernelHandle(HANDLE h) { ::CloseHandle(h); }
inline void ReleaseAndCloseMutex(HANDLE h) {
  ::ReleaseMutex(h);
  ::CloseHandle(h);
}
inline void CloseRegKey(HKEY k) { ::RegCloseKey(k); }
inline void DeleteGdiObject(HGDIOBJ o) { ::DeleteObject(o); }
inline void DeleteMemoryDc(HDC dc) { ::DeleteDC(dc); }
inline void DestroyIconHandle(HICON icon) { ::DestroyIcon(icon); }
inline void DestroyWindowHandle(HWND w) { ::DestroyWindow(w); }
inline void UnmapView(const void* view) { ::UnmapViewOfFile(view); }
inline void EndFind(HANDLE h) { ::FindClose(h); }
inline void EndChangeWatch(HANDLE h) { ::FindCloseChangeNotification(h); }
inline void DestroyMenuHandle(HMENU m) { ::DestroyMenu(m); }
inline void FreeLocal(HLOCAL h) { ::LocalFree(h); }
inline void FinishDrop(HDROP d) { ::DragFinish(d); }
inline void FreeGlobal(HGLOBAL g) { ::GlobalFree(g); }
inline void FreeTaskMemory(void* p) { ::CoTaskMemFree(p); }
inline void FreeLibraryHandle(HMODULE m) { ::FreeLibrary(m); }

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
  static void Close(T* p) { FreeTaskMemory(p); }
};

// A window's DC from GetDC, given back with ReleaseDC.
struct WindowDcRecord {
  HWND window = nullptr;
  HDC dc = nullptr;
  bool operator==(const WindowDcRecord& o) const { return dc == o.dc; }
};
struct WindowDcTraits {
  using Type = WindowDcRecord;
  static Type Invalid() { return {}; }
  static void Close(const Type& r) { ::ReleaseDC(r.window, r.dc); }
};

// A paint between BeginPaint and EndPaint.
struct PaintRecord {
  HWND window = nullptr;
  PAINTSTRUCT paint{};
  bool operator==(const PaintRecord& o) const { return window == o.window; }
};
struct PaintTraits {
  using Type = PaintRecord;
  static Type Invalid() { return {}; }
  static void Close(const Type& r) { ::EndPaint(r.window, &r.paint); }
};

// An object selected into a DC, with what the DC held before.
struct SelectionRecord {
  HDC dc = nullptr;
  HGDIOBJ previous = nullptr;
  bool operator==(const SelectionRecord& o) const { return dc == o.dc && previous == o.previous; }
};
struct SelectionTraits {
  using Type = SelectionRecord;
  static Type Invalid() { return {}; }
  static void Close(const Type& r) { ::SelectObject(r.dc, r.previous); }
};

// A COM (or OLE) session of this thread.
struct ComSessionTraits {
  using Type = bool;  // started
  static bool Invalid() { return false; }
  static void Close(bool) { ::CoUninitialize(); }
};
struct OleSessionTraits {
  using Type = bool;
  static bool Invalid() { return false; }
  static void Close(bool) { ::OleUninitialize(); }
};

// Registrations for the session's lock and the display's power, ended by
// functions taken from the system at run time (common/SystemNotifications).
void EndSessionNotifications(HWND window);
void EndPowerNotifications(void* registration);
struct SessionNotifyTraits {
  using Type = HWND;  // the window registered
  static HWND Invalid() { return nullptr; }
  static void Close(HWND w) { EndSessionNotifications(w); }
};
struct PowerNotifyTraits {
  using Type = void*;  // HPOWERNOTIFY
  static void* Invalid() { return nullptr; }
  static void Close(void* r) { EndPowerNotifications(r); }
};

}  // namespace detail

using UniqueSessionNotify = UniqueHandle<detail::SessionNotifyTraits>;
using UniquePowerNotify = UniqueHandle<detail::PowerNotifyTraits>;
using UniqueKernelHandle = UniqueHandle<detail::NullIsInvalid<HANDLE, detail::CloseKernelHandle>>;
// A mutex this thread owns: released and closed together.
using OwnedMutex = UniqueHandle<detail::NullIsInvalid<HANDLE, detail::ReleaseAndCloseMutex>>;
using UniqueFile = UniqueHandle<detail::InvalidHandleValue<HANDLE, detail::CloseKernelHandle>>;
using UniqueRegKey = UniqueHandle<detail::NullIsInvalid<HKEY, detail::CloseRegKey>>;
using UniqueGdiObject = UniqueHandle<detail::NullIsInvalid<HGDIOBJ, detail::DeleteGdiObject>>;
using UniqueMemoryDc = UniqueHandle<detail::NullIsInvalid<HDC, detail::DeleteMemoryDc>>;
using UniqueIcon = UniqueHandle<detail::NullIsInvalid<HICON, detail::DestroyIconHandle>>;
using UniqueWindow = UniqueHandle<detail::NullIsInvalid<HWND, detail::DestroyWindowHandle>>;
using UniqueMapView = UniqueHandle<detail::NullIsInvalid<const void*, detail::UnmapView>>;
// A search of FindFirstFile, ended with FindClose.
using UniqueFind = UniqueHandle<detail::InvalidHandleValue<HANDLE, detail::EndFind>>;
// A watch of FindFirstChangeNotification.
using UniqueChangeWatch = UniqueHandle<detail::InvalidHandleValue<HANDLE, detail::EndChangeWatch>>;
using UniqueMenu = UniqueHandle<detail::NullIsInvalid<HMENU, detail::DestroyMenuHandle>>;
// Memory of LocalAlloc (system messages).
using UniqueLocal = UniqueHandle<detail::NullIsInvalid<HLOCAL, detail::FreeLocal>>;
// The files of a drop, finished with DragFinish.
using UniqueDrop = UniqueHandle<detail::NullIsInvalid<HDROP, detail::FinishDrop>>;
using UniqueGlobal = UniqueHandle<detail::NullIsInvalid<HGLOBAL, detail::FreeGlobal>>;
using UniqueLibrary = UniqueHandle<detail::NullIsInvalid<HMODULE, detail::FreeLibraryHandle>>;
// A COM interface pointer, released by its owner.
template <typename I>
using ComPtr = UniqueHandle<detail::ComTraits<I>>;
// Memory of the COM task allocator (item-id lists, shell strings).
template <typename T>
using UniqueTaskMemory = UniqueHandle<detail::TaskMemoryTraits<T>>;
using WindowDc = UniqueHandle<detail::WindowDcTraits>;
using UniquePaint = UniqueHandle<detail::PaintTraits>;
using UniqueSelection = UniqueHandle<detail::SelectionTraits>;
using ComSession = UniqueHandle<detail::ComSessionTraits>;
using OleSession = UniqueHandle<detail::OleSessionTraits>;

// The DC of a window (or of the screen, for null), until the owner goes.
inline WindowDc GetWindowDc(HWND window) { return WindowDc({window, ::GetDC(window)}); }

// Paints a window: BeginPaint now, EndPaint when the owner goes. The DC is
// get().paint.hdc.
inline UniquePaint BeginPainting(HWND window) {
  detail::PaintRecord record;
  if (::BeginPaint(window, &record.paint)) record.window = window;
  return UniquePaint(record);
}

// Selects `object` into `dc` until the owner goes, then puts back what was there.
inline UniqueSelection SelectInto(HDC dc, HGDIOBJ object) {
  const HGDIOBJ previous = dc && object ? ::SelectObject(dc, object) : nullptr;
  return UniqueSelection(previous ? detail::SelectionRecord{dc, previous} : detail::SelectionRecord{});
}

// COM or OLE started on this thread; empty when it could not be.
inline ComSession StartCom() { return ComSession(SUCCEEDED(::CoInitialize(nullptr))); }
inline OleSession StartOle() { return OleSession(SUCCEEDED(::OleInitialize(nullptr))); }

// An interface asked of another; empty when it does not offer it.
template <typename I, typename From>
ComPtr<I> QueryAs(From* from, REFIID iid) {
  ComPtr<I> to;
  if (!from || FAILED(from->QueryInterface(iid, reinterpret_cast<void**>(to.put())))) to.release();
  return to;
}

}  // namespace velmora
