#include "iconlayer/PixelBlend.h"

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

#if defined(__SSE2__)
// Where each target column samples a source row: the left neighbour (the
// right one is next to it) and the weights of both for its four channels.
struct ColumnTaps {
  std::vector<int32_t> left;
  struct Weights {
    int16_t lanes[8];  // 256 - wx four times, then wx four times
  };
  std::vector<Weights> weights;
};

ColumnTaps MakeTaps(const std::vector<int32_t>& columns, int32_t sourceWidth) {
  ColumnTaps taps;
  taps.left.resize(columns.size());
  taps.weights.resize(columns.size());
  for (size_t i = 0; i < columns.size(); ++i) {
    const int32_t fx = columns[i];
    const int32_t c0 = std::clamp(fx >> 8, 0, sourceWidth - 1);
    // At the last column both neighbours are the same pixel: the mixed row
    // repeats it once past its end.
    const short wx = fx < 0 || c0 == sourceWidth - 1 ? 0 : static_cast<short>(fx & 255);
    taps.left[i] = c0;
    for (int c = 0; c < 4; ++c) {
      taps.weights[i].lanes[c] = static_cast<int16_t>(256 - wx);
      taps.weights[i].lanes[4 + c] = wx;
    }
  }
  return taps;
}

// The two source rows around `fy` mixed once into `mixed` (8-bit weights,
// rounded), one pixel more at the end for the last pixel's right neighbour.
// False when a pixel of the two rows is not opaque.
bool MixOpaqueRows(const PixelView& source, BlendRect from, int32_t fy, std::vector<uint32_t>& mixed) {
  const int32_t y0 = std::clamp(fy >> 8, 0, from.height - 1);
  const int32_t y1 = std::min(y0 + 1, from.height - 1);
  const uint32_t wy = fy < 0 ? 0 : static_cast<uint32_t>(fy & 255);
  const uint32_t* top = reinterpret_cast<const uint32_t*>(source.Row(from.y + y0)) + from.x;
  const uint32_t* bottom = reinterpret_cast<const uint32_t*>(source.Row(from.y + y1)) + from.x;
  const __m128i zero = _mm_setzero_si128();
  const __m128i topWeight = _mm_set1_epi16(static_cast<short>(256 - wy)), bottomWeight = _mm_set1_epi16(static_cast<short>(wy));
  const __m128i round = _mm_set1_epi16(128);
  mixed.resize(static_cast<size_t>(from.width) + 4);
  __m128i alphas = _mm_set1_epi32(-1);
  int32_t i = 0;
  for (; i + 4 <= from.width; i += 4) {
    const __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(top + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bottom + i));
    alphas = _mm_and_si128(alphas, _mm_and_si128(t, b));
    auto half = [&](__m128i tt, __m128i bb) {
      const __m128i sum = _mm_add_epi16(_mm_mullo_epi16(tt, topWeight), _mm_mullo_epi16(bb, bottomWeight));
      return _mm_srli_epi16(_mm_add_epi16(sum, round), 8);
    };
    const __m128i lo = half(_mm_unpacklo_epi8(t, zero), _mm_unpacklo_epi8(b, zero));
    const __m128i hi = half(_mm_unpackhi_epi8(t, zero), _mm_unpackhi_epi8(b, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&mixed[i]), _mm_packus_epi16(lo, hi));
  }
  uint32_t alphaAll = 0xFFFFFFFFu;
  for (; i < from.width; ++i) {
    alphaAll &= top[i] & bottom[i];
    uint32_t out = 0;
    for (int s = 0; s < 32; s += 8) {
      const uint32_t v = ((top[i] >> s) & 0xFF) * (256 - wy) + ((bottom[i] >> s) & 0xFF) * wy;
      out |= ((v + 128) >> 8) << s;
    }
    mixed[i] = out;
  }
  uint32_t lanes[4];
  _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes), alphas);
  alphaAll &= lanes[0] & lanes[1] & lanes[2] & lanes[3];
  if ((alphaAll >> 24) != 255) return false;
  mixed[from.width] = mixed[from.width - 1];
  return true;
}

