// The slideshow of the background window: the pictures of the slide list
// one after another, in list order and round again, each faded in over the
// last from a half-size copy and drawn in full at the end; fitted and
// centred on each monitor (or across all of them) or stretched over each
// monitor's work area (or the whole window). It draws on what its
// host gives it and asks the host for its timer; the timing rules are plain
// (wallpaper/SlideshowTiming).
#pragma once

#include "common/MonitorLayout.h"
#include "iconlayer/CDIB.h"
#include "settings/SettingsModel.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

// What the slideshow draws on and how it is timed: the background window.
class SlideHost {
 public:
  virtual ~SlideHost() = default;
  // The window's drawing, kept between paints (empty while it has no size).
  virtual CDIB& Drawing() = 0;
  virtual RECT ClientArea() const = 0;
  // Where a copy of the slide goes in the drawing: on each monitor, or one
  // across all of them; never empty.
  virtual std::vector<WallpaperTile> Tiles() const = 0;
  // What lies under the slides: the window's colour, and its picture, a
  // bitmap file drawn over the colour ("" for none).
  virtual void SetBackColour(COLORREF colour) = 0;
  virtual void SetBackPicture(const std::string& bitmapFile) = 0;
  // The drawing cleared to what lies under the slides.
  virtual void ClearDrawing() = 0;
  // A part of the drawing, or all of it, shown on the screen now.
  virtual void Refresh(const RECT& area) = 0;
  virtual void RefreshAll() = 0;
  // The slide timer (Timer1), which calls Slideshow::OnTimer: armed with a
  // pause in milliseconds (0 never fires), or stopped.
  virtual void ArmTimer(long interval) = 0;
  virtual void StopTimer() = 0;
  // False once the window is gone: a fade stops at its next frame.
  virtual bool Alive() const = 0;
};

class Slideshow {
 public:
  // `appDirectory`: where the marker "images" and the dialog's background
  // picture "\BgTemp.bmp" lie.
  Slideshow(SlideHost& host, std::string appDirectory)
      : host_(host), appDirectory_(std::move(appDirectory)) {}

  // ImageWallpaper: the settings taken, what lies under the slides set, the
  // list read and the first slide 25 ms away. `placement` is the slides'
  // Location as the mode read it (0 fitted, 1 stretched).
  void Start(const ImageSettings& settings, long placement);
  // Timer1: the next slide.
  void OnTimer();
  // SlideProcessing: one slide decoded, faded in and drawn, and the timer
  // armed with the pause.
  void ShowSlide(int index);
  // Import: one picture decoded into the two surfaces, its fitted rectangle
  // kept; false (the last slide kept) when it cannot be shown.
  bool Import(const std::string& filePath);

  // StopSlide: a fade in progress stops at its next frame and the timer does
  // nothing more; with the timer stopped too, the slideshow holds still.
  void Stop() { stopped_ = true; }
  void Pause();
  bool Stopped() const { return stopped_; }
  // The slide shown last drawn again (the window was resized).
  void Redraw();
  // The shut-down: stopped, the surfaces given back.
  void Release();

  struct Rectangle {
    int32_t left = 0, top = 0, width = 0, height = 0;
  };
  // Where the slide is fitted on the first tile (the primary monitor).
  Rectangle SlideRect() const { return slideRect_; }
  int SlideIndex() const { return slideIndex_; }

  // Counters for watching the slideshow from outside.
  struct Counters {
    int slidesStarted = 0;    // ShowSlide calls that found an entry
    int slidesCompleted = 0;  // fades that reached the final opaque draw
    int fadeFrames = 0;       // constant-opacity frames drawn
  };
  const Counters& Stats() const { return counters_; }

  static constexpr long kFirstSlideDelay = 25;

 private:
  // Where a slide goes on each tile: fitted on its monitor or stretched
  // over its work area; nothing for a placement of neither kind.
  std::vector<RECT> Targets();
  // The fade frames and the final draw into each target; false when a stop
  // request ended the fade.
  bool FadeIn(const std::vector<RECT>& targets);
  // The final surface drawn opaque into each target.
  void DrawFinal(const std::vector<RECT>& targets);

  SlideHost& host_;
  std::string appDirectory_;
  bool stopped_ = false;
  long interval_ = 0, speed_ = 0, placement_ = 0;
  std::vector<std::string> entries_;  // ItemList: the list's pieces
  int slideIndex_ = 0;
  CDIB fadeSurface_;
  CDIB finalSurface_;
  std::string importedSlide_;  // path and version of the picture the surfaces hold
  Rectangle slideRect_;
  Counters counters_;
};

}  // namespace velmora
