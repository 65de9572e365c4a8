#include "player/render/Compositing.h"

#include "player/render/BlendAvx2.h"
#include "player/render/CpuFeatures.h"
#include "player/render/Paint.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace velmora::swf {
namespace {

inline uint32_t Mul255(uint32_t a, uint32_t b) {
  uint32_t t = a * b + 128;
  return (t + (t >> 8)) >> 8;
}

// Scales all four channels of a premultiplied colour by f/255.
inline uint32_t ScaleColor(uint32_t c, uint32_t f) {
  if (f == 255) return c;
  uint32_t rb = (c & 0x00FF00FF) * f + 0x00800080;
  rb = ((rb + ((rb >> 8) & 0x00FF00FF)) >> 8) & 0x00FF00FF;
  uint32_t ag = ((c >> 8) & 0x00FF00FF) * f + 0x00800080;
  ag = (ag + ((ag >> 8) & 0x00FF00FF)) & 0xFF00FF00;
  return rb | ag;
}

inline uint32_t Over(uint32_t dst, uint32_t src) {
  uint32_t inv = 255 - (src >> 24);
  return src + ScaleColor(dst, inv);
}

inline uint32_t AddSaturate(uint32_t a, uint32_t b) {
  uint32_t out = 0;
  for (int s = 0; s < 32; s += 8) out |= std::min<uint32_t>(255, ((a >> s) & 0xFF) + ((b >> s) & 0xFF)) << s;
  return out;
}

// One channel of a separable blend, on colours in 0..1 (not premultiplied).
double BlendChannel(BlendMode mode, double s, double d) {
  switch (mode) {
    case BlendMode::Multiply: return s * d;
    case BlendMode::Screen: return s + d - s * d;
    case BlendMode::Lighten: return std::max(s, d);
    case BlendMode::Darken: return std::min(s, d);
    case BlendMode::Difference: return std::fabs(s - d);
    case BlendMode::Add: return std::min(1.0, s + d);
    case BlendMode::Subtract: return std::max(0.0, d - s);
    case BlendMode::Invert: return 1 - d;
    case BlendMode::Overlay: return d <= 0.5 ? 2 * s * d : 1 - 2 * (1 - s) * (1 - d);
    case BlendMode::Hardlight: return s <= 0.5 ? 2 * s * d : 1 - 2 * (1 - s) * (1 - d);
    default: return s;
  }
}

uint32_t BlendPixel(BlendMode mode, uint32_t dst, uint32_t src) {
  const uint32_t sa = src >> 24, da = dst >> 24;
  switch (mode) {
    case BlendMode::Normal:
    case BlendMode::Layer: return Over(dst, src);
    case BlendMode::Alpha: return ScaleColor(dst, sa);
    case BlendMode::Erase: return ScaleColor(dst, 255 - sa);
    default: break;
  }
  if (sa == 0) return dst;
  if (da == 0 && mode != BlendMode::Invert) return src;
  // The standard separable formula: the blend where both are present, each
  // colour alone where only it is.
  const double as = sa / 255.0, ad = da / 255.0;
  uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    double cs = ((src >> shift) & 0xFF) / 255.0, cd = ((dst >> shift) & 0xFF) / 255.0;
    double s = cs / as, d = ad > 0 ? cd / ad : 0;
    double mixed;
    if (mode == BlendMode::Invert) {
      mixed = cd * (1 - as) + as * (ad - cd);
    } else if (mode == BlendMode::Add || mode == BlendMode::Subtract) {
      // Premultiplied colours added or taken away whole: a half-transparent
      // source still darkens to black where it outweighs the backdrop.
      mixed = mode == BlendMode::Add ? cd + cs : cd - cs;
    } else {
      mixed = (1 - ad) * cs + (1 - as) * cd + as * ad * BlendChannel(mode, s, d);
    }
    out |= static_cast<uint32_t>(std::clamp(mixed * 255.0 + 0.5, 0.0, 255.0)) << shift;
  }
  double alpha = mode == BlendMode::Invert ? ad : as + ad - as * ad;
  uint32_t a = static_cast<uint32_t>(std::clamp(alpha * 255.0 + 0.5, 0.0, 255.0));
  // Keep the result a valid premultiplied colour.
  for (int shift = 0; shift < 24; shift += 8) {
    uint32_t c = (out >> shift) & 0xFF;
    if (c > a) out = (out & ~(0xFFu << shift)) | (a << shift);
  }
  return out | (a << 24);
}

