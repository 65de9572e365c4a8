// Desktop changes gathered into as few rebuilds as can be: a rebuild waits
// until no change came for a short while, but never longer than a second
// after the first change of the batch.
#pragma once

#include <chrono>
#include <optional>

namespace velmora {

class ChangeBatch {
 public:
  using Clock = std::chrono::steady_clock;
  using Duration = Clock::duration;

  explicit ChangeBatch(Duration quiet = std::chrono::milliseconds(250),
                       Duration longest = std::chrono::milliseconds(900))
      : quiet_(quiet), longest_(longest) {}

  // A change came at `now`; the moment the rebuild is due.
  Clock::time_point Changed(Clock::time_point now);

  // Asked at `now`: true (and the batch is over) when the rebuild is due.
  bool Due(Clock::time_point now);

  bool Pending() const { return first_.has_value(); }
  // How long from `now` until the rebuild is due (zero when it is).
  Duration Remaining(Clock::time_point now) const;

 private:
  Clock::time_point DueAt() const;

  Duration quiet_, longest_;
  std::optional<Clock::time_point> first_;
  Clock::time_point last_{};
};

}  // namespace velmora
