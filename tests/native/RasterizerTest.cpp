// Which pixel centres an outline takes without anti-aliasing, checked against
// exact integer arithmetic in twips.
#include "player/Rasterizer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace velmora::swf {
namespace {

struct TwipPoint {
  int64_t x, y;
};

// A pixel is inside when an odd number of edges cross its row at or left of
// its centre; an edge holds its top end and not its bottom end.
bool InsideExactly(const std::vector<TwipPoint>& polygon, int px, int py) {
  const int64_t cx = 20 * px + 10, cy = 20 * py + 10;
  int crossings = 0;
  for (size_t i = 0; i < polygon.size(); ++i) {
    TwipPoint a = polygon[i], b = polygon[(i + 1) % polygon.size()];
    if (a.y == b.y) continue;
    if (a.y > b.y) std::swap(a, b);
    if (cy < a.y || cy >= b.y) continue;
    // crossing x <= cx, multiplied out by (b.y - a.y) > 0
    if ((a.x - cx) * (b.y - a.y) + (cy - a.y) * (b.x - a.x) <= 0) ++crossings;
  }
  return crossings % 2 == 1;
}

TEST(Rasterizer, PixelCentresOnSlopedEdgesFollowTheHalfOpenRuleOnEveryRow) {
  // Vertices on a coarse twip grid put many pixel centres exactly on edges,
  // where a crossing computed in pixels (116.9 is not exact in binary) used
  // to fall either way from row to row.
  constexpr int kSize = 24;
  std::mt19937 random(7);
  std::uniform_int_distribution<int> coordinate(0, kSize * 20 / 4);
  int ties = 0;
  for (int shape = 0; shape < 300; ++shape) {
    std::vector<TwipPoint> polygon;
    for (int i = 0; i < 3; ++i) polygon.push_back({coordinate(random) * 4, coordinate(random) * 4});
    Rasterizer raster;
    raster.Reset(kSize, kSize);
    for (size_t i = 0; i < polygon.size(); ++i) {
      const TwipPoint a = polygon[i], b = polygon[(i + 1) % polygon.size()];
      raster.AddLine({a.x / 20.0, a.y / 20.0}, {b.x / 20.0, b.y / 20.0});
    }
    std::vector<uint8_t> drawn(kSize * kSize, 0);
    raster.Render(FillRule::EvenOdd, false, [&](int y, int x, int n, const uint8_t* coverage) {
      for (int i = 0; i < n; ++i) drawn[y * kSize + x + i] = coverage[i] ? 1 : 0;
    });
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) {
        ASSERT_EQ(drawn[y * kSize + x] != 0, InsideExactly(polygon, x, y))
            << "triangle " << shape << " pixel " << x << "," << y;
        for (size_t i = 0; i < polygon.size(); ++i) {
          const TwipPoint a = polygon[i], b = polygon[(i + 1) % polygon.size()];
          const int64_t cx = 20 * x + 10, cy = 20 * y + 10;
          if (a.y != b.y && a.x != b.x && (cx - a.x) * (b.y - a.y) == (cy - a.y) * (b.x - a.x)) ++ties;
        }
      }
  }
  EXPECT_GT(ties, 50) << "the triangles should put pixel centres on sloped edges";
}

}  // namespace
}  // namespace velmora::swf
