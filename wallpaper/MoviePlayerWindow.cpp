#include "wallpaper/MoviePlayerWindow.h"

#include "common/DibInfo.h"
#include "common/FileSystem.h"
#include "common/Handles.h"
#include "player/render/ChangedArea.h"
#include "wallpaper/GdiGlyphSource.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace velmora {
namespace {

// Movies larger than this are not read (wallpaper movies are far smaller).
constexpr uint64_t kMaxMovieBytes = uint64_t{256} << 20;

}  // namespace

bool MoviePlayerWindow::Create(HWND parent, int x, int y, int width, int height) {
  if (!Window::Create({kClassName, "", WS_CHILD | WS_CLIPSIBLINGS, 0, x, y, width, height, parent,
                       CLR_INVALID}))
    return false;
  canvas_.Resize(std::max(width, 0), std::max(height, 0));
  // Text fields in the system's fonts draw through GDI.
  playback_.SetGlyphSource(std::make_shared<GdiGlyphSource>());
  // The scripts' Date shows the machine's local time.
  playback_.SetClock(&clock_);
  Redraw();
  return true;
}

void MoviePlayerWindow::SetMovie(const std::string& path) {
  // The clock starts again, at the new movie's own frame rate.
  StopClock();
  moviePath_ = path;
  // Read here, where paths are the system's: the player takes bytes.
  const std::optional<std::string> bytes = ReadWholeFile(path, kMaxMovieBytes);
  if (bytes)
    playback_.LoadBytes(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size());
  else
    playback_.LoadBytes(nullptr, 0);
  // Autoplay: a movie given is a movie shown and running.
  playing_ = playback_.Loaded();
  // The first frame's scripts may lay the movie out to the window's size.
  RECT client{};
  if (hwnd()) ::GetClientRect(hwnd(), &client);
  playback_.SetView(client.right, client.bottom, HostScaleMode());
  if (playing_) playback_.Step();
  Redraw();
  UpdateTimer();
}

void MoviePlayerWindow::Play() {
  if (!playback_.Loaded() || playing_) return;
  playing_ = true;
  UpdateTimer();  // a stopped control has no clock running: it starts from now
}

void MoviePlayerWindow::Stop() {
  playing_ = false;
  UpdateTimer();
}

void MoviePlayerWindow::SetQuality(int quality) {
  quality_ = quality;
  Redraw();
}

void MoviePlayerWindow::SetScaleMode(int mode) {
  scaleMode_ = mode;
  Redraw();
}

void MoviePlayerWindow::SetBackgroundColor(uint32_t bgr) {
  backgroundBgr_ = bgr & 0xFFFFFF;
  Redraw();
}

void MoviePlayerWindow::SetVisible(bool visible) {
  if (!hwnd()) return;
  ::ShowWindow(hwnd(), visible ? SW_SHOWNA : SW_HIDE);
  UpdateTimer();
}

void MoviePlayerWindow::Move(int x, int y, int width, int height) {
  if (hwnd()) ::MoveWindow(hwnd(), x, y, width, height, TRUE);
}

void MoviePlayerWindow::SetPaused(bool paused) {
  if (paused == paused_) return;
  paused_ = paused;
  UpdateTimer();
}

double MoviePlayerWindow::FramePeriodMs() const { return MovieFramePeriodMs(playback_.GetMovie().frameRate); }

double MoviePlayerWindow::TimerPeriodMs() const { return DrawPeriodMs(FramePeriodMs(), maxDrawRate_); }

void MoviePlayerWindow::SetMaxFrameRate(int framesPerSecond) {
  maxDrawRate_ = std::clamp(framesPerSecond, kLeastMaxDrawRate, kMostMaxDrawRate);
  if (!timerArmed_) return;
  // The timer ticks at the new rate; the movie's clock runs on.
  ArmFrameTimer();
}

void MoviePlayerWindow::ArmFrameTimer() {
  ::SetTimer(hwnd(), kFrameTimerId, static_cast<UINT>(std::max(1.0, std::floor(TimerPeriodMs()))), nullptr);
}

double MoviePlayerWindow::NowMs() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void MoviePlayerWindow::UpdateTimer() {
  if (!hwnd()) return;
  bool wanted = playing_ && !paused_ && ::IsWindowVisible(hwnd());
  if (wanted && !timerArmed_) {
    frameClock_.Start(NowMs());
    ArmFrameTimer();
    timerArmed_ = true;
  } else if (!wanted) {
    StopClock();
  }
}

void MoviePlayerWindow::StopClock() {
  if (!timerArmed_) return;
  ::KillTimer(hwnd(), kFrameTimerId);
  timerArmed_ = false;
}

