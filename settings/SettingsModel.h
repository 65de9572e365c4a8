// The settings of Wallpaper.ini as plain data: one table of every key (its
// section, name, default and range) and the structs the windows take, read
// from the file's text in one call and written back key by key in the
// file's own text form. No system call.
//
// How a stored text is read: a flag is on when its first character is "1";
// a number is the leading decimal number of the text. An absent key reads as
// its default. A present value that does not convert (empty, "fast") reads
// as the key's default, or, for the keys marked so, leaves the setting as it
// was last read (its default before the first read).
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Every key of the file, in the order of the table.
enum class SettingId {
  // MAIN
  kWallInx,
  kImageviewer,
  kIcondisp,
  kIsIconfader,
  kIconfadervalue,
  kStartup,
  kBatteryRest,
  kMonitors,
  // FLASH
  kFlashPath,
  kCurFlash,
  kBackgroundColor,
  kMoviesize,
  kQuality,
  kLoopCheck,
  kMaxFrameRate,
  kMouseToMovie,
  // IMAGE
  kImagePath,
  kIntervalvalue,
  kSpeedvalue,
  kLocation,
  kBackcolor,
  kBgCheck,
  kImageBgfile,
  kIlCheck,
  kCount
};
inline constexpr size_t kSettingCount = static_cast<size_t>(SettingId::kCount);

enum class SettingKind { kFlag, kNumber, kText };

struct SettingKey {
  SettingId id;
  const char* section;
  const char* name;
  SettingKind kind;
  const char* defaultText;  // what an absent key reads as
  long low, high;           // a number's range: the values the settings dialog offers
  // A value that does not convert leaves the setting as last read (the
  // wallpaper keeps what it shows) instead of reading as the default.
  bool keepsLastOnBadValue;
};

// The table row of a key.
const SettingKey& KeyOf(SettingId id);

// The wallpaper modes of WallInx; any other value applies nothing.
enum WallpaperMode : long { kMovieMode = 1, kSlideshowMode = 2, kStandardDesktopMode = 3 };

struct MainSettings {
  long wallpaperMode = 0;  // WallInx
  bool imageViewer = false;  // Imageviewer: the hover preview
  bool iconDisplay = false;  // Icondisp: the shortcut arrows
  bool iconFader = false;    // isIconfader: the layer drawn at iconOpacity
  long iconOpacity = 0;      // Iconfadervalue
  bool startup = false;      // Startup: start with Windows
  bool batteryRest = false;  // BatteryRest: the movie rests on battery with the saver on
  long monitorSpread = 0;    // Monitors: 0 each monitor, 1 span (common/MonitorLayout)
};

struct FlashSettings {
  std::string list;     // Path: the user's movies, an entry list
  std::string current;  // CurFlash: the movie to play, one entry
  long backgroundColour = 0;  // BackgroundColor, 0x00BBGGRR
  long scaleMode = 0;   // Moviesize
  long quality = 0;     // Quality
  bool loop = false;    // LoopCheck, shown by the dialog only
  long maxFrameRate = 0;  // MaxFrameRate: the most frames a second drawn
  bool mouseToMovie = true;  // MouseToMovie: the pointer on empty desktop reaches the movie
};

struct ImageSettings {
  std::string list;      // Path: the slides, an entry list
  long interval = 0;     // Intervalvalue: milliseconds between slides
  long speed = 0;        // Speedvalue: opacity step of a fade
  long location = 0;     // Location: 0 fitted and centred, 1 stretched
  long backColour = 0;   // Backcolor, 0x00BBGGRR
  bool withPicture = false;   // BgCheck: a background picture behind the slides
  std::string pictureFile;    // ImageBgfile: the picture the user chose
  bool interleave = false;    // IlCheck, shown by the dialog only
};

struct Settings {
  Settings();  // every key at its default
  MainSettings main;
  FlashSettings flash;
  ImageSettings image;
  // Whether the file held the key when it was read.
  bool Stored(SettingId id) const { return stored[static_cast<size_t>(id)]; }
  std::array<bool, kSettingCount> stored{};
};

// The two media lists of the file.
enum class MediaList { kFlash, kImage };
// The section of a list ("FLASH", "IMAGE"): its entries' own folder is
// named after it (settings/EntryList).
const char* MediaSection(MediaList list);
SettingId MediaPathKey(MediaList list);

// A stored value by section and key; nullopt when absent.
using StoredValue = std::function<std::optional<std::string>(std::string_view section,
                                                             std::string_view key)>;

// Every key read from `stored`; `last` is what was read before (for the
// keys that keep it on a bad value).
Settings ReadSettings(const StoredValue& stored, const Settings& last = Settings());

// The text a key is written as: a flag "1" or "0", a number in decimal.
std::string SettingText(const Settings& settings, SettingId id);

// A number within its key's range, and the nearest end of it otherwise.
long ClampToRange(SettingId id, long value);
bool InRange(SettingId id, long value);

}  // namespace velmora
