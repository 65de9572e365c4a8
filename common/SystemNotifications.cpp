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

constexpr WPARAM kPowerStatusChange = 0x000A;  // PBT_APMPOWERSTATUSCHANGE
// GUID_ACDC_POWER_SOURCE: 0 AC, 1 battery, 2 short-term source.
constexpr GUID kPowerSource = {0x5d3e9a59, 0xe9d5, 0x4b00, {0xa6, 0xbd, 0xff, 0x34, 0xff, 0x51, 0x65, 0x48}};
// GUID_POWER_SAVING_STATUS (battery saver, Windows 10) and
// GUID_ENERGY_SAVER_STATUS (energy saver, Windows 11).
constexpr GUID kPowerSaving = {0xe00958c0, 0xc213, 0x4ace, {0xac, 0x77, 0xfe, 0xcc, 0xed, 0x2e, 0xee, 0xa5}};
constexpr GUID kEnergySaver = {0x550e8400, 0xe29b, 0x41d4, {0xa7, 0x16, 0x44, 0x66, 0x55, 0x44, 0x00, 0x00}};

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

PowerSourceNotify RegisterPowerSourceNotifications(HWND window) {
  const auto registerFn = FindSystemFunction<RegisterPowerFn>(User32(), "RegisterPowerSettingNotification");
  if (!registerFn || !window) return {};
  PowerSourceNotify n;
  n.source = UniquePowerNotify(registerFn(window, &kPowerSource, kToWindow));
  n.saver = UniquePowerNotify(registerFn(window, &kPowerSaving, kToWindow));
  n.energySaver = UniquePowerNotify(registerFn(window, &kEnergySaver, kToWindow));
  return n;
}

bool IsPowerStatusNotice(WPARAM wParam, LPARAM lParam) {
  if (wParam == kPowerStatusChange) return true;
  if (wParam != kPowerSettingChange || lParam == 0) return false;
  const GUID& setting = reinterpret_cast<const PowerSetting*>(lParam)->setting;
  for (const GUID* g : {&kPowerSource, &kPowerSaving, &kEnergySaver})
    if (std::memcmp(&setting, g, sizeof(GUID)) == 0) return true;
  return false;
}

bool ReadPowerStatus(unsigned& acLineStatus, unsigned& systemStatusFlag) {
  SYSTEM_POWER_STATUS status{};
  if (!::GetSystemPowerStatus(&status)) return false;
  acLineStatus = status.ACLineStatus;
  // The fourth byte: SystemStatusFlag since Windows 10, Reserved1 in older headers.
  systemStatusFlag = status.Reserved1;
  return true;
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
