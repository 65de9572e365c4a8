#include "player/render/CoverageRow.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace velmora::swf {

void ResolveCoverageRow(float* cover, float* runs, int count, uint8_t* out) {
  float run = 0;
  for (int i = 0; i < count; ++i) {
    run += runs[i];
    const float v = cover[i] + run;
    out[i] = static_cast<uint8_t>(std::clamp(v * 255.f + 0.5f, 0.f, 255.f));
    cover[i] = 0;
    runs[i] = 0;
  }
}

#if defined(__SSE2__)
namespace {

// Four coverages as levels 0..255, rounded and clamped as the plain row
// does, in the bytes of the answer.
int Levels4(__m128 v) {
  const __m128 scale = _mm_set1_ps(255.f);
  const __m128 clamped =
      _mm_min_ps(_mm_max_ps(_mm_add_ps(_mm_mul_ps(v, scale), _mm_set1_ps(0.5f)), _mm_setzero_ps()), scale);
  const __m128i whole = _mm_cvttps_epi32(clamped);
  const __m128i words = _mm_packs_epi32(whole, whole);
  return _mm_cvtsi128_si32(_mm_packus_epi16(words, words));
}

}  // namespace
#endif

void ResolveCoverageRowFast(float* cover, float* runs, int count, uint8_t* out) {
#if defined(__SSE2__)
  int i = 0;
  const __m128 zero = _mm_setzero_ps();
  __m128 carry = zero;  // the running sum before these four, in every lane
  // The levels of four pixels that the running sum alone covers, taken
  // again only once it has changed.
  int level = 0;
  bool levelStale = true;
  for (; i + 4 <= count; i += 4) {
    const __m128 c = _mm_loadu_ps(cover + i);
    __m128 r = _mm_loadu_ps(runs + i);
    // Inside a run nothing starts, ends or covers part of a pixel: each
    // pixel's value is the running sum (0 + sum is the sum), and the
    // accumulators, wholly zero, are clear already.
    const __m128i bits = _mm_or_si128(_mm_castps_si128(c), _mm_castps_si128(r));
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(bits, _mm_setzero_si128())) == 0xFFFF) {
      if (levelStale) {
        level = Levels4(carry);
        levelStale = false;
      }
      std::memcpy(out + i, &level, sizeof level);
      continue;
    }
    levelStale = true;
    // The running sum within the four, then what came before them.
    r = _mm_add_ps(r, _mm_castsi128_ps(_mm_slli_si128(_mm_castps_si128(r), 4)));
    r = _mm_add_ps(r, _mm_castsi128_ps(_mm_slli_si128(_mm_castps_si128(r), 8)));
    r = _mm_add_ps(r, carry);
    carry = _mm_shuffle_ps(r, r, _MM_SHUFFLE(3, 3, 3, 3));
    const int four = Levels4(_mm_add_ps(c, r));
    std::memcpy(out + i, &four, sizeof four);
    _mm_storeu_ps(cover + i, zero);
    _mm_storeu_ps(runs + i, zero);
  }
  if (i < count) {
    // The rest one by one, the running sum carried on.
    runs[i] += _mm_cvtss_f32(carry);
    ResolveCoverageRow(cover + i, runs + i, count - i, out + i);
  }
#else
  ResolveCoverageRow(cover, runs, count, out);
#endif
}

}  // namespace velmora::swf
