#include "settings/ProgramValues.h"

#include "common/PathText.h"
#include "common/WinText.h"
#include "settings/Registry.h"

#include <iterator>

namespace velmora {
namespace {

constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// "Locked" as the value has always been stored: all bits set.
constexpr long kLockedValue = -1;

using Id = ProgramValueId;

constexpr ProgramValueKey kValues[] = {
    {Id::kScaleX, "ScaleX", false}, {Id::kScaleY, "ScaleY", false},
    {Id::kDesktopC, "DesktopC", false}, {Id::kTempx, "Tempx", true},
    {Id::kTempy, "Tempy", true}, {Id::kArrange, "Arrange", false},
    {Id::kIsLock, "isLock", false}, {Id::kScaleDpi, "ScaleDpi", false},
};
static_assert(std::size(kValues) == static_cast<size_t>(Id::kCount), "one row per value");

long Number(ProgramValueId id) { return GetRegLong(HKEY_CURRENT_USER, kProgramRegKey, KeyOf(id).name); }
std::string Text(ProgramValueId id) {
  return GetRegString(HKEY_CURRENT_USER, kProgramRegKey, KeyOf(id).name);
}

bool Save(const ProgramValues& v, ProgramValueId id) {
  const char* name = KeyOf(id).name;
  const auto number = [&](long value) {
    return SaveRegLong(HKEY_CURRENT_USER, kProgramRegKey, name, value);
  };
  switch (id) {
    case Id::kScaleX: return number(v.scaleX);
    case Id::kScaleY: return number(v.scaleY);
    case Id::kDesktopC: return number(v.desktopC);
    case Id::kTempx: return SaveRegString(HKEY_CURRENT_USER, kProgramRegKey, name, v.tempx);
    case Id::kTempy: return SaveRegString(HKEY_CURRENT_USER, kProgramRegKey, name, v.tempy);
    case Id::kArrange: return number(v.arrange);
    case Id::kIsLock: return number(v.iconsLocked ? kLockedValue : 0);
    case Id::kScaleDpi: return number(v.scaleDpi);
    case Id::kCount: break;
  }
  return false;
}

}  // namespace

const ProgramValueKey& KeyOf(ProgramValueId id) { return kValues[static_cast<size_t>(id)]; }

ProgramValues ReadProgramValues() {
  ProgramValues v;
  v.scaleX = Number(Id::kScaleX);
  v.scaleY = Number(Id::kScaleY);
  v.desktopC = Number(Id::kDesktopC);
  v.tempx = Text(Id::kTempx);
  v.tempy = Text(Id::kTempy);
  v.arrange = Number(Id::kArrange);
  v.iconsLocked = Number(Id::kIsLock) != 0;
  v.scaleDpi = Number(Id::kScaleDpi);
  return v;
}

bool SaveProgramValues(const ProgramValues& values, const std::vector<ProgramValueId>& which) {
  bool saved = true;
  for (const ProgramValueId id : which) saved = Save(values, id) && saved;
  return saved;
}

std::string ReadRememberedPlaces(const std::string& layerSize) {
  return GetRegString(HKEY_CURRENT_USER, kLayoutsRegKey, layerSize);
}

bool SaveRememberedPlaces(const std::string& layerSize, const std::string& text) {
  return SaveRegString(HKEY_CURRENT_USER, kLayoutsRegKey, layerSize, text);
}

void ForgetRememberedPlaces(const std::string& layerSize) {
  DeleteRegValue(HKEY_CURRENT_USER, kLayoutsRegKey, layerSize);
}

void SaveStartWithWindows(bool on, const std::string& appDirectory) {
  wchar_t module[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, module, MAX_PATH);
  const std::string exe = GetFileNamePart(Utf8(module));
  const size_t dot = exe.rfind('.');
  const std::string name = dot == std::string::npos ? exe : exe.substr(0, dot);
  if (on) {
    // The current user's own Run key: one that user can write. The path is
    // quoted, for folders with blanks.
    SaveRegString(HKEY_CURRENT_USER, kRunKey, name, "\"" + appDirectory + "\\" + exe + "\"");
  } else {
    DeleteRegValue(HKEY_CURRENT_USER, kRunKey, name);
    // A value an older start-up switch left for all users goes too, where
    // this user may remove it; refused, it stays.
    DeleteRegValue(HKEY_LOCAL_MACHINE, kRunKey, name);
  }
}

}  // namespace velmora
