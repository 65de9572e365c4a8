// The background window: a plain rectangle over the screen outside the
// taskbar that carries the wallpaper (a movie or the slideshow) and keeps the
// desktop items. It reaches the other windows only through its links, which
// the desktop session that owns all windows answers.
#pragma once

#include "common/Window.h"
#include "iconlayer/CDIB.h"
#include "settings/SettingsStore.h"
#include "shell/ChangeBatch.h"
#include "shell/DesktopInventory.h"
#include "shell/ShellNotify.h"
#include "wallpaper/MoviePlayerWindow.h"
#include "wallpaper/PauseRules.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace velmora {

// What the background window asks of the rest of the desktop.
struct BackgroundLinks {
  std::function<void()> showSplash;          // during the load
  std::function<void()> loadMenus;           // during the load, before the items are read

  std::function<void()> itemsLoaded;         // the items were read again: icons follow
  std::function<void()> showIconLayer;       // the first resize
  std::function<void()> placed;              // the window was placed: the layer follows
  std::function<void(bool redraw)> relaid;   // a rescan: positions, with redraw a composition
  std::function<void(bool shown)> previewSetting;  // the hover preview's setting as the mode read it
  std::function<void()> unload;              // the program's shut-down sequence
  std::function<HWND()> layerWindow;         // the icon layer, which lies right above
};

class FrmShortcutBG : public Window {
 public:
  // `settings`: the program's settings, in its own folder beside its
  // resources and media.
  // `items`: the desktop items, which the window reads again when the
  // desktop folders change.
  FrmShortcutBG(SettingsStore& settings, DesktopInventory& items, BackgroundLinks links);
  ~FrmShortcutBG() override;

  static constexpr const char* kClassName = "VelmoraFrmShortcutBG";
  static constexpr UINT kSlideTimerId = 1;                  // Timer1
  static constexpr UINT kFirstSlideDelay = 25;
  static constexpr UINT kRebuildTimerId = 2;  // gathers desktop changes into one rebuild
  // Looks twice a second whether the wallpaper can be seen at all.
  static constexpr UINT kRestCheckTimerId = 3;
  static constexpr UINT kRestCheckInterval = 500;
  // Posted by the watch of the desktop folders for each change it sees.
  static constexpr UINT kDesktopChangedMessage = WM_APP + 1;

  // Creates the window, runs its load and shows it. False when the load ended
  // the program (the window was closed meanwhile).
  bool Show();
  bool Loaded() const { return loaded_; }

  // Fits the window to the screen outside the taskbar.
  void ResizeScr();
  // Where the taskbar is comes from the shell; another source can stand in
  // (a display without a shell taskbar, or a test).
  void SetTaskbarQuery(std::function<std::string()> query) { taskbarQuery_ = std::move(query); }

  // The program's shut-down sequence (through the session that owns the
  // windows); runs once, later calls do nothing.
  void Unloadme();
  // The background window's own parts of it: the slideshow stopped and its
  // surfaces given back; the window closed (last).
  void StopForShutdown();
  void Close();

  // Prunes a media list of the files that are gone.
  void FilesExist(MediaList list);

  // Reads the desktop items again: rows, arrays, icons.
  void LoadShortMem();
  // Rebuilds the items and the positions; with `redraw` the layer is
  // composed again and the wallpaper restarted.
  void RefreshShortcut(bool redraw);
  // A change of the desktop folders (the shell's directory update, the
  // watch of the folders): changes close together make one rebuild, which
  // recomposes the layer and leaves the wallpaper running.
  void DesktopChanged();
  // The shell's notification (wParam, lParam of WM_SHNOTIFY).
  void NotificationReceipt(WPARAM wParam, LPARAM lParam);
  // The settings dialog is opening: a movie gives way to the blank one.
  void ShowBlankMovie();

  // Starts the wallpaper mode the settings name.
  void ApplyWallpaperMode();

  // The movie mode: the control set up from the settings and started.
  void FlashWallpaper();
  MoviePlayerWindow& DesktopFlash() { return desktopFlash_; }
  const std::string& MoviePath() const { return moviePath_; }

