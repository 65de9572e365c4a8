// When a playing movie steps and when it is drawn. The timeline follows the
// movie's own clock whatever drawing costs: a frame that takes longer than
// its period to draw makes the next tick run the frames it owes and draw
// only the last of them, so a heavy movie keeps its real speed and shows
// fewer pictures. Drawing is also held to a largest rate of its own (a 120
// frames a second movie need not be drawn that often on a wallpaper).
#pragma once

#include <cstdint>

namespace velmora {

// Frames per second drawn at the most when nothing else is set, and the
// bounds of that setting.
constexpr int kDefaultMaxDrawRate = 60;
constexpr int kLeastMaxDrawRate = 1;
constexpr int kMostMaxDrawRate = 120;

// A movie's frame period in milliseconds from its header's rate: a rate of 0
// (or a damaged one) plays at 12 frames a second, and none faster than the
// most a wallpaper draws.
double MovieFramePeriodMs(double frameRate);

// How often the control's timer ticks: the movie's period, or the period of
// the largest drawing rate when the movie is faster.
double DrawPeriodMs(double framePeriodMs, int maxDrawRate);

class FrameClock {
 public:
  // After a gap longer than this (a suspended machine, the clock stopped
  // under a debugger) the movie does not race through what it missed: its
  // clock starts over.
  static constexpr double kLongestCatchUpMs = 1000;

  // Starts the clock at `nowMs`: frame 0 is due then.
  void Start(double nowMs);
  // The frames to run at `nowMs` (0: none is due yet; draw nothing).
  uint64_t Due(double nowMs, double framePeriodMs);

 private:
  double startMs_ = 0;
  uint64_t ticksDone_ = 0;
};

}  // namespace velmora