// Blends the target's rows y0..y1, columns x0..x1, with the layer pixels
// under them; the layer's corner is at (layerX, layerY).
void CompositeRows(Canvas& target, const Canvas& layer, int layerX, int layerY, BlendMode mode,
                   const CoveragePlane* mask, int x0, int y0, int x1, int y1) {
  for (int y = y0; y < y1; ++y) {
    uint32_t* dst = target.Row(y);
    const uint32_t* src = layer.Row(y - layerY) - layerX;
    const uint8_t* m = mask ? mask->Row(y) : nullptr;
    if (!m && (mode == BlendMode::Normal || mode == BlendMode::Layer)) {
      // The common case, kept free of the per-pixel mode dispatch.
      for (int x = x0; x < x1; ++x) {
        uint32_t s = src[x];
        if (s >> 24 == 255)
          dst[x] = s;
        else if (s != 0)
          dst[x] = Over(dst[x], s);
      }
      continue;
    }
    for (int x = x0; x < x1; ++x) {
      uint32_t s = src[x];
      if (m && mode == BlendMode::Alpha) {
        // Where the mask hides the layer, the alpha it would apply is none:
        // what lies below stays.
        const uint32_t keep = 255 - Mul255(255 - (s >> 24), m[x]);
        dst[x] = ScaleColor(dst[x], keep);
        continue;
      }
      if (m) s = ScaleColor(s, m[x]);
      if (s == 0 && mode != BlendMode::Alpha) continue;
      dst[x] = BlendPixel(mode, dst[x], s);
    }
  }
}

}  // namespace

#if defined(__SSE2__)
namespace {

// Four pixels at a time, with the same integer arithmetic as the single
// pixel helpers above, so both give the same values.

// x * f / 255 rounded, in each 16-bit lane (x, f at most 255): with
// t = x * f + 128, (t + (t >> 8)) >> 8 is (t * 257) >> 16 for every 16-bit t.
inline __m128i Mul255x8(__m128i x, __m128i f) {
  const __m128i t = _mm_add_epi16(_mm_mullo_epi16(x, f), _mm_set1_epi16(128));
  return _mm_mulhi_epu16(t, _mm_set1_epi16(257));
}

// The factor of each of four pixels spread over its four channels, as
// 16-bit lanes: pixels 0 and 1 in `lo`, 2 and 3 in `hi`.
inline void SpreadFactors(__m128i bytes, __m128i& lo, __m128i& hi) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i twice = _mm_unpacklo_epi8(bytes, bytes);        // f0 f0 f1 f1 ...
  const __m128i four = _mm_unpacklo_epi16(twice, twice);        // f0 x4, f1 x4, ...
  lo = _mm_unpacklo_epi8(four, zero);
  hi = _mm_unpackhi_epi8(four, zero);
}

// Each pixel's channels scaled by its 16-bit factors.
inline __m128i ScalePixels(__m128i px, __m128i flo, __m128i fhi) {
  const __m128i zero = _mm_setzero_si128();
  return _mm_packus_epi16(Mul255x8(_mm_unpacklo_epi8(px, zero), flo), Mul255x8(_mm_unpackhi_epi8(px, zero), fhi));
}

// 255 minus each pixel's alpha, spread over its channels.
inline void InverseAlphas(__m128i px, __m128i& lo, __m128i& hi) {
  const __m128i alpha = _mm_srli_epi32(px, 24);
  const __m128i packed = _mm_packus_epi16(_mm_packs_epi32(alpha, alpha), _mm_setzero_si128());
  SpreadFactors(_mm_sub_epi8(_mm_set1_epi8(static_cast<char>(255)), packed), lo, hi);
}

// Four coverages (times the mask's when given) as bytes in the low lanes.
inline __m128i Coverage4(const uint8_t* coverage, const uint8_t* mask) {
  uint32_t c;
  std::memcpy(&c, coverage, 4);
  __m128i v = _mm_cvtsi32_si128(static_cast<int>(c));
  if (mask) {
    uint32_t m;
    std::memcpy(&m, mask, 4);
    const __m128i zero = _mm_setzero_si128();
    const __m128i product = Mul255x8(_mm_unpacklo_epi8(v, zero), _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(m)), zero));
    v = _mm_packus_epi16(product, zero);
  }
  return v;
}

// src over dst.
inline __m128i OverWhole4(__m128i dst, __m128i src) {
  __m128i ilo, ihi;
  InverseAlphas(src, ilo, ihi);
  return _mm_add_epi8(src, ScalePixels(dst, ilo, ihi));
}

// src scaled by its coverage, over dst.
inline __m128i Over4(__m128i dst, __m128i src, __m128i coverage) {
  __m128i flo, fhi;
  SpreadFactors(coverage, flo, fhi);
  return OverWhole4(dst, ScalePixels(src, flo, fhi));
}

}  // namespace
#endif

