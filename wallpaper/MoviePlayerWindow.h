// The movie player control: a child window that plays a movie file with the
// built-in player, looping, at the movie's frame rate. It starts playing as
// soon as a movie is given (autoplay) and costs nothing while stopped or
// hidden.
#pragma once

#include "common/Window.h"
#include "player/MoviePlayback.h"
#include "wallpaper/FrameClock.h"
#include "wallpaper/SystemMovieClock.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

// Where a drawn frame's time goes, in wall milliseconds summed over the
// frames: drawing it (the player, on every band thread at once), handing it
// on (finding what changed since the screen's last picture and keeping it),
// and painting it to the screen.
struct FrameCosts {
  uint64_t frames = 0;  // frames drawn that changed something
  uint64_t painted = 0;  // paints that sent pixels to the screen
  uint64_t compared = 0;  // frames drawn whole, compared with the screen's last picture
  double drawMs = 0, handMs = 0, paintMs = 0;
  uint64_t paintedPixels = 0;
};

class MoviePlayerWindow : public Window {
 public:
  static constexpr const char* kClassName = "VelmoraMoviePlayer";
  static constexpr UINT kFrameTimerId = 1;

  // Creates the control hidden, as a child of `parent`.
  bool Create(HWND parent, int x, int y, int width, int height);

  // The movie file; setting it loads the movie and plays it from its first
  // frame. A missing or unreadable file shows only the background colour.
  void SetMovie(const std::string& path);
  const std::string& Movie() const { return moviePath_; }
  void Play();
  void Stop();
  bool IsPlaying() const { return playing_; }

  // 0 low (no anti-aliasing, no smoothing); any other value high.
  void SetQuality(int quality);
  int Quality() const { return quality_; }
  // 0 show all, 1 no border, 2 exact fit, 3 no scale; others show all.
  void SetScaleMode(int mode);
  int ScaleMode() const { return scaleMode_; }
  // 0x00BBGGRR; replaces the movie's own background colour.
  void SetBackgroundColor(uint32_t bgr);
  uint32_t BackgroundColor() const { return backgroundBgr_.value_or(0xFFFFFF); }

  void SetVisible(bool visible);
  // Paused, the control draws nothing and its timer is off; it goes on from
  // the frame it showed when the pause ends, without catching up.
  void SetPaused(bool paused);
  bool Paused() const { return paused_; }
  bool ClockRunning() const { return timerArmed_; }
  // The most frames a second drawn (the movie's clock keeps its own rate:
  // frames between two drawings are run and not drawn).
  void SetMaxFrameRate(int framesPerSecond);
  int MaxFrameRate() const { return maxDrawRate_; }
  // How often the clock's timer ticks, in milliseconds.
  double TimerPeriodMs() const;
  void Move(int x, int y, int width, int height);
  // The pointer over the control, in its client pixels: a move, or the main
  // button pressed or released. Nothing is drawn here; the movie shows what
  // changed at its next frame.
  void PointerMoved(int x, int y) { playback_.PointerMoved(x, y); }
  void PointerButton(bool down, int x, int y) { playback_.PointerButton(down, x, y); }

  // What the control shows, for tests and the settings preview.
  const swf::Canvas& Frame() const { return canvas_; }
  uint32_t FramesRun() const { return playback_.FramesRun(); }
  bool MovieLoaded() const { return playback_.Loaded(); }
  const FrameCosts& Costs() const { return costs_; }

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnFrameTimer();
  void UpdateTimer();
  void StopClock();
  void Redraw();
  // The scale mode the settings give (a movie's script may choose its own).
  swf::ScaleMode HostScaleMode() const;
  // The area of the frame just drawn to send to the screen: where the player
  // drew over its last picture, or, of a frame drawn whole, what differs
  // from the screen's last picture (kept for that); nothing when nothing
  // changed.
  std::optional<RECT> AreaToPaint();
  // The area sent to the screen now; WM_PAINT sends what the system asks.
  void PaintNow(const RECT& area);
  void PaintCanvas(HDC dc, const RECT& area);
  void Paint();
  double FramePeriodMs() const;
  static double NowMs();
  // (Re)starts the frame timer at TimerPeriodMs().
  void ArmFrameTimer();

  SystemMovieClock clock_;  // the movie's Date; outlives the playback
  swf::MoviePlayback playback_;
  swf::Canvas canvas_;
  // The pixels last sent to the screen, while frames are drawn whole: only
  // the part of such a frame that differs from them is painted again.
  std::vector<uint32_t> shown_;
  std::string moviePath_;
  bool playing_ = false;
  bool timerArmed_ = false;
  bool paused_ = false;
  int quality_ = 1;
  int scaleMode_ = 0;
  std::optional<uint32_t> backgroundBgr_;
  FrameClock frameClock_;
  int maxDrawRate_ = kDefaultMaxDrawRate;
  FrameCosts costs_;
};

}  // namespace velmora
