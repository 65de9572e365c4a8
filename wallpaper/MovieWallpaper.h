// The movie mode of the background window: its player controls (DesktopFlash
// and one more for each further monitor the movie repeats on) given the
// movie settings and the movie to play, the blank movie while the settings
// dialog is open, and the controls stopped and hidden for the slideshow.
#pragma once

#include "settings/SettingsModel.h"
#include "wallpaper/PauseRules.h"
#include "wallpaper/MoviePlayerWindow.h"

#include <memory>
#include <string>
#include <vector>

namespace velmora {

class MovieWallpaper {
 public:
  // `appDirectory`: where the marker "flashs" and the blank movie lie.
  explicit MovieWallpaper(std::string appDirectory) : appDirectory_(std::move(appDirectory)) {}

  // The first control, hidden, filling `parent`'s client area.
  bool Create(HWND parent, int width, int height);

  // One control on each rectangle of `parent`'s client area (the movie on
  // each monitor, or one across all of them): the first stays, the others
  // are made or closed, and a new one shows what the first shows.
  void SetTiles(const std::vector<RECT>& tiles);

  // FlashWallpaper: the controls stopped and shown, the settings given to
  // them, the movie of `settings.current` played. A movie entry without a
  // location leaves the path as it was.
  void Start(const FlashSettings& settings);
  // The settings dialog is open: the blank movie plays.
  void ShowBlank();
  // The slideshow runs: the controls stopped and hidden.
  void StopAndHide();
  // Every control rests (draws nothing, no timer) or goes on; a control
  // whose whole window lies on `hidden` monitors rests all the same.
  void SetPaused(bool paused, std::vector<ScreenBox> hidden = {});
  bool ControlResting(size_t i) const;

  // The pointer at a screen point that the icon layer does not use: given to
  // the shown control under it (MouseToMovie on). A release goes to the
  // control the press went to, wherever the pointer is then.
  void PointerMoved(POINT screen);
  void PointerButton(POINT screen, bool down);

  MoviePlayerWindow& Control() { return *controls_.front(); }
  size_t ControlCount() const { return controls_.size(); }
  MoviePlayerWindow& ControlAt(size_t i) { return *controls_[i]; }
  const std::string& MoviePath() const { return moviePath_; }

 private:
  // A new control made to show what the first shows.
  void Follow(MoviePlayerWindow& control);
  // Whether `control` rests now: all rest, or its place cannot be seen.
  bool RestsNow(const MoviePlayerWindow& control) const;

  std::string appDirectory_;
  HWND parent_ = nullptr;
  // DesktopFlash first; never empty.
  std::vector<std::unique_ptr<MoviePlayerWindow>> controls_{
      std::vector<std::unique_ptr<MoviePlayerWindow>>(1)};
  std::string moviePath_;      // MoviePath
  std::vector<std::string> entryParts_;  // ItemParts: the current entry's name and location
  bool paused_ = false;
  std::vector<ScreenBox> hidden_;  // monitors hidden by a full-screen program
  bool mouseToMovie_ = false;  // MouseToMovie, from the last Start
  MoviePlayerWindow* pressed_ = nullptr;  // the control a press went to
  // The shown control under `screen` and the point in its client pixels.
  MoviePlayerWindow* ControlUnder(POINT screen, POINT& client);
};

}  // namespace velmora
