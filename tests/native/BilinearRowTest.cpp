// The fast bilinear row gives the very values of the plain one, texel mix by
// texel mix in double precision, along lines of every slant and scale: on
// random pictures, on flat ones and on pictures with steps between equal
// runs (where many mixes fall on a half exactly), and at weights that are
// short binary fractions (pictures drawn at twice or half their size).
#include "player/render/BilinearRow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace velmora::swf {
namespace {

constexpr int kWidth = 61, kHeight = 47, kSamples = 200;
constexpr double kPi = 3.14159265358979323846;

std::vector<uint32_t> Picture(int kind, std::mt19937& rng) {
  std::vector<uint32_t> texels(kWidth * kHeight);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      uint32_t p = 0;
      if (kind == 0) p = static_cast<uint32_t>(rng());           // noise, any alpha
      if (kind == 1) p = 0xFF336699u;                             // flat
      if (kind == 2) p = ((x / 3 + y / 2) % 2) ? 0xFFFFFFFFu : 0xFF000000u | (rng() % 2);  // steps
      if (kind == 3) p = static_cast<uint32_t>(rng()) % 2 ? 0x80FF0080u : 0x7F7F007Fu;  // odd sums
      texels[y * kWidth + x] = p;
    }
  return texels;
}

TEST(BilinearRow, FastRowGivesThePlainRowsValuesAlongEveryLine) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> unit(0, 1), angle(-kPi, kPi), scale(0.05, 4);
  const double niceScales[] = {0.25, 0.5, 1, 2, 4};
  long compared = 0;
  for (int trial = 0; trial < 3000; ++trial) {
    const std::vector<uint32_t> texels = Picture(trial % 4, rng);
    // A step of any slant and length, negative ones too, or a short binary
    // fraction along one axis from a point on a quarter texel.
    double stepX, stepY, gx, gy;
    if (trial % 3 == 0) {
      const double s = niceScales[rng() % 5] / 4 * (rng() % 2 ? 1 : -1);
      stepX = rng() % 2 ? s : 0;
      stepY = stepX == 0 ? s : 0;
      gx = 0.5 + (rng() % (4 * (kWidth - 2))) / 4.0;
      gy = 0.5 + (rng() % (4 * (kHeight - 2))) / 4.0;
    } else {
      const double a = angle(rng), s = scale(rng) / 8;
      stepX = s * std::cos(a);
      stepY = s * std::sin(a);
      gx = 0.5 + unit(rng) * (kWidth - 1);
      gy = 0.5 + unit(rng) * (kHeight - 1);
    }
    // As many samples as keep the line's four texels inside the picture.
    int count = 0;
    for (double x = gx, y = gy; count < kSamples; ++count, x += stepX, y += stepY)
      if (!(x >= 0.5 && y >= 0.5 && x < kWidth - 0.5 && y < kHeight - 0.5)) break;
    std::vector<uint32_t> plain(count), fast(count);
    double px = gx, py = gy, fx = gx, fy = gy;
    BilinearRowPlain(texels.data(), kWidth, px, py, stepX, stepY, count, plain.data());
    BilinearRow(texels.data(), kWidth, fx, fy, stepX, stepY, count, fast.data());
    for (int i = 0; i < count; ++i)
      ASSERT_EQ(plain[i], fast[i]) << std::hex << "trial " << std::dec << trial << " sample " << i;
    EXPECT_EQ(px, fx);
    EXPECT_EQ(py, fy);
    compared += count;
  }
  EXPECT_GT(compared, 100000);
}

TEST(BilinearRow, MixesTheFourTexelsByTheirDistances) {
  // Two by two texels; a quarter of the way right and half way down.
  const std::vector<uint32_t> texels = {0xFF000000u, 0xFF0000FFu, 0xFFFF0000u, 0xFFFF00FFu};
  double gx = 0.75, gy = 1.0;
  uint32_t out = 0;
  BilinearRow(texels.data(), 2, gx, gy, 0, 0, 1, &out);
  // Blue: 255 * 0.25 = 63.75 -> 64; red: 255 * 0.5 = 127.5 -> 128.
  EXPECT_EQ(out, 0xFF800040u);
}

}  // namespace
}  // namespace velmora::swf
