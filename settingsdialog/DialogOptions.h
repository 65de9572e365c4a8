// The settings dialog's options apart from the system: how each is read
// from the settings file when the dialog opens, and which keys an apply
// writes from which page.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

enum class SettingsPage { kNone, kFlash, kSlide, kAdvanced, kHelp };

struct DialogOptions {
  // Advanced page (CheckGO(3), (0), (1), (2) and iconFader).
  bool startup = true, iconDisplay = true, iconFader = false, imageViewer = true;
  std::string iconFaderValue = "255";  // the drop-down's text
  // Flash page.
  int quality = 1;     // 0 Low, 1 High
  int movieSize = 0;   // 0 Original Screen, 1 Stretch Full Screen, 2 Full Screen
  uint32_t flashColour = 0xFFFFFF;  // 0x00BBGGRR
  bool loop = false;
  // Slide Show page.
  int speed = 30;      // 0..200
  int interval = 10;   // 0..100, in steps of 500 ms
  int location = 0;    // 0 Center, 1 Stretch
  uint32_t slideColour = 0;
  bool backgroundImage = false;  // BgCheck
  std::string backgroundFile;    // ImageBgfile
  bool interleave = false;
};

// A stored value by section and key, or `fallback` when the key is absent.
using IniReader = std::function<std::string(const std::string& section, const std::string& key,
                                            const std::string& fallback)>;

// The options as the dialog loads them. A value that does not convert (a
// hand-edited file) or a list index beyond a drop-down's entries keeps the
// default.
DialogOptions LoadDialogOptions(const IniReader& read);

// The interval as stored (milliseconds) and as shown (steps of 500 ms,
// rounded to the nearest, ties to even).
int32_t StoredInterval(int steps);
int IntervalSteps(int64_t milliseconds);

struct IniWrite {
  std::string section, key, value;
  bool operator==(const IniWrite& o) const {
    return section == o.section && key == o.key && value == o.value;
  }
};

// What an apply knows besides the options.
struct ApplyState {
  SettingsPage page = SettingsPage::kNone;  // CurrentPage
  bool pageChosen = false;
  bool advancedChanged = false;
  DialogOptions options;
  // The selected movie's record ("name|folder*"); none without a selected row.
  std::optional<std::string> currentFlash;
  // The slide list as stored ("a|f*b|g*"); none for an empty list.
  std::optional<std::string> slidePath;
};

// The keys an apply writes, in order. Nothing before a page was chosen;
// "WallInx" only from the Flash and Slide Show pages; the Advanced keys
// only after a change there; a missing movie selection or an empty slide
// list leaves the stored "CurFlash" or "Path" alone. The background
// picture is rendered by the caller first; `options.backgroundImage` is
// written as the caller leaves it.
std::vector<IniWrite> ApplyWrites(const ApplyState& state);

// The size cell of a list row: the file's length in kilobytes, rounded to
// the nearest (ties to even), then "KB"; "missing" when there is no file.
std::string KilobyteCell(std::optional<uint64_t> bytes);

// A file the entry-list format can hold: no "*" or "|" in its path.
bool StorableInList(const std::string& path);

}  // namespace velmora
