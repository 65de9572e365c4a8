// The settings dialog's options apart from the system: how each is shown
// from the stored settings when the dialog opens, and which keys an apply
// writes from which page.
#pragma once

#include "settings/SettingsModel.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

enum class SettingsPage { kNone, kFlash, kSlide, kAdvanced, kHelp };

// The options as the dialog's controls show them.
struct DialogOptions {
  // Advanced page (CheckGO(3), (0), (1), (2) and iconFader).
  bool startup = false, iconDisplay = false, iconFader = false, imageViewer = false;
  bool batteryRest = false;  // the movie rests on battery with the saver on
  std::string iconFaderValue;  // the drop-down's text
  int monitors = 0;            // 0 Each monitor, 1 Span
  // Flash page.
  int quality = 0;     // 0 Low, 1 High
  int movieSize = 0;   // 0 Original Screen, 1 Stretch Full Screen, 2 Full Screen
  uint32_t flashColour = 0;  // 0x00BBGGRR
  bool loop = false;
  int maxFrameRate = 60;  // the most frames a second the wallpaper draws
  bool mouseToMovie = true;  // the pointer on empty desktop reaches the movie
  // Slide Show page.
  int speed = 0;       // the fade's step
  int interval = 0;    // in steps of 500 ms
  int location = 0;    // 0 Center, 1 Stretch
  uint32_t slideColour = 0;
  bool backgroundImage = false;  // BgCheck
  std::string backgroundFile;    // ImageBgfile
  bool interleave = false;
};

// The options as the dialog loads them from the stored settings. A list
// index beyond a drop-down's entries gives the key's default; the slides'
// colour shows black while the file holds none; the fader's drop-down
// shows full opacity while the fader is off.
DialogOptions DialogOptionsFrom(const Settings& stored);

// The interval as stored (milliseconds) and as shown (steps of 500 ms,
// rounded to the nearest, ties to even).
int32_t StoredInterval(int steps);
int IntervalSteps(int64_t milliseconds);

// What an apply knows besides the stored settings.
struct ApplyState {
  SettingsPage page = SettingsPage::kNone;  // CurrentPage
  bool pageChosen = false;
  // A control of that page was changed since the window opened (or since
  // the last apply that stored everything).
  bool advancedChanged = false, flashChanged = false, slideChanged = false;
  DialogOptions options = DialogOptionsFrom(Settings());
  // The selected movie's record ("name|folder*"); none without a selected row.
  std::optional<std::string> currentFlash;
  // The slide list as stored ("a|f*b|g*"); none for an empty list.
  std::optional<std::string> slidePath;
};

// The settings an apply stores: the keys, in order, with their values.
struct SettingsChange {
  Settings settings;
  std::vector<SettingId> keys;
};

// Whether an apply writes the keys of `page`: the Flash or Slide Show page
// it is confirmed on, and every page with a change, whether or not a page
// button was pressed (the dialog opens on the Advanced page, and a change
// made there, or on a page left for another, is the user's all the same).
bool AppliesPage(const ApplyState& state, SettingsPage page);

// The keys an apply writes, in order, over the `stored` settings: the
// wallpaper mode only when confirmed on the Flash or Slide Show page, then
// the keys of each page AppliesPage names; nothing when no page was chosen
// and nothing changed. A missing movie selection or an empty slide list
// leaves the stored movie or slide list alone; the Advanced page's
// monitors choice is written only when it differs from the stored one (a
// file without the key keeps the default); a fader value that is no
// number leaves the stored one. The background picture is rendered by the
// caller first; `options.backgroundImage` is written as the caller leaves it.
SettingsChange ApplyWrites(const ApplyState& state, const Settings& stored = Settings());

// Why the settings file could not be written, as far as can be told.
enum class SaveProblem { kUnknown, kFolderInTheWay, kReadOnly, kDiskFull };

// The message that tells the user the settings were not saved.
std::string SaveFailedText(SaveProblem why);

// The size cell of a list row: the file's length in kilobytes, rounded to
// the nearest (ties to even), then "KB"; "missing" when there is no file.
std::string KilobyteCell(std::optional<uint64_t> bytes);

// A file the entry-list format can hold: no "*" or "|" in its path.
bool StorableInList(const std::string& path);

}  // namespace velmora
