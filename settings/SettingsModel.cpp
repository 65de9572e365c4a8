#include "settings/SettingsModel.h"

#include "settings/SettingValues.h"

#include <algorithm>
#include <variant>

namespace velmora {
namespace {

constexpr long kColours = 0xFFFFFF;  // 0x00BBGGRR
using K = SettingKind;
using Id = SettingId;

// clang-format off
constexpr SettingKey kKeys[kSettingCount] = {
    {Id::kWallInx,         "MAIN",  "WallInx",         K::kNumber, "0",        0, 3,        false},
    {Id::kImageviewer,     "MAIN",  "Imageviewer",     K::kFlag,   "1",        0, 1,        false},
    {Id::kIcondisp,        "MAIN",  "Icondisp",        K::kFlag,   "1",        0, 1,        false},
    {Id::kIsIconfader,     "MAIN",  "isIconfader",     K::kFlag,   "0",        0, 1,        false},
    {Id::kIconfadervalue,  "MAIN",  "Iconfadervalue",  K::kNumber, "0",        0, 255,      false},
    {Id::kStartup,         "MAIN",  "Startup",         K::kFlag,   "1",        0, 1,        false},
    {Id::kBatteryRest,     "MAIN",  "BatteryRest",     K::kFlag,   "1",        0, 1,        false},
    {Id::kMonitors,        "MAIN",  "Monitors",        K::kNumber, "0",        0, 1,        true},
    {Id::kFlashPath,       "FLASH", "Path",            K::kText,   "",         0, 0,        false},
    {Id::kCurFlash,        "FLASH", "CurFlash",        K::kText,   "",         0, 0,        false},
    {Id::kBackgroundColor, "FLASH", "BackgroundColor", K::kNumber, "16777215", 0, kColours, true},
    {Id::kMoviesize,       "FLASH", "Moviesize",       K::kNumber, "0",        0, 2,        true},
    {Id::kQuality,         "FLASH", "Quality",         K::kNumber, "1",        0, 1,        true},
    {Id::kLoopCheck,       "FLASH", "LoopCheck",       K::kFlag,   "0",        0, 1,        false},
    {Id::kMaxFrameRate,    "FLASH", "MaxFrameRate",    K::kNumber, "60",       1, 120,      true},
    {Id::kMouseToMovie,    "FLASH", "MouseToMovie",    K::kFlag,   "1",        0, 1,        false},
    {Id::kImagePath,       "IMAGE", "Path",            K::kText,   "",         0, 0,        false},
    {Id::kIntervalvalue,   "IMAGE", "Intervalvalue",   K::kNumber, "5000",     0, 50000,    true},
    {Id::kSpeedvalue,      "IMAGE", "Speedvalue",      K::kNumber, "30",       0, 200,      true},
    {Id::kLocation,        "IMAGE", "Location",        K::kNumber, "0",        0, 1,        true},
    {Id::kBackcolor,       "IMAGE", "Backcolor",       K::kNumber, "16744576", 0, kColours, true},
    {Id::kBgCheck,         "IMAGE", "BgCheck",         K::kFlag,   "0",        0, 1,        false},
    {Id::kImageBgfile,     "IMAGE", "ImageBgfile",     K::kText,   "",         0, 0,        false},
    {Id::kIlCheck,         "IMAGE", "IlCheck",         K::kFlag,   "0",        0, 1,        false},
};
// clang-format on

constexpr bool TableInIdOrder() {
  for (size_t i = 0; i < kSettingCount; ++i)
    if (static_cast<size_t>(kKeys[i].id) != i) return false;
  return true;
}
static_assert(TableInIdOrder(), "the table lists the keys in the order of SettingId");

// Where a key's value lives in the structs.
using Field = std::variant<bool*, long*, std::string*>;

Field FieldOf(Settings& s, SettingId id) {
  switch (id) {
    case Id::kWallInx: return &s.main.wallpaperMode;
    case Id::kImageviewer: return &s.main.imageViewer;
    case Id::kIcondisp: return &s.main.iconDisplay;
    case Id::kIsIconfader: return &s.main.iconFader;
    case Id::kIconfadervalue: return &s.main.iconOpacity;
    case Id::kStartup: return &s.main.startup;
    case Id::kBatteryRest: return &s.main.batteryRest;
    case Id::kMonitors: return &s.main.monitorSpread;
    case Id::kFlashPath: return &s.flash.list;
    case Id::kCurFlash: return &s.flash.current;
    case Id::kBackgroundColor: return &s.flash.backgroundColour;
    case Id::kMoviesize: return &s.flash.scaleMode;
    case Id::kQuality: return &s.flash.quality;
    case Id::kLoopCheck: return &s.flash.loop;
    case Id::kMaxFrameRate: return &s.flash.maxFrameRate;
    case Id::kMouseToMovie: return &s.flash.mouseToMovie;
    case Id::kImagePath: return &s.image.list;
    case Id::kIntervalvalue: return &s.image.interval;
    case Id::kSpeedvalue: return &s.image.speed;
    case Id::kLocation: return &s.image.location;
    case Id::kBackcolor: return &s.image.backColour;
    case Id::kBgCheck: return &s.image.withPicture;
    case Id::kImageBgfile: return &s.image.pictureFile;
    case Id::kIlCheck: return &s.image.interleave;
    case Id::kCount: break;
  }
  return static_cast<std::string*>(nullptr);
}

// Converts `text` into the key's field; false (the field unchanged) when it
// does not convert.
bool Convert(Settings& s, SettingId id, std::string_view text) {
  const Field field = FieldOf(s, id);
  if (bool* const* flag = std::get_if<bool*>(&field)) {
    int digit = 0;
    if (!ReadFlag(text, digit)) return false;
    **flag = digit == 1;
    return true;
  }
  if (long* const* number = std::get_if<long*>(&field)) return ReadNumber(text, **number);
  **std::get_if<std::string*>(&field) = std::string(text);
  return true;
}

}  // namespace

const SettingKey& KeyOf(SettingId id) { return kKeys[static_cast<size_t>(id)]; }

Settings::Settings() {
  for (const SettingKey& key : kKeys) Convert(*this, key.id, key.defaultText);
}

const char* MediaSection(MediaList list) { return KeyOf(MediaPathKey(list)).section; }

SettingId MediaPathKey(MediaList list) {
  return list == MediaList::kFlash ? Id::kFlashPath : Id::kImagePath;
}

Settings ReadSettings(const StoredValue& stored, const Settings& last) {
  Settings s;
  for (const SettingKey& key : kKeys) {
    const std::optional<std::string> value = stored(key.section, key.name);
    s.stored[static_cast<size_t>(key.id)] = value.has_value();
    if (!value || Convert(s, key.id, *value)) continue;
    // Present but no number or flag: the default stays, or the last value.
    if (key.keepsLastOnBadValue) Convert(s, key.id, SettingText(last, key.id));
  }
  return s;
}

std::string SettingText(const Settings& settings, SettingId id) {
  const Field field = FieldOf(const_cast<Settings&>(settings), id);
  if (bool* const* flag = std::get_if<bool*>(&field)) return **flag ? "1" : "0";
  if (long* const* number = std::get_if<long*>(&field)) return std::to_string(**number);
  return **std::get_if<std::string*>(&field);
}

long ClampToRange(SettingId id, long value) {
  const SettingKey& key = KeyOf(id);
  return std::clamp(value, key.low, key.high);
}

bool InRange(SettingId id, long value) { return ClampToRange(id, value) == value; }

}  // namespace velmora
