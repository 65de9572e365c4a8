// The program's values in the current user's registry,
// HKEY_CURRENT_USER\Software\Velmora: one table of their names, read in one
// call into a plain struct and written value by value; the places of the
// items remembered per layer size under its "Layouts" key; and the value of
// the Run key that starts the program with Windows. A value that cannot be
// read gives "" or 0.
#pragma once

#include <string>
#include <vector>

namespace velmora {

enum class ProgramValueId { kScaleX, kScaleY, kDesktopC, kTempx, kTempy, kArrange, kIsLock, kScaleDpi, kCount };

struct ProgramValueKey {
  ProgramValueId id;
  const char* name;
  bool text;  // a string (REG_SZ); otherwise a number (REG_DWORD)
};
const ProgramValueKey& KeyOf(ProgramValueId id);

struct ProgramValues {
  long scaleX = 0, scaleY = 0;  // ScaleX, ScaleY: the layer's size when its layout was built
  long desktopC = 0;            // DesktopC: how many items it had then
  std::string tempx, tempy;     // Tempx, Tempy: the items' saved left and top edges
  long arrange = 0;             // Arrange: the chosen arrangement (a desktop menu index)
  bool iconsLocked = false;     // isLock: item positions locked
  long scaleDpi = 0;            // ScaleDpi: the DPI the layout was built at (0: never stored, 96)
};

ProgramValues ReadProgramValues();

// Writes the values named, as `values` holds them; false when one failed.
bool SaveProgramValues(const ProgramValues& values, const std::vector<ProgramValueId>& which);

// The places of the items remembered for one layer size ("1024x738"),
// under HKEY_CURRENT_USER\Software\Velmora\Layouts.
std::string ReadRememberedPlaces(const std::string& layerSize);
bool SaveRememberedPlaces(const std::string& layerSize, const std::string& text);
void ForgetRememberedPlaces(const std::string& layerSize);

// Starting with Windows: the current user's Run value for the running
// program (its name without extension, its quoted path in `appDirectory`),
// made or removed; removing also takes away one an older start-up switch
// left for all users, where this user may.
void SaveStartWithWindows(bool on, const std::string& appDirectory);

}  // namespace velmora
