// Desktop changes gathered into as few rebuilds as can be.
#include "shell/ChangeBatch.h"

#include <gtest/gtest.h>

#include <chrono>

namespace velmora {
namespace {

TEST(ChangeBatch, ABurstBecomesOneRebuildAndNoneWaitsLong) {
  using namespace std::chrono_literals;
  ChangeBatch batch(250ms, 900ms);
  const auto t0 = ChangeBatch::Clock::time_point{} + 10s;
  EXPECT_FALSE(batch.Due(t0));
  EXPECT_EQ(batch.Changed(t0), t0 + 250ms);
  // Changes every 100 ms: the quiet time never passes, the batch ends 900 ms
  // after its first change.
  int rebuilds = 0;
  for (auto t = t0 + 100ms; t <= t0 + 3s; t += 100ms) {
    if (t < t0 + 2s) batch.Changed(t);
    if (batch.Due(t)) ++rebuilds;
  }
  EXPECT_EQ(rebuilds, 2);  // at 0.9 s, and at 1.9 s: 900 ms after the next batch began
  EXPECT_FALSE(batch.Pending());
  batch.Changed(t0 + 5s);
  EXPECT_FALSE(batch.Due(t0 + 5s + 249ms));
  EXPECT_EQ(batch.Remaining(t0 + 5s + 200ms), std::chrono::milliseconds(50));
  EXPECT_TRUE(batch.Due(t0 + 5s + 250ms));
}

}  // namespace
}  // namespace velmora