void BlendOverSpan(uint32_t* dst, const uint32_t* src, const uint8_t* coverage, const uint8_t* mask,
                   int count) {
  int i = HasAvx2() ? BlendOverSpanAvx2(dst, src, coverage, mask, count) : 0;
#if defined(__SSE2__)
  for (; i + 4 <= count; i += 4) {
    const __m128i c = Coverage4(coverage + i, mask ? mask + i : nullptr);
    const int four = _mm_cvtsi128_si32(c);
    if (four == 0) continue;
    __m128i* d = reinterpret_cast<__m128i*>(dst + i);
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    // Wholly covered opaque pixels replace what lies below, as Over4 would.
    constexpr int kAlphaBytes = 0x8888;
    if (four == -1 && (_mm_movemask_epi8(_mm_cmpeq_epi8(s, _mm_set1_epi8(-1))) & kAlphaBytes) == kAlphaBytes) {
      _mm_storeu_si128(d, s);
      continue;
    }
    // Wholly covered, the colours need no scaling by coverage (x * 255 / 255
    // rounds to x).
    _mm_storeu_si128(d, four == -1 ? OverWhole4(_mm_loadu_si128(d), s) : Over4(_mm_loadu_si128(d), s, c));
  }
#endif
  for (; i < count; ++i) {
    uint32_t c = coverage[i];
    if (mask) c = Mul255(c, mask[i]);
    if (c == 0) continue;
    // Most pixels of a large fill are wholly covered and opaque.
    dst[i] = c == 255 && (src[i] >> 24) == 255 ? src[i] : Over(dst[i], ScaleColor(src[i], c));
  }
}

void BlendSolidSpan(uint32_t* dst, uint32_t color, const uint8_t* coverage, const uint8_t* mask,
                    int count) {
  int i = 0;
#if defined(__SSE2__)
  const __m128i colors = _mm_set1_epi32(static_cast<int>(color));
  const bool opaque = (color >> 24) == 255;
  for (; i + 4 <= count; i += 4) {
    const __m128i c = Coverage4(coverage + i, mask ? mask + i : nullptr);
    const uint32_t four = static_cast<uint32_t>(_mm_cvtsi128_si32(c));
    if (four == 0) continue;
    __m128i* d = reinterpret_cast<__m128i*>(dst + i);
    if (opaque && four == 0xFFFFFFFFu)
      _mm_storeu_si128(d, colors);
    else
      _mm_storeu_si128(d, four == 0xFFFFFFFFu ? OverWhole4(_mm_loadu_si128(d), colors) : Over4(_mm_loadu_si128(d), colors, c));
  }
#endif
  for (; i < count; ++i) {
    uint32_t c = coverage[i];
    if (mask) c = Mul255(c, mask[i]);
    if (c == 0) continue;
    dst[i] = c == 255 && (color >> 24) == 255 ? color : Over(dst[i], ScaleColor(color, c));
  }
}

void AddSpan(uint32_t* dst, const uint32_t* src, const uint8_t* coverage, int count) {
  int i = 0;
#if defined(__SSE2__)
  for (; i + 4 <= count; i += 4) {
    const __m128i c = Coverage4(coverage + i, nullptr);
    if (_mm_cvtsi128_si32(c) == 0) continue;
    __m128i flo, fhi;
    SpreadFactors(c, flo, fhi);
    __m128i* d = reinterpret_cast<__m128i*>(dst + i);
    const __m128i scaled = ScalePixels(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i)), flo, fhi);
    _mm_storeu_si128(d, _mm_adds_epu8(_mm_loadu_si128(d), scaled));
  }
#endif
  for (; i < count; ++i) {
    if (coverage[i] == 0) continue;
    dst[i] = AddSaturate(dst[i], ScaleColor(src[i], coverage[i]));
  }
}

void TransformLayer(Canvas& layer, const ColorTransform& cx) {
  if (cx.IsIdentity()) return;
  for (uint32_t& p : layer.pixels) p = TransformPremultiplied(p, cx);
}

void CompositeLayer(Canvas& target, const Canvas& layer, BlendMode mode, const CoveragePlane* mask,
                    int x0, int y0, int x1, int y1) {
  CompositeRows(target, layer, 0, 0, mode, mask, std::max(x0, 0), std::max(y0, 0),
                std::min({x1, target.width, layer.width}), std::min({y1, target.height, layer.height}));
}

void CompositeLayerAt(Canvas& target, const Canvas& layer, int layerX, int layerY, BlendMode mode,
                      const CoveragePlane* mask, int rowFrom, int rowTo) {
  CompositeRows(target, layer, layerX, layerY, mode, mask, std::max(layerX, 0), std::max({layerY, 0, rowFrom}),
                std::min(target.width, layerX + layer.width), std::min({target.height, layerY + layer.height, rowTo}));
}

}  // namespace velmora::swf