  // The slideshow: prepare and arm the timer; show one slide; decode one.
  void ImageWallpaper();
  void SlideProcessing(int index);
  bool Import(const std::string& filePath);
  // Raised, a running fade stops at its next frame and the slide timer
  // does nothing (StopSlide).
  bool SlideshowStopped() const { return stopSlide_; }
  void StopSlideshow() { stopSlide_ = true; }
  // The settings dialog is open: the slideshow holds still (StopSlide and
  // its timer off) until the wallpaper is applied again.
  void PauseSlideshow();

  // The wallpaper rests (the movie draws nothing, its timer and the slide
  // timer are off) while a program of another process shows full screen, the
  // session is locked, the display is off or the desktop is hidden; it goes
  // on where it was when the last reason ends.
  const PauseReasons& Rest() const { return rest_; }
  // Looks at the screen now rather than at the next check.
  void CheckRest();

  // The shell's desktop window went away and took this window with it (the
  // program goes on and is given new windows), or a new one is there to sit
  // in: the window moves into it and the shell's notifications are taken again.
  bool LostWithShell() const { return lostWithShell_; }
  void MoveIntoNewShellWindow();

  // What the window shows (its drawing, kept between paints).
  const CDIB& Canvas() const { return canvas_; }
  const std::string& AppDirectory() const { return appDirectory_; }

  struct SlideRectangle {
    int32_t left = 0, top = 0, width = 0, height = 0;
  };
  SlideRectangle SlideRect() const { return slideRect_; }
  int SlideIndex() const { return slideIndex_; }

  // Counters for watching the slideshow from outside.
  struct Counters {
    int slidesStarted = 0;    // SlideProcessing calls that found an entry
    int slidesCompleted = 0;  // fades that reached the final opaque draw
    int fadeFrames = 0;       // constant-opacity frames drawn
  };
  const Counters& Stats() const { return counters_; }

 private:
  bool Load();
  void OnResize();
  void OnSlideTimer();
  void ArmSlideTimer(long interval);
  void StopSlideTimer();
  // Repaints the drawing from the background colour and picture.
  void ClearDrawing();
  // Shows a part of the drawing on the screen now.
  void Refresh(const RECT& area);
  void RefreshAll();
  void RecreateCanvas();
  // The slide shown last, drawn again (after the window was resized).
  void RedrawSlide();
  void OnRebuildTimer();
  // The timers and the movie follow the reasons to rest.
  void ApplyRest();
  void Paint();
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnDestroyed() override;

  // Places the window for a taskbar description ("30*B"); an unrecognised
  // one leaves it where it is.
  void PlaceForTaskbar(const std::string& description);

  SettingsStore& settings_;
  std::string appDirectory_;
  DesktopInventory& items_;
  DesktopNotifications notifications_;
  ChangeBatch changes_;
  BackgroundLinks links_;
  std::function<std::string()> taskbarQuery_;
  bool loaded_ = false;
  bool firstResizeDone_ = false;
  bool unloading_ = false;
  bool destroying_ = false;  // inside WM_DESTROY: the window is already going
  bool closing_ = false;  // Close was called: the window's end is the program's
  bool lostWithShell_ = false;
  bool stopSlide_ = false;

  PauseReasons rest_;
  uint32_t slideTimerWanted_ = 0;  // the slide timer's interval while it is meant to run
  UniqueSessionNotify sessionNotify_;
  UniquePowerNotify displayNotify_;

  // The window's own picture and colour, and the drawing over them.
  // The slides' colour until the slideshow sets one: the default of its key.
  COLORREF backColour_ = static_cast<COLORREF>(Settings().image.backColour);
  CDIB picture_;
  CDIB canvas_;

  MoviePlayerWindow desktopFlash_;
  std::string moviePath_;
  std::vector<std::string> itemParts_;  // the current entry's name and location

  // Slideshow state.
  long slideInterval_ = 0, slideSpeed_ = 0, slideLocation_ = 0;
  std::vector<std::string> itemList_;
  int slideIndex_ = 0;
  CDIB fadeSurface_;
  CDIB finalSurface_;
  std::string importedSlide_;  // path and version of the picture the surfaces hold
  SlideRectangle slideRect_;
  Counters counters_;
};

}  // namespace velmora
