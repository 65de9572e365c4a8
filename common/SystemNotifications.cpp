#include "common/SystemNotifications.h"

#include "common/SystemFunction.h"

#include <cstring>

namespace velmora {
namespace {

constexpr WPARAM kPowerSettingChange = 0x8013;  // PBT_POWERSETTINGCHANGE
constexpr DWORD kThisSession = 0;               // NOTIFY_FOR_THIS_SESSION
constexpr DWORD kToWindow = 0;                  // DEVICE_NOTIFY_WINDOW_HANDLE

// GUID_CONSOLE_DISPLAY_STATE: 0 off, 1 on, 2 dimmed.
constexpr GUID kConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};

// POWERBROADCAST_SETTING's layout.
struct PowerSetting {
  GUID setting;
  DWORD length;
  UCHAR data[1];
};

using RegisterSessionFn = BOOL(WINAPI*)(HWND, DWORD);
using UnregisterSessionFn = BOOL(WINAPI*)(HWND);
using RegisterPowerFn = void*(WINAPI*)(HANDLE, LPCGUID, DWORD);
using UnregisterPowerFn = BOOL(WINAPI*)(void*);

HMODULE SessionLibrary() {
  static const UniqueLibrary wtsapi(::LoadLibraryW(L"wtsapi32.dll"));
  return static_cast<HMODULE>(wtsapi.get());
}

HMODULE User32() { return ::GetModuleHandleW(L"user32.dll"); }

}  // namespace

UniqueSessionNotify RegisterSessionNotifications(HWND window) {
  const auto registerFn = FindSystemFunction<RegisterSessionFn>(SessionLibrary(), "WTSRegisterSessionNotification");
  if (!registerFn || !window || !registerFn(window, kThisSession)) return {};
  return UniqueSessionNotify(window);
}

void detail::EndSessionNotifications(HWND window) {
  const auto unregisterFn = FindSystemFunction<UnregisterSessionFn>(SessionLibrary(), "WTSUnRegisterSessionNotification");
  if (unregisterFn) unregisterFn(window);
}

UniquePowerNotify RegisterDisplayNotifications(HWND window) {
  const auto registerFn = FindSystemFunction<RegisterPowerFn>(User32(), "RegisterPowerSettingNotification");
  if (!registerFn || !window) return {};
  return UniquePowerNotify(registerFn(window, &kConsoleDisplayState, kToWindow));
}

void detail::EndPowerNotifications(void* registration) {
  const auto unregisterFn = FindSystemFunction<UnregisterPowerFn>(User32(), "UnregisterPowerSettingNotification");
  if (unregisterFn) unregisterFn(registration);
}

bool ReadDisplayState(WPARAM wParam, LPARAM lParam, bool& displayOff) {
  if (wParam != kPowerSettingChange || lParam == 0) return false;
  const auto* setting = reinterpret_cast<const PowerSetting*>(lParam);
  if (std::memcmp(&setting->setting, &kConsoleDisplayState, sizeof(GUID)) != 0 || setting->length < sizeof(DWORD))
    return false;
  DWORD state = 0;
  std::memcpy(&state, setting->data, sizeof state);
  displayOff = state == 0;
  return true;
}

}  // namespace velmora
