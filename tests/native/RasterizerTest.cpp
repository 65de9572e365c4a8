// Which pixel centres an outline takes without anti-aliasing, checked against
// exact integer arithmetic in the rasterizer's 1/256 pixel units.
#include "player/render/Rasterizer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace velmora::swf {
namespace {

constexpr int64_t kUnit = 256;  // per pixel

struct UnitPoint {
  int64_t x, y;
};

// A pixel is inside when an odd number of edges cross its row at or left of
// its centre; an edge holds its top end and not its bottom end.
bool InsideExactly(const std::vector<UnitPoint>& polygon, int px, int py) {
  const int64_t cx = kUnit * px + kUnit / 2, cy = kUnit * py + kUnit / 2;
  int crossings = 0;
  for (size_t i = 0; i < polygon.size(); ++i) {
    UnitPoint a = polygon[i], b = polygon[(i + 1) % polygon.size()];
    if (a.y == b.y) continue;
    if (a.y > b.y) std::swap(a, b);
    if (cy < a.y || cy >= b.y) continue;
    // crossing x <= cx, multiplied out by (b.y - a.y) > 0
    if ((a.x - cx) * (b.y - a.y) + (cy - a.y) * (b.x - a.x) <= 0) ++crossings;
  }
  return crossings % 2 == 1;
}

TEST(Rasterizer, PixelCentresOnSlopedEdgesFollowTheHalfOpenRuleOnEveryRow) {
  // Triangles with corners on whole twips, which are not exact in binary
  // pixels (116.9): many pixel centres lie exactly on their held edges, and a
  // crossing computed with a rounded slope used to fall either way.
  constexpr int kSize = 24;
  std::mt19937 random(7);
  std::uniform_int_distribution<int> twips(0, kSize * 20);
  int ties = 0;
  for (int shape = 0; shape < 2000; ++shape) {
    std::vector<UnitPoint> polygon;
    Rasterizer raster;
    raster.Reset(kSize, kSize);
    Point corners[3];
    for (Point& c : corners) {
      const int x = twips(random), y = twips(random);
      c = {x / 20.0, y / 20.0};
      // the held position, rounded to the nearest unit in integers
      polygon.push_back({(x * 2 * kUnit + 20) / 40, (y * 2 * kUnit + 20) / 40});
    }
    for (int i = 0; i < 3; ++i) raster.AddLine(corners[i], corners[(i + 1) % 3]);
    std::vector<uint8_t> drawn(kSize * kSize, 0);
    raster.Render(FillRule::EvenOdd, false, [&](int y, int x, int n, const uint8_t* coverage) {
      for (int i = 0; i < n; ++i) drawn[y * kSize + x + i] = coverage[i] ? 1 : 0;
    });
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) {
        ASSERT_EQ(drawn[y * kSize + x] != 0, InsideExactly(polygon, x, y))
            << "triangle " << shape << " pixel " << x << "," << y;
        for (size_t i = 0; i < polygon.size(); ++i) {
          const UnitPoint a = polygon[i], b = polygon[(i + 1) % polygon.size()];
          const int64_t cx = kUnit * x + kUnit / 2, cy = kUnit * y + kUnit / 2;
          if (a.y != b.y && a.x != b.x && (cx - a.x) * (b.y - a.y) == (cy - a.y) * (b.x - a.x)) ++ties;
        }
      }
  }
  EXPECT_GT(ties, 40) << "the triangles should put pixel centres on sloped edges";
}

TEST(Rasterizer, PositionsAreHeldInWhole256thsOfAPixel) {
  // A left edge 0.001 pixel right of a centre is held on that centre, and the
  // centre's pixel is taken; 0.003 pixel right, it stays off the centre.
  for (double offset : {0.001, 0.003}) {
    Rasterizer raster;
    raster.Reset(20, 4);
    const double left = 5.5 + offset;
    raster.AddLine({left, 0}, {left, 4});
    raster.AddLine({15, 4}, {15, 0});
    int first = -1;
    raster.Render(FillRule::EvenOdd, false, [&](int, int x, int n, const uint8_t* coverage) {
      for (int i = 0; i < n && first < 0; ++i)
        if (coverage[i]) first = x + i;
    });
    EXPECT_EQ(first, offset < 1.0 / 512 ? 5 : 6) << "left edge at " << left;
  }
}

}  // namespace
}  // namespace velmora::swf