void MoviePlayerWindow::OnFrameTimer() {
  // Out of sight (a hidden parent sends no message): no frame is drawn.
  if (!playing_ || paused_ || !::IsWindowVisible(hwnd())) return;
  // Every frame owed since the last tick is run and only the last is drawn.
  const uint64_t owed = frameClock_.Due(NowMs(), FramePeriodMs());
  if (owed == 0) return;
  for (uint64_t i = 0; i < owed; ++i) playback_.Step();
  Redraw();
}

swf::ScaleMode MoviePlayerWindow::HostScaleMode() const {
  return static_cast<swf::ScaleMode>(scaleMode_ >= 0 && scaleMode_ <= 3 ? scaleMode_ : 0);
}

void MoviePlayerWindow::Redraw() {
  if (!hwnd()) return;
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  if (canvas_.width != client.right || canvas_.height != client.bottom)
    canvas_.Resize(client.right, client.bottom);
  std::optional<uint32_t> rgb;
  if (backgroundBgr_) {
    uint32_t c = *backgroundBgr_;
    rgb = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
  }
  const double start = NowMs();
  const bool changed =
      playback_.DrawIfChanged(canvas_, HostScaleMode(), quality_ != 0, rgb);
  const double drawn = NowMs();
  // A still frame (a stopped timeline, a movie of one frame) is not sent to
  // the screen again, and of a moving one only what changed.
  if (!changed) return;
  ++costs_.frames;
  costs_.drawMs += drawn - start;
  const std::optional<RECT> area = AreaToPaint();
  costs_.handMs += NowMs() - drawn;
  if (area) PaintNow(*area);
}

std::optional<RECT> MoviePlayerWindow::AreaToPaint() {
  const swf::PixelBounds drawn = playback_.ChangedBounds();
  if (drawn.x0 > 0 || drawn.y0 > 0 || drawn.x1 < canvas_.width || drawn.y1 < canvas_.height) {
    // The player drew over its last picture and knows where: that is what
    // goes to the screen. The screen's copy is not kept meanwhile.
    std::vector<uint32_t>().swap(shown_);
    if (drawn.Empty()) return std::nullopt;
    return RECT{drawn.x0, drawn.y0, drawn.x1, drawn.y1};
  }
  // A frame drawn whole: what differs from the screen's last picture.
  ++costs_.compared;
  if (shown_.size() != canvas_.pixels.size()) {
    shown_ = canvas_.pixels;
    return RECT{0, 0, canvas_.width, canvas_.height};
  }
  const swf::ChangedRect area =
      swf::ChangedArea(canvas_.pixels.data(), canvas_.width, shown_.data(), canvas_.width, canvas_.width, canvas_.height);
  if (area.Empty()) return std::nullopt;
  for (int y = area.y0; y < area.y1; ++y) {
    const size_t at = static_cast<size_t>(y) * canvas_.width;
    std::copy(canvas_.pixels.begin() + static_cast<std::ptrdiff_t>(at + area.x0),
              canvas_.pixels.begin() + static_cast<std::ptrdiff_t>(at + area.x1),
              shown_.begin() + static_cast<std::ptrdiff_t>(at + area.x0));
  }
  return RECT{area.x0, area.y0, area.x1, area.y1};
}

void MoviePlayerWindow::PaintNow(const RECT& area) {
  // Painted at once rather than invalidated for a WM_PAINT: the frame is
  // ready now, and under Wine an invalidation alone costs 2 ms or more.
  const WindowDc dc = GetWindowDc(hwnd());
  if (!dc.get().dc) {
    ::InvalidateRect(hwnd(), &area, FALSE);
    return;
  }
  ::IntersectClipRect(dc.get().dc, area.left, area.top, area.right, area.bottom);
  PaintCanvas(dc.get().dc, area);
}

void MoviePlayerWindow::PaintCanvas(HDC dc, const RECT& area) {
  if (canvas_.width <= 0 || canvas_.height <= 0) return;
  const double start = NowMs();
  // The whole canvas under the DC's clipping: only the area is copied.
  const BITMAPINFO info = TopDownBitmapInfo(canvas_.width, canvas_.height);
  ::SetDIBitsToDevice(dc, 0, 0, canvas_.width, canvas_.height, 0, 0, 0, canvas_.height, canvas_.pixels.data(),
                      &info, DIB_RGB_COLORS);
  ++costs_.painted;
  costs_.paintedPixels += static_cast<uint64_t>(std::max(0L, area.right - area.left)) *
                          static_cast<uint64_t>(std::max(0L, area.bottom - area.top));
  costs_.paintMs += NowMs() - start;
}

void MoviePlayerWindow::Paint() {
  const UniquePaint paint = BeginPainting(hwnd());
  if (paint.get().paint.hdc) PaintCanvas(paint.get().paint.hdc, paint.get().paint.rcPaint);
}

LRESULT MoviePlayerWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kFrameTimerId) OnFrameTimer();
      return 0;
    case WM_SIZE:
      Redraw();
      return 0;
    case WM_WINDOWPOSCHANGED:
      UpdateTimer();
      break;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_DESTROY:
      StopClock();
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace velmora
