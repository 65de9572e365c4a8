// The pen's outline: what it covers against the exact distance from its path,
// and how pieces of a cut curve meet.
#include "player/render/Stroker.h"

#include "player/render/QuadCurve.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace velmora::swf {
namespace {

constexpr int kSize = 96;
// Outline points are held in whole 1/256 pixels, which moves an edge by up
// to half of that.
constexpr double kHeld = 0.5 / 256;

// Which pixel centres the stroke covers without anti-aliasing.
std::vector<bool> Covered(const std::vector<PenPoint>& path, const StrokeOptions& options) {
  Rasterizer raster;
  raster.Reset(kSize, kSize);
  AddStroke(path, options, Matrix{}, raster);
  std::vector<bool> covered(kSize * kSize, false);
  raster.Render(FillRule::NonZero, false, [&](int y, int x, int n, const uint8_t* cov) {
    for (int i = 0; i < n; ++i) covered[y * kSize + x + i] = cov[i] > 0;
  });
  return covered;
}

double DistanceToPath(Point p, const std::vector<PenPoint>& path) {
  double best = 1e300;
  for (size_t i = 0; i + 1 < path.size(); ++i)
    best = std::fmin(best, detail::DistanceToSegment(p, path[i].at, path[i + 1].at));
  return best;
}

TEST(Stroker, RoundJoinsAndCapsCoverWhatLiesWithinHalfThePenOfThePath) {
  // With round joins and caps the stroke is every point within half the
  // pen's width of the path; its round parts may fall short of the circle by
  // the tolerance.
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> coord(15, kSize - 15);
  StrokeOptions options;
  options.width = 16;
  options.tolerance = 0.1;
  for (int trial = 0; trial < 40; ++trial) {
    std::vector<PenPoint> path;
    for (int i = 0; i < 4; ++i) path.push_back({{coord(rng), coord(rng)}});
    const std::vector<bool> covered = Covered(path, options);
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) {
        const double d = DistanceToPath({x + 0.5, y + 0.5}, path);
        if (d < 8 - 0.1 - kHeld) {
          ASSERT_TRUE(covered[y * kSize + x]) << "trial " << trial << " pixel " << x << "," << y << " at " << d;
        } else if (d > 8 + kHeld) {
          ASSERT_FALSE(covered[y * kSize + x]) << "trial " << trial << " pixel " << x << "," << y << " at " << d;
        }
      }
  }
}

TEST(Stroker, ACutCurveIsCoveredWithinHalfThePenAndNoFartherThanItsMitres) {
  // Half a circle cut into 12 lines, each turning 15 degrees from the last.
  std::vector<PenPoint> path;
  for (int i = 0; i <= 12; ++i) {
    const double angle = 3.14159265358979 * i / 12;
    path.push_back({{48 + 30 * std::cos(angle), 20 + 30 * std::sin(angle)}, i > 0 && i < 12});
  }
  StrokeOptions options;
  options.width = 10;
  const std::vector<bool> covered = Covered(path, options);
  const double farthest = 5 / std::cos(3.14159265358979 / 24);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const double d = DistanceToPath({x + 0.5, y + 0.5}, path);
      if (d < 5 - options.tolerance - kHeld) {
        ASSERT_TRUE(covered[y * kSize + x]) << x << "," << y << " at " << d;
      } else if (d > farthest + kHeld) {
        ASSERT_FALSE(covered[y * kSize + x]) << x << "," << y << " at " << d;
      }
    }
}

TEST(Stroker, PiecesOfACutCurveMeetInAMitreAndASharpTipKeepsThePensJoin) {
  StrokeOptions options;
  options.width = 20;
  // A turn of 60 degrees at (40, 40): the mitre's corner lies 11.5 out along
  // the bisector, the round join's arc 10 out.
  const Point corner{40, 40};
  std::vector<PenPoint> path{{{10, 40}}, {corner}, {{40 + 30 * 0.5, 40 + 30 * 0.866}}};
  const double bisector = (180 - 60) / 2.0 * 3.14159265358979 / 180;  // from +x towards -y
  const int px = static_cast<int>(corner.x + 11 * std::cos(bisector));
  const int py = static_cast<int>(corner.y - 11 * std::sin(bisector));
  EXPECT_FALSE(Covered(path, options)[py * kSize + px]);
  path[1].cutsCurve = true;
  EXPECT_TRUE(Covered(path, options)[py * kSize + px]);
  // Turning back by 160 degrees at a cut (a spike's tip), a mitre would reach
  // 57 out; the pen's round join keeps it to 10.
  path = {{{10, 40}, false}, {corner, true}, {{40 - 30 * 0.940, 40 + 30 * 0.342}, false}};
  const std::vector<bool> covered = Covered(path, options);
  for (int x = 52; x < kSize; ++x) EXPECT_FALSE(covered[39 * kSize + x]) << x;
}

TEST(Stroker, ADotIsADiscAndAPathOfRepeatedPointsIsADot) {
  StrokeOptions options;
  options.width = 20;
  const std::vector<bool> one = Covered({{{48, 48}}}, options);
  const std::vector<bool> repeated = Covered({{{48, 48}}, {{48, 48}, true}, {{48, 48}}}, options);
  EXPECT_EQ(one, repeated);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const double d = std::hypot(x + 0.5 - 48, y + 0.5 - 48);
      if (d < 9.9 - kHeld) {
        EXPECT_TRUE(one[y * kSize + x]) << x << "," << y;
      } else if (d > 10 + kHeld) {
        EXPECT_FALSE(one[y * kSize + x]) << x << "," << y;
      }
    }
  // A pen no wider than twice the tolerance still draws its dot.
  StrokeOptions fine;
  fine.width = 4;
  fine.tolerance = 2;
  EXPECT_TRUE(Covered({{{20.5, 20.5}}}, fine)[20 * kSize + 20]);
  options.startCap = CapStyle::None;
  const std::vector<bool> none = Covered({{{48, 48}}}, options);
  EXPECT_EQ(std::count(none.begin(), none.end(), true), 0);
}

}  // namespace
}  // namespace velmora::swf
