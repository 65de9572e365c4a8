// The background window: a plain rectangle over the screen outside the
// taskbar that carries the wallpaper (a movie or the slideshow) and lies
// right under the icon layer. With several monitors it is one window over
// all of them (the bounding box of their work areas), which draws the
// wallpaper on each monitor's part of it or once across all of them. Its jobs have homes of their own: the movie
// (wallpaper/MovieWallpaper), the slideshow (wallpaper/Slideshow, drawn on
// this window), the items read again (wallpaper/ItemRebuild) and the rest
// (wallpaper/WallpaperRest); the window places itself, loads, keeps its
// drawing and passes the operations on. It reaches the other windows only
// through its links, which the desktop session that owns all windows answers.
#pragma once

#include "common/MonitorLayout.h"
#include "common/Window.h"
#include "iconlayer/CDIB.h"
#include "settings/SettingsStore.h"
#include "shell/DesktopInventory.h"
#include "wallpaper/ItemRebuild.h"
#include "wallpaper/MovieWallpaper.h"
#include "wallpaper/Slideshow.h"
#include "wallpaper/WallpaperRest.h"

#include <cstdint>
#include <functional>
#include <string>

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
  std::function<void()> desktopMoved;        // the shell's desktop took another shape
};

class FrmShortcutBG : public Window, private SlideHost {
 public:
  // `settings`: the program's settings, in its own folder beside its
  // resources and media; `items`: the desktop items, which the window reads
  // again when the desktop folders change.
  FrmShortcutBG(SettingsStore& settings, DesktopInventory& items, BackgroundLinks links);
  ~FrmShortcutBG() override;

  static constexpr const char* kClassName = "VelmoraFrmShortcutBG";
  static constexpr UINT kSlideTimerId = 1;  // Timer1
  // Looks once a second at what no message tells this child of the shell's
  // desktop window: whether the desktop took another shape (the icon view
  // moved into a WorkerW of its own when another program raised it; a look
  // is a dozen calls), and whether the monitors changed (the system tells a
  // top-level window of display changes, not a child).
  static constexpr UINT kDesktopLookTimerId = 4;
  static constexpr UINT kDesktopLookInterval = 1000;
  // Posted by the watch of the desktop folders for each change it sees.
  static constexpr UINT kDesktopChangedMessage = WM_APP + 1;

  // Creates the window, runs its load and shows it. False when the load ended
  // the program (the window was closed meanwhile).
  bool Show();
  bool Loaded() const { return phase_ != Phase::kLoading; }

  // Fits the window to the monitors outside the taskbar, and the wallpaper
  // to each monitor (or across them, as the settings say).
  void ResizeScr();
  // The monitors as the window was last placed over them, and where the
  // wallpaper goes in it.
  const DesktopLayout& Layout() const { return layout_; }
  const std::vector<WallpaperTile>& WallpaperPlaces() const { return tiles_; }
  MovieWallpaper& Movies() { return movie_; }
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

  // Reads the desktop items again, their icons with them.
  void LoadShortMem() { rebuild_.Load(); }
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
  void ShowBlankMovie() { movie_.ShowBlank(); }

  // Starts the wallpaper mode the settings name.
  void ApplyWallpaperMode();

  // The movie mode: the control set up from the settings and started.
  void FlashWallpaper();
  MoviePlayerWindow& DesktopFlash() { return movie_.Control(); }
  const std::string& MoviePath() const { return movie_.MoviePath(); }

  // The slideshow: prepare and arm the timer; show one slide; decode one.
  void ImageWallpaper();
  void SlideProcessing(int index) { slideshow_.ShowSlide(index); }
  bool Import(const std::string& filePath) { return slideshow_.Import(filePath); }
  // Raised, a running fade stops at its next frame and the slide timer
  // does nothing (StopSlide).
  bool SlideshowStopped() const { return slideshow_.Stopped(); }
  void StopSlideshow() { slideshow_.Stop(); }
  // The settings dialog is open: the slideshow holds still (StopSlide and
  // its timer off) until the wallpaper is applied again.
  void PauseSlideshow() { slideshow_.Pause(); }
  Slideshow::Rectangle SlideRect() const { return slideshow_.SlideRect(); }
  int SlideIndex() const { return slideshow_.SlideIndex(); }
  const Slideshow::Counters& Stats() const { return slideshow_.Stats(); }

