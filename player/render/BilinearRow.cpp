#include "player/render/BilinearRow.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace velmora::swf {
namespace {

constexpr uint32_t kWhole = 1u << kSampleWeightBits;
// The upper and lower pairs' mixes are kept to 1/128 of a level: 15 bits,
// so that the vertical mix of two of them fits the signed 16-bit multiply.
constexpr int kPairShift = kSampleWeightBits - 7;
constexpr int kFinalShift = kSampleWeightBits + 7;

// Floor and ceiling of a / b for b > 0.
int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
int64_t CeilDiv(int64_t a, int64_t b) { return a >= 0 ? (a + b - 1) / b : -((-a) / b); }

}  // namespace

int64_t FixedSamplePoint(double coord) {
  // Held within reach (NaN at 0), so the point stays a whole number.
  constexpr double kReach = 1 << 30;
  if (!(std::fabs(coord) <= kReach)) coord = coord > 0 ? kReach : coord < 0 ? -kReach : 0;
  // Half a weight step added, so that cutting to the grid rounds.
  return std::llround(std::ldexp(coord - 0.5, 32)) + (int64_t{1} << (31 - kSampleWeightBits));
}

int64_t FixedSampleStep(double step) { return std::llround(std::ldexp(step, 32)); }

uint32_t MixTexels(uint32_t p00, uint32_t p10, uint32_t p01, uint32_t p11, uint32_t wx, uint32_t wy) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    auto channel = [shift](uint32_t p) { return static_cast<int32_t>((p >> shift) & 0xFF); };
    const int32_t ax = static_cast<int32_t>(kWhole - wx), bx = static_cast<int32_t>(wx);
    const int32_t top = (channel(p00) * ax + channel(p10) * bx + (1 << (kPairShift - 1))) >> kPairShift;
    const int32_t bottom = (channel(p01) * ax + channel(p11) * bx + (1 << (kPairShift - 1))) >> kPairShift;
    const int32_t v = top * static_cast<int32_t>(kWhole - wy) + bottom * static_cast<int32_t>(wy);
    out |= static_cast<uint32_t>((v + (1 << (kFinalShift - 1))) >> kFinalShift) << shift;
  }
  return out;
}

void BilinearRowPlain(const uint32_t* texels, size_t width, int64_t u, int64_t v, int64_t du, int64_t dv,
                      int count, uint32_t* out) {
  for (int i = 0; i < count; ++i, u += du, v += dv) {
    const uint32_t* row = texels + static_cast<size_t>(SampleTexel(v)) * width + static_cast<size_t>(SampleTexel(u));
    out[i] = MixTexels(row[0], row[1], row[width], row[width + 1], SampleWeight(u), SampleWeight(v));
  }
}

#if defined(__SSE2__)
namespace {

// The weights of a pair, (whole - w, w) in each 32-bit lane, as the 16-bit
// multiply-add takes them.
inline __m128i PairWeights(uint32_t w) { return _mm_set1_epi32(static_cast<int>((w << 16) | (kWhole - w))); }

// One sample's channels before the final rounding: the four texels at `row`
// (the upper pair) and `row + width`, each channel's pairs mixed by `wx`,
// kept to 1/128 of a level, then mixed by `wy`.
inline __m128i MixSample(const uint32_t* row, size_t width, __m128i wx, __m128i wy) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i upper = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row));
  const __m128i lower = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + width));
  // p00 p01 p10 p11, then each left texel's bytes beside its right one's:
  // p00.b p10.b p00.g p10.g ... p01.b p11.b ...
  const __m128i four = _mm_unpacklo_epi32(upper, lower);
  const __m128i pairs = _mm_unpacklo_epi8(four, _mm_unpackhi_epi64(four, four));
  const __m128i round = _mm_set1_epi32(1 << (kPairShift - 1));
  const __m128i top = _mm_srai_epi32(_mm_add_epi32(_mm_madd_epi16(_mm_unpacklo_epi8(pairs, zero), wx), round), kPairShift);
  const __m128i bottom =
      _mm_srai_epi32(_mm_add_epi32(_mm_madd_epi16(_mm_unpackhi_epi8(pairs, zero), wx), round), kPairShift);
  // top.b bottom.b top.g bottom.g ...
  const __m128i both = _mm_packs_epi32(top, bottom);
  const __m128i columns = _mm_unpacklo_epi16(both, _mm_srli_si128(both, 8));
  return _mm_srai_epi32(_mm_add_epi32(_mm_madd_epi16(columns, wy), _mm_set1_epi32(1 << (kFinalShift - 1))),
                        kFinalShift);
}

// With `kStepsV` false (no step down) the texel row and its weight are
// taken once.
template <bool kStepsV>
void BilinearRowSse2(const uint32_t* texels, size_t width, int64_t u, int64_t v, int64_t du, int64_t dv, int count,
                     uint32_t* out) {
  const uint32_t* row0 = texels + static_cast<size_t>(SampleTexel(v)) * width;
  const __m128i wy0 = PairWeights(SampleWeight(v));
  auto sample = [&](int64_t pu, int64_t pv) {
    if constexpr (kStepsV) {
      return MixSample(texels + static_cast<size_t>(SampleTexel(pv)) * width + static_cast<size_t>(SampleTexel(pu)),
                       width, PairWeights(SampleWeight(pu)), PairWeights(SampleWeight(pv)));
    } else {
      return MixSample(row0 + static_cast<size_t>(SampleTexel(pu)), width, PairWeights(SampleWeight(pu)), wy0);
    }
  };
  int i = 0;
  for (; i + 2 <= count; i += 2) {
    const __m128i a = sample(u, v), b = sample(u + du, v + dv);
    const __m128i words = _mm_packs_epi32(a, b);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(words, words));
    u += 2 * du;
    v += 2 * dv;
  }
  if (i < count) {
    const __m128i words = _mm_packs_epi32(sample(u, v), _mm_setzero_si128());
    out[i] = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(words, words)));
  }
}

}  // namespace
#endif

void BilinearRow(const uint32_t* texels, size_t width, int64_t u, int64_t v, int64_t du, int64_t dv, int count,
                 uint32_t* out) {
#if defined(__SSE2__)
  if (dv == 0)
    BilinearRowSse2<false>(texels, width, u, v, du, dv, count, out);
  else
    BilinearRowSse2<true>(texels, width, u, v, du, dv, count, out);
#else
  BilinearRowPlain(texels, width, u, v, du, dv, count, out);
#endif
}

SampleRun SamplesWithin(int64_t start, int64_t step, int64_t last, int count) {
  if (count <= 0 || last < 0) return {};
  // Sample i is within when 0 <= start + i * step < limit.
  const int64_t limit = (last + 1) * (int64_t{1} << 32);
  int64_t begin = 0, end = count;
  if (step == 0) {
    if (start < 0 || start >= limit) return {};
  } else if (step > 0) {
    begin = std::max<int64_t>(0, CeilDiv(-start, step));
    end = std::min<int64_t>(count, CeilDiv(limit - start, step));
  } else {
    const int64_t back = -step;
    begin = std::max<int64_t>(0, FloorDiv(start - limit, back) + 1);
    end = std::min<int64_t>(count, FloorDiv(start, back) + 1);
  }
  if (begin >= end) return {};
  return {static_cast<int>(begin), static_cast<int>(end)};
}

}  // namespace velmora::swf