// One target row of a smooth stretch of an opaque source over an opaque
// target: the two source rows are mixed once (MixOpaqueRows), then each
// target pixel mixes two neighbours of that row and is blended with the
// constant opacity. False, with nothing drawn, when a source pixel of the
// two rows is not opaque; target pixels that are not opaque are left to the
// pixel-by-pixel path, four at a time.
bool OpaqueRow(const PixelView& source, BlendRect from, int32_t fy, const std::vector<int32_t>& columns,
               const ColumnTaps& taps, uint8_t* d, int32_t count, uint8_t alpha, std::vector<uint32_t>& mixed) {
  if (!MixOpaqueRows(source, from, fy, mixed)) return false;
  const __m128i zero = _mm_setzero_si128();
  const __m128i round = _mm_set1_epi16(128);
  const __m128i constant = _mm_set1_epi16(alpha), rest = _mm_set1_epi16(static_cast<short>(255 - alpha));
  const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  const __m128i half127 = _mm_set1_epi16(127), one = _mm_set1_epi16(1);
  // A pixel's two neighbours weighted and summed: four 16-bit channels in
  // each half of the result, pixel `k` low and `k + 1` high.
  auto sampleTwo = [&](int32_t k) {
    const __m128i a = _mm_mullo_epi16(
        _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(&mixed[taps.left[k]])), zero),
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(taps.weights[k].lanes)));
    const __m128i b = _mm_mullo_epi16(
        _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(&mixed[taps.left[k + 1]])), zero),
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(taps.weights[k + 1].lanes)));
    const __m128i sum = _mm_add_epi16(_mm_unpacklo_epi64(a, b), _mm_unpackhi_epi64(a, b));
    return _mm_srli_epi16(_mm_add_epi16(sum, round), 8);
  };
  // Over an opaque pixel: (s * a + d * (255 - a) + 127) / 255, the division
  // exact by shifts.
  auto over = [&](__m128i sampled, __m128i under) {
    __m128i t = _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(sampled, constant), _mm_mullo_epi16(under, rest)), half127);
    return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(t, one), _mm_srli_epi16(t, 8)), 8);
  };
  int32_t x = 0;
  for (; x + 4 <= count; x += 4, d += 16) {
    const __m128i under = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d));
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(under, opaque), opaque)) != 0xFFFF) {
      for (int k = 0; k < 4; ++k) {
        uint8_t sample[4];
        Sample(source, from, columns[x + k], fy, sample);
        Over(d + 4 * k, sample, alpha);
      }
      continue;
    }
    const __m128i low = over(sampleTwo(x), _mm_unpacklo_epi8(under, zero));
    const __m128i high = over(sampleTwo(x + 2), _mm_unpackhi_epi8(under, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_or_si128(_mm_packus_epi16(low, high), opaque));
  }
  for (; x < count; ++x, d += 4) {
    uint8_t sample[4];
    Sample(source, from, columns[x], fy, sample);
    Over(d, sample, alpha);
  }
  return true;
}
#endif

}  // namespace

bool StretchBlend(const PixelView& source, BlendRect from, const PixelView& target, BlendRect to,
                  uint8_t alpha, bool smooth, bool pixelByPixel) {
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
  std::vector<uint32_t> mixed;  // a source row mixed with the next, for the opaque path
#if defined(__SSE2__)
  const ColumnTaps taps = smooth && !pixelByPixel ? MakeTaps(columns, from.width) : ColumnTaps{};
#endif
  for (int32_t y = y0; y < y1; ++y) {
    const int64_t num = (2 * static_cast<int64_t>(y - to.y) + 1) * from.height * 128;
    const int32_t fy = static_cast<int32_t>(num / to.height) - (smooth ? 128 : 0);
    uint8_t* d = target.Row(y) + 4 * x0;
    if (smooth) {
#if defined(__SSE2__)
      if (!pixelByPixel && OpaqueRow(source, from, fy, columns, taps, d, x1 - x0, alpha, mixed)) continue;
#else
      (void)pixelByPixel;
#endif
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
