// Where curves are cut into lines: close enough everywhere, no more lines
// than needed, and the short ones where the curve bends.
#include "player/render/QuadCurve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace velmora::swf {
namespace {

// The line count is worked out for short lines; a line may stray up to a
// fifth past the tolerance.
constexpr double kSlack = 1.2;

// The farthest the curve strays from the lines through its cuts.
double WorstStray(Point from, Point control, Point to, const std::vector<double>& cuts) {
  std::vector<double> ts{0};
  ts.insert(ts.end(), cuts.begin(), cuts.end());
  ts.push_back(1);
  double worst = 0;
  for (size_t i = 0; i + 1 < ts.size(); ++i) {
    const Point a = QuadPoint(from, control, to, ts[i]), b = QuadPoint(from, control, to, ts[i + 1]);
    for (int k = 0; k <= 64; ++k) {
      const double t = ts[i] + (ts[i + 1] - ts[i]) * k / 64;
      worst = std::fmax(worst, detail::DistanceToSegment(QuadPoint(from, control, to, t), a, b));
    }
  }
  return worst;
}

TEST(QuadCuts, LinesStayWithinTheToleranceAndAreFewerThanEvenStepsWouldNeed) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> coord(-4000, 4000);
  std::vector<double> cuts;
  size_t pieces = 0, evenPieces = 0;
  for (int i = 0; i < 2000; ++i) {
    const Point from{coord(rng), coord(rng)}, control{coord(rng), coord(rng)}, to{coord(rng), coord(rng)};
    QuadCuts(from, control, to, 2, cuts);
    SCOPED_TRACE(testing::Message() << "curve " << i);
    ASSERT_LE(WorstStray(from, control, to, cuts), 2 * kSlack);
    for (size_t k = 0; k < cuts.size(); ++k) {
      ASSERT_GT(cuts[k], k ? cuts[k - 1] : 0.0);
      ASSERT_LT(cuts[k], 1.0);
    }
    // Even steps in the parameter within 2 units need sqrt(bend / 16) lines.
    const double bend = std::hypot(2 * control.x - from.x - to.x, 2 * control.y - from.y - to.y);
    const int evenSteps = std::max(static_cast<int>(std::ceil(std::sqrt(bend / 16))), 1);
    ASSERT_LE(cuts.size() + 1, 2u * evenSteps);
    pieces += cuts.size() + 1;
    evenPieces += evenSteps;
  }
  EXPECT_LT(pieces, evenPieces);
}

TEST(QuadCuts, ASharpBendGetsTheShortLines) {
  // A thin crescent: out along the x axis, a tight turn, and back.
  const Point from{0, 0}, control{2000, 30}, to{0, 60};
  std::vector<double> cuts;
  QuadCuts(from, control, to, 2, cuts);
  ASSERT_GE(cuts.size(), 4u);
  const double firstStep = cuts.front();
  double middleStep = 1;
  for (size_t k = 0; k + 1 < cuts.size(); ++k)
    if (cuts[k] <= 0.5 && cuts[k + 1] >= 0.5) middleStep = cuts[k + 1] - cuts[k];
  EXPECT_LT(middleStep, firstStep / 3);
  EXPECT_LE(WorstStray(from, control, to, cuts), 2 * kSlack);
}

TEST(QuadCuts, ACurveWhoseMiddleIsWithinTheToleranceIsOneLine) {
  // Its middle is 1.86 units off the chord: one line is close enough, though
  // the count along the parabola comes to just over one.
  const Point from{7842, 6073}, control{7801, 5849}, to{7792, 5823};
  std::vector<double> cuts;
  QuadCuts(from, control, to, 2, cuts);
  EXPECT_TRUE(cuts.empty());
  // Scaled by 1.1 about its start, the middle is 2.05 off: cut.
  auto grow = [&](Point p) { return Point{from.x + 1.1 * (p.x - from.x), from.y + 1.1 * (p.y - from.y)}; };
  QuadCuts(from, grow(control), grow(to), 2, cuts);
  EXPECT_FALSE(cuts.empty());
}

TEST(QuadCuts, AThinSpikeKeepsItsTip) {
  // Both ends nearly together and the control far off: the curve runs out
  // some 1,500 units and back, and one line from end to end would lose it.
  const Point from{1022, -1930}, control{-2003, -2872}, to{1014, -1933};
  std::vector<double> cuts;
  QuadCuts(from, control, to, 2, cuts);
  EXPECT_LE(WorstStray(from, control, to, cuts), 2 * kSlack);
}

TEST(QuadCuts, StraightCurvesNeedNoCutUnlessTheyTurnBack) {
  std::vector<double> cuts;
  QuadCuts({0, 0}, {50, 50}, {100, 100}, 2, cuts);
  EXPECT_TRUE(cuts.empty());
  // Control point on the line but past its end: the curve runs out to 66.7
  // and comes back to 50, so lines straight from end to end would miss it.
  const Point from{0, 0}, control{100, 0}, to{50, 0};
  QuadCuts(from, control, to, 2, cuts);
  ASSERT_FALSE(cuts.empty());
  EXPECT_LE(WorstStray(from, control, to, cuts), 2.0);
  // A tolerance of zero or less asks for nothing sensible: no cuts, no hang.
  QuadCuts({0, 0}, {100, 300}, {200, 0}, 0, cuts);
  EXPECT_TRUE(cuts.empty());
}

}  // namespace
}  // namespace velmora::swf
