// Rules about desktop items that need no system: which icon to extract, what
// the label says and how it is laid out.
#pragma once

#include "common/PathText.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

struct IconLocation {
  std::string file;
  int32_t index = 0;
};

// The file and icon index for item `index` with icon source `source`.
// systemDir and windowsDir have no trailing backslash.
IconLocation IconLocationFor(int index, std::string_view source, std::string_view systemDir,
                             std::string_view windowsDir);

// The label drawn under item `index` whose display name is `name`.
std::string LabelText(int index, std::string_view name);

// The height limit of a label box: two lines (27 pixels at 96 DPI) for a
// plain label of 13 or more characters (blanks around it not counted),
// otherwise none (0).
int32_t LabelBoxHeight(std::string_view text, bool highlighted, int32_t twoLines = 27);

// What the shell is asked to run to open a desktop item.
struct OpenCommand {
  static constexpr int kShowNormal = 1, kShow = 5;  // the system's show modes
  std::string verb, file, parameters, directory;
  int show = kShowNormal;
};

struct ItemToOpen {
  int row = 0;           // 1-based row of the item list; 0 when none is selected
  std::string text;      // the row's text: a path, or a special item's shell name
  std::string type;      // the row's type column ("dir", an extension)
  bool isFolder = false;
};

// How many shortcuts in a row (a shortcut to a shortcut to ...) are followed
// before the chain is taken for one that never ends.
inline constexpr int kMostShortcutsInARow = 8;

// Where a shortcut leads in the end: its target, and while that is a
// shortcut too (a ".lnk" that `readTarget` reads a target from), that one's
// target, and so on. nullopt when the chain comes back to a shortcut already
// passed (a shortcut to itself, a -> b -> a) or is longer than
// kMostShortcutsInARow: the shell would follow it without end. "" when the
// first shortcut has no path (a web page, a shell item); a shortcut in the
// chain without one ends it.
std::optional<std::string> FollowShortcutChain(
    const std::string& shortcut, const std::function<std::string(const std::string&)>& readTarget);

// The command for one item: the four special folders through "explorer",
// Internet Explorer by its program, a shortcut ("lnk") through its target
// (or the shortcut itself when its target has no path), anything else opened
// as it is. nullopt when no row is selected, when `shortcutTarget` gives
// nullopt (a shortcut that must not be followed), and for a file named like
// a device ("aux.txt"), which the shell would open as the device.
std::optional<OpenCommand> OpenCommandFor(
    const ItemToOpen& item, const std::function<std::optional<std::string>()>& shortcutTarget,
    const std::string& windowsDirectory, const std::string& appDirectory);

}  // namespace velmora
