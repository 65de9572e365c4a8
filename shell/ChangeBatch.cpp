#include "shell/ChangeBatch.h"

#include <algorithm>

namespace velmora {

ChangeBatch::Clock::time_point ChangeBatch::DueAt() const {
  return std::min(last_ + quiet_, *first_ + longest_);
}

ChangeBatch::Clock::time_point ChangeBatch::Changed(Clock::time_point now) {
  if (!first_) first_ = now;
  last_ = now;
  return DueAt();
}

bool ChangeBatch::Due(Clock::time_point now) {
  if (!first_ || now < DueAt()) return false;
  first_.reset();
  return true;
}

ChangeBatch::Duration ChangeBatch::Remaining(Clock::time_point now) const {
  if (!first_) return Duration::zero();
  return std::max(Duration::zero(), DueAt() - now);
}

}  // namespace velmora
