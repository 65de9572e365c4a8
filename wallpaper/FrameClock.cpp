#include "wallpaper/FrameClock.h"

#include <algorithm>
#include <cmath>

namespace velmora {
namespace {

constexpr double kUnknownRate = 12;

}  // namespace

double MovieFramePeriodMs(double frameRate) {
  const double rate = frameRate >= 1 ? frameRate : kUnknownRate;
  return 1000.0 / std::min(rate, static_cast<double>(kMostMaxDrawRate));
}

double DrawPeriodMs(double framePeriodMs, int maxDrawRate) {
  const int rate = std::clamp(maxDrawRate, kLeastMaxDrawRate, kMostMaxDrawRate);
  return std::max(framePeriodMs, 1000.0 / rate);
}

void FrameClock::Start(double nowMs) {
  startMs_ = nowMs;
  ticksDone_ = 0;
}

uint64_t FrameClock::Due(double nowMs, double framePeriodMs) {
  const double elapsed = nowMs - startMs_;
  if (!(elapsed >= 0) || !(framePeriodMs > 0)) {
    // The clock went back (or a period that makes no sense): start again.
    Start(nowMs);
    return 0;
  }
  const uint64_t due = static_cast<uint64_t>(std::floor(elapsed / framePeriodMs));
  if (due <= ticksDone_) return 0;
  const uint64_t owed = due - ticksDone_;
  if (static_cast<double>(owed) * framePeriodMs > kLongestCatchUpMs) {
    // One frame now, and the clock counts from here.
    Start(nowMs);
    return 1;
  }
  ticksDone_ = due;
  return owed;
}

}  // namespace velmora
