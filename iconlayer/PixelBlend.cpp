#include "iconlayer/PixelBlend.h"

#include <algorithm>
#include <vector>

namespace velmora {
namespace {

// Blends one straight-alpha source pixel, its alpha scaled by `constant`
// (0..255), over a straight-alpha destination pixel.
inline void Over(uint8_t* d, const uint8_t* s, uint32_t constant) {
  const uint32_t a = s[3] * constant;  // source opacity, 0..65025
  if (a == 0) return;
  const uint32_t inv = 65025 - a;
  if (d[3] == 255) {  // the common case: an opaque picture underneath
    d[0] = static_cast<uint8_t>((s[0] * a + d[0] * inv + 32512) / 65025);
    d[1] = static_cast<uint8_t>((s[1] * a + d[1] * inv + 32512) / 65025);
    d[2] = static_cast<uint8_t>((s[2] * a + d[2] * inv + 32512) / 65025);
    return;
  }
  // Weights of source and destination colour, both on the 0..65025 scale.
  const uint32_t under = (d[3] * inv + 127) / 255;
  const uint32_t total = a + under;  // the result's opacity x 255
  for (int c = 0; c < 3; ++c)
    d[c] = static_cast<uint8_t>((s[c] * a + d[c] * under + total / 2) / total);
  d[3] = static_cast<uint8_t>((total + 127) / 255);
}

// Bilinear sample at fixed-point position (fx, fy in 1/256 pixel, centre
// based), premultiplying for the weighting so transparent neighbours do not
// darken the edges, then back to straight alpha.
inline void Sample(const PixelView& s, BlendRect from, int32_t fx, int32_t fy, uint8_t* out) {
  const int32_t x0 = std::clamp(fx >> 8, 0, from.width - 1);
  const int32_t y0 = std::clamp(fy >> 8, 0, from.height - 1);
  const int32_t x1 = std::min(x0 + 1, from.width - 1);
  const int32_t y1 = std::min(y0 + 1, from.height - 1);
  const uint32_t wx = fx < 0 ? 0 : static_cast<uint32_t>(fx & 255);
  const uint32_t wy = fy < 0 ? 0 : static_cast<uint32_t>(fy & 255);
  const uint8_t* p[4] = {s.Row(from.y + y0) + 4 * (from.x + x0), s.Row(from.y + y0) + 4 * (from.x + x1),
                         s.Row(from.y + y1) + 4 * (from.x + x0), s.Row(from.y + y1) + 4 * (from.x + x1)};
  const uint32_t w[4] = {(256 - wx) * (256 - wy), wx * (256 - wy), (256 - wx) * wy, wx * wy};
  if ((p[0][3] & p[1][3] & p[2][3] & p[3][3]) == 255) {
    // All four opaque (a photograph): plain weighting, no alpha to carry.
    for (int c = 0; c < 3; ++c)
      out[c] = static_cast<uint8_t>(
          (p[0][c] * w[0] + p[1][c] * w[1] + p[2][c] * w[2] + p[3][c] * w[3] + 32768) >> 16);
    out[3] = 255;
    return;
  }
  uint32_t acc[4] = {0, 0, 0, 0};
  for (int i = 0; i < 4; ++i) {
    const uint32_t wa = w[i] * p[i][3];  // weight x alpha, up to 65536 * 255
    acc[0] += (p[i][0] * wa) >> 8;
    acc[1] += (p[i][1] * wa) >> 8;
    acc[2] += (p[i][2] * wa) >> 8;
    acc[3] += wa >> 8;
  }
  const uint32_t alphaSum = acc[3];  // alpha x 256 x 256 / 256 = alpha x 256
  out[3] = static_cast<uint8_t>((alphaSum + 128) >> 8);
  if (alphaSum == 0) {
    out[0] = out[1] = out[2] = 0;
    return;
  }
  for (int c = 0; c < 3; ++c)
    out[c] = static_cast<uint8_t>(std::min<uint32_t>(255, (acc[c] + alphaSum / 2) / alphaSum));
}

}  // namespace

bool StretchBlend(const PixelView& source, BlendRect from, const PixelView& target, BlendRect to,
                  uint8_t alpha, bool smooth) {
  if (!source.rows || !target.rows || from.width <= 0 || from.height <= 0 || to.width <= 0 ||
      to.height <= 0)
    return false;
  if (from.x < 0 || from.y < 0 || from.x + from.width > source.width ||
      from.y + from.height > source.height)
    return false;
  const int32_t x0 = std::max(0, to.x), x1 = std::min(target.width, to.x + to.width);
  const int32_t y0 = std::max(0, to.y), y1 = std::min(target.height, to.y + to.height);
  if (x0 >= x1 || y0 >= y1) return true;  // entirely clipped: nothing to draw
  if (alpha == 0) return true;

  if (from.width == to.width && from.height == to.height) {
    // Same size: no sampling, each pixel onto its own.
    for (int32_t y = y0; y < y1; ++y) {
      const uint8_t* sp = source.Row(from.y + y - to.y) + 4 * (from.x + x0 - to.x);
      uint8_t* d = target.Row(y) + 4 * x0;
      for (int32_t x = x0; x < x1; ++x, d += 4, sp += 4) Over(d, sp, alpha);
    }
    return true;
  }

  // Source column for every target column, in 1/256 pixel.
  std::vector<int32_t> columns(static_cast<size_t>(x1 - x0));
  for (int32_t x = x0; x < x1; ++x) {
    const int64_t num = (2 * static_cast<int64_t>(x - to.x) + 1) * from.width * 128;
    columns[x - x0] = static_cast<int32_t>(num / to.width) - (smooth ? 128 : 0);
  }
  uint8_t sample[4];
  for (int32_t y = y0; y < y1; ++y) {
    const int64_t num = (2 * static_cast<int64_t>(y - to.y) + 1) * from.height * 128;
    const int32_t fy = static_cast<int32_t>(num / to.height) - (smooth ? 128 : 0);
    uint8_t* d = target.Row(y) + 4 * x0;
    if (smooth) {
      for (int32_t x = x0; x < x1; ++x, d += 4) {
        Sample(source, from, columns[x - x0], fy, sample);
        Over(d, sample, alpha);
      }
    } else {
      const uint8_t* row = source.Row(from.y + std::min(fy >> 8, from.height - 1)) + 4 * from.x;
      for (int32_t x = x0; x < x1; ++x, d += 4) {
        Over(d, row + 4 * std::min(columns[x - x0] >> 8, from.width - 1), alpha);
      }
    }
  }
  return true;
}

}  // namespace velmora
