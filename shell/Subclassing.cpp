#include "shell/Subclassing.h"

#include <cstdio>
#include <map>
#include <string>

namespace velmora {
namespace {

constexpr const wchar_t* kOldWndProc = L"OldWndProc";
constexpr const wchar_t* kObjectPtr = L"ObjectPtr";
// Where SubclassWindow keeps the procedure it replaced.
constexpr const wchar_t* kReplaced = L"VelmoraReplacedProc";

// The receipt of each window that has the notification filter.
std::map<HWND, std::function<void(WPARAM, LPARAM)>>& Receipts() {
  static std::map<HWND, std::function<void(WPARAM, LPARAM)>> receipts;
  return receipts;
}

std::wstring Hex(HWND window) {
  wchar_t text[32];
  std::swprintf(text, 32, L"%llX",
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)));
  return text;
}

WNDPROC Procedure(HWND window, const wchar_t* property) {
  return reinterpret_cast<WNDPROC>(::GetPropW(window, property));
}

WNDPROC SetProcedure(HWND window, WNDPROC procedure) {
  return reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

LRESULT CALLBACK NotificationFilter(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const WNDPROC old = Procedure(window, kOldWndProc);
  if (!old) return ::DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    // Destroyed while still subclassed: put the window's own procedure back.
    SetProcedure(window, old);
    ::RemovePropW(window, kOldWndProc);
    ::RemovePropW(window, kObjectPtr);
    Receipts().erase(window);
    ::MessageBoxW(nullptr, (L"Unubclassed &H" + Hex(window)).c_str(), L"WndProc Error",
                  MB_OK | MB_ICONSTOP);
    return ::CallWindowProcA(old, window, message, wParam, lParam);
  }
  if (message == WM_SHNOTIFY) {
    const auto receipt = Receipts().find(window);
    if (receipt != Receipts().end() && receipt->second) receipt->second(wParam, lParam);
  }
  return ::CallWindowProcA(old, window, message, wParam, lParam);
}

}  // namespace

bool InstallNotificationFilter(HWND window, std::function<void(WPARAM, LPARAM)> receipt) {
  WNDPROC old = nullptr;
  bool ok = false;
  if (window && !Procedure(window, kOldWndProc)) {
    old = SetProcedure(window, NotificationFilter);
    ok = old && ::SetPropW(window, kOldWndProc, reinterpret_cast<HANDLE>(old));
  }
  if (!ok) {
    if (old) SetProcedure(window, old);
    ::MessageBoxW(nullptr, (L"Unable to successfully subclass &H" + Hex(window)).c_str(),
                  L"Velmora", MB_OK | MB_ICONSTOP);
    return false;
  }
  Receipts()[window] = std::move(receipt);
  return true;
}

bool RemoveNotificationFilter(HWND window) {
  const WNDPROC old = Procedure(window, kOldWndProc);
  if (!old || !::RemovePropW(window, kOldWndProc)) return false;
  Receipts().erase(window);
  ::SetLastError(0);
  // SetWindowLongPtr returns the procedure it replaced: 0 with an error set
  // means it failed.
  return SetProcedure(window, old) != nullptr || ::GetLastError() == 0;
}

bool SubclassWindow(HWND window, WNDPROC replacement, void* ownerObject) {
  ::SetLastError(0);
  const WNDPROC old = window ? SetProcedure(window, replacement) : nullptr;
  const DWORD error = ::GetLastError();
  bool ok = old && ::SetPropW(window, kReplaced, reinterpret_cast<HANDLE>(old));
  if (ok && ownerObject) ok = ::SetPropW(window, kObjectPtr, ownerObject) != FALSE;
  if (ok) return true;
  if (old) {
    SetProcedure(window, old);
    ::RemovePropW(window, kReplaced);
  }
  wchar_t detail[64];
  std::swprintf(detail, 64, L"\r\n\r\nErr# %lu: ", static_cast<unsigned long>(error));
  ::MessageBoxW(nullptr,
                (L"Error subclassing window &H" + Hex(window) + detail +
                 (error ? L"the system refused it" : L"the procedure could not be kept"))
                    .c_str(),
                L"Velmora", MB_OK | MB_ICONEXCLAMATION);
  return false;
}

bool UnsubclassWindow(HWND window) {
  const WNDPROC old = Procedure(window, kReplaced);
  if (!old) return false;
  ::SetLastError(0);
  if (!SetProcedure(window, old) && ::GetLastError() != 0) return false;
  ::RemovePropW(window, kReplaced);
  ::RemovePropW(window, kObjectPtr);
  return true;
}

WNDPROC ReplacedProcedure(HWND window) { return Procedure(window, kReplaced); }

}  // namespace velmora