  // The wallpaper rests (the movie draws nothing, its timer and the slide
  // timer are off) while a program of another process shows full screen, the
  // session is locked, the display is off or the desktop is hidden; it goes
  // on where it was when the last reason ends.
  const PauseReasons& Rest() const { return rest_.Reasons(); }
  // Looks at the screen now rather than at the next check.
  void CheckRest() { rest_.Check(hwnd()); }
  // The power status from another source than the system (a test's).
  void SetPowerSource(std::function<PowerState()> source) { rest_.SetPowerSource(std::move(source)); }

  // The shell's desktop window went away and took this window with it (the
  // program goes on and is given new windows), or a new one is there to sit
  // in: the window moves into it and the shell's notifications are taken again.
  bool LostWithShell() const { return lostWithShell_; }
  void MoveIntoNewShellWindow();

  // What the window shows (its drawing, kept between paints).
  const CDIB& Canvas() const { return canvas_; }
  const std::string& AppDirectory() const { return appDirectory_; }

 private:
  enum class Phase { kLoading, kLoaded, kShown };  // kShown: the first resize is done

  bool Load();
  void OnResize();
  void RecreateCanvas();
  // The timers and the movie follow the reasons to rest.
  void ApplyRest();
  void Paint();
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  LRESULT OnDestroy();
  void OnDestroyed() override;

  // Places the window for a taskbar description ("30*B"); an unrecognised
  // one leaves it where it is.
  void PlaceForTaskbar(const std::string& description);

  // What the slideshow draws on (SlideHost).
  CDIB& Drawing() override { return canvas_; }
  RECT ClientArea() const override;
  std::vector<WallpaperTile> Tiles() const override;
  // The wallpaper's tiles for the layout and the settings' spread; the
  // movie controls and the drawing follow a change.
  void UpdateTiles();
  // A change of the monitors (or their work areas) since the last placement.
  void CheckMonitors();
  // The once-a-second look: the desktop's shape, then the monitors.
  void LookAtTheDesktop();
  void SetBackColour(COLORREF colour) override { backColour_ = colour; }
  void SetBackPicture(const std::string& bitmapFile) override;
  // Repaints the drawing from the background colour and picture.
  void ClearDrawing() override;
  // Shows a part of the drawing on the screen now.
  void Refresh(const RECT& area) override;
  void RefreshAll() override;
  void ArmTimer(long interval) override;
  void StopTimer() override;
  bool Alive() const override { return hwnd() != nullptr; }

  SettingsStore& settings_;
  std::string appDirectory_;
  BackgroundLinks links_;
  std::function<std::string()> taskbarQuery_;
  Phase phase_ = Phase::kLoading;
  bool unloading_ = false;
  bool destroying_ = false;  // inside WM_DESTROY: the window is already going
  bool closing_ = false;  // Close was called: the window's end is the program's
  bool lostWithShell_ = false;

  // The window's own picture and colour, and the drawing over them; the
  // colour until the slideshow sets one is the default of the slides' key.
  COLORREF backColour_ = static_cast<COLORREF>(Settings().image.backColour);
  CDIB picture_;
  CDIB canvas_;
  uint32_t slideTimerWanted_ = 0;  // the slide timer's interval while it is meant to run
  DesktopLayout layout_;
  bool placed_ = false;  // layout_ holds a placement
  std::vector<MonitorArea> monitorsSeen_;  // as the system listed them at the last placement
  std::vector<WallpaperTile> tiles_;

  MovieWallpaper movie_;
  Slideshow slideshow_;
  ItemRebuild rebuild_;
  WallpaperRest rest_;
};

}  // namespace velmora
