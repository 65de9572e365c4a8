// When the wallpaper rests: the reasons (wallpaper/PauseRules) gathered
// from the system for the background window: a program of another process
// full screen in front, the shell's desktop window hidden (both looked at
// twice a second), the session locked, the display off (both told by the
// system), and for the movie alone the battery saved (the power status read
// when the system tells it changed). Whoever owns it is told when resting
// starts or ends.
#pragma once

#include "common/Handles.h"
#include "common/SystemNotifications.h"
#include "wallpaper/PauseRules.h"

#include <windows.h>

#include <functional>

namespace velmora {

class WallpaperRest {
 public:
  // Looks twice a second whether the wallpaper can be seen at all.
  static constexpr UINT kCheckTimerId = 3;
  static constexpr UINT kCheckInterval = 500;

  // `changed` is called whenever a reason comes or goes (Resting() tells
  // the state then).
  explicit WallpaperRest(std::function<void()> changed) : changed_(std::move(changed)) {}

  // The system's notices taken for `window`, and the looks started.
  void Start(HWND window);
  // The notices given back and the looks ended.
  void Stop(HWND window);

  const PauseReasons& Reasons() const { return reasons_; }
  // The slides and the movie rest.
  bool Resting() const { return reasons_.Any(); }
  // Every movie rests (also to spare the battery).
  bool MovieResting() const { return reasons_.MovieRests(); }
  // The monitors a full-screen program hides: the movies there rest.
  const std::vector<ScreenBox>& HiddenMonitors() const { return reasons_.hiddenMonitors; }

  // Whether the movie rests on battery with the saver on (the setting).
  void SetPowerRule(bool on);
  // Where the power status comes from: the system's, or a test's stand-in
  // (the status is read again at once).
  void SetPowerSource(std::function<PowerState()> source);

  // Looks at the screen now rather than at the next look.
  void Check(HWND window);
  // The window's messages of the rest: its look timer, the session's lock,
  // the display's power; true (with `result`) when the message was one.
  bool HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

 private:
  void Set(const PauseReasons& now);
  // The power status read again and the rule applied.
  void ReadPower();

  std::function<void()> changed_;
  PauseReasons reasons_;
  UniqueSessionNotify sessionNotify_;
  UniquePowerNotify displayNotify_;
  PowerSourceNotify powerNotify_;
  std::function<PowerState()> powerSource_;
  bool powerRule_ = true;
};

}  // namespace velmora
