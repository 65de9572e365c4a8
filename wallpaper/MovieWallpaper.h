// The movie mode of the background window: its player control (DesktopFlash)
// given the movie settings and the movie to play, the blank movie while the
// settings dialog is open, and the control stopped and hidden for the
// slideshow.
#pragma once

#include "settings/SettingsModel.h"
#include "wallpaper/MoviePlayerWindow.h"

#include <string>
#include <vector>

namespace velmora {

class MovieWallpaper {
 public:
  // `appDirectory`: where the marker "flashs" and the blank movie lie.
  explicit MovieWallpaper(std::string appDirectory) : appDirectory_(std::move(appDirectory)) {}

  // The control, hidden, filling `parent`'s client area.
  bool Create(HWND parent, int width, int height);

  // FlashWallpaper: the control stopped and shown, the settings given to it,
  // the movie of `settings.current` played. A movie entry without a location
  // leaves the path as it was.
  void Start(const FlashSettings& settings);
  // The settings dialog is open: the blank movie plays.
  void ShowBlank();
  // The slideshow runs: the control stopped and hidden.
  void StopAndHide();

  MoviePlayerWindow& Control() { return control_; }
  const std::string& MoviePath() const { return moviePath_; }

 private:
  std::string appDirectory_;
  MoviePlayerWindow control_;  // DesktopFlash
  std::string moviePath_;      // MoviePath
  std::vector<std::string> entryParts_;  // ItemParts: the current entry's name and location
};

}  // namespace velmora
