#include "player/render/GradientRowAvx2.h"

#include "player/render/CpuFeatures.h"
#include "player/render/Paint.h"

// Single precision sums must be rounded as the vector unit rounds them.
#if defined(VELMORA_X86_DISPATCH) && (!defined(__FLT_EVAL_METHOD__) || __FLT_EVAL_METHOD__ == 0)
#include <immintrin.h>

#define VELMORA_AVX2 __attribute__((target("avx2")))

namespace velmora::swf {
namespace {

VELMORA_AVX2 inline float Lane0(__m256 v) { return _mm256_cvtss_f32(v); }
VELMORA_AVX2 inline float Lane7(__m256 v) {
  const __m128 high = _mm256_extractf128_ps(v, 1);
  return _mm_cvtss_f32(_mm_shuffle_ps(high, high, _MM_SHUFFLE(3, 3, 3, 3)));
}

// Eight values of a stepped sum, one after another from `first`.
VELMORA_AVX2 inline __m256 EightSteps(float first, float step) {
  float v[8];
  v[0] = first;
  for (int i = 1; i < 8; ++i) v[i] = v[i - 1] + step;
  return _mm256_loadu_ps(v);
}

// The next eight values of the stepped sum whose last eight are `now`: the
// sums' common increment taken as a guess, every guess checked at once
// against the rounded sum of the value before it, and the sums taken one by
// one where a guess fails (where they cross a power of two).
VELMORA_AVX2 inline __m256 NextEight(__m256 now, float step) {
  const float last = Lane7(now);
  const float next = last + step;
  const __m256 guess = _mm256_add_ps(_mm256_set1_ps(last),
                                     _mm256_mul_ps(_mm256_set1_ps(next - last), _mm256_set_ps(8, 7, 6, 5, 4, 3, 2, 1)));
  // (last, guess0 .. guess6): each guess's value before it.
  const __m256 before =
      _mm256_blend_ps(_mm256_permutevar8x32_ps(guess, _mm256_set_epi32(6, 5, 4, 3, 2, 1, 0, 0)), _mm256_set1_ps(last), 1);
  if (_mm256_movemask_ps(_mm256_cmp_ps(_mm256_add_ps(before, _mm256_set1_ps(step)), guess, _CMP_EQ_OQ)) == 0xFF)
    return guess;
  return EightSteps(next, step);
}

}  // namespace

VELMORA_AVX2 int PadRadialRowAvx2(const uint32_t* ramp, RadialRowScale k, float& x, float& y, float sx, float sy,
                                  int count, uint32_t* out) {
  if (count < 8) return 0;
  const __m256 scale = _mm256_set1_ps(k.scale), offset = _mm256_set1_ps(k.offset);
  const __m256 last = _mm256_set1_ps(static_cast<float>(kRampSize - 1)), half = _mm256_set1_ps(0.5f);
  __m256 nowX = EightSteps(x, sx), nowY = EightSteps(y, sy);
  // Along a row of an unturned gradient y stays as it is.
  const bool stepsY = sy != 0;
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    // The plain row's operations in its order; the clamp by max and min gives
    // its value for every value but NaN, which finite input keeps out.
    const __m256 squares = _mm256_add_ps(_mm256_mul_ps(nowX, nowX), _mm256_mul_ps(nowY, nowY));
    const __m256 v = _mm256_sub_ps(_mm256_mul_ps(_mm256_sqrt_ps(squares), scale), offset);
    const __m256 clamped = _mm256_min_ps(_mm256_max_ps(v, _mm256_setzero_ps()), last);
    const __m256i index = _mm256_cvttps_epi32(_mm256_add_ps(clamped, half));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i),
                        _mm256_i32gather_epi32(reinterpret_cast<const int*>(ramp), index, 4));
    nowX = NextEight(nowX, sx);
    if (stepsY) nowY = NextEight(nowY, sy);
  }
  x = Lane0(nowX);
  y = stepsY ? Lane0(nowY) : y;
  return i;
}

}  // namespace velmora::swf

#else

namespace velmora::swf {

int PadRadialRowAvx2(const uint32_t*, RadialRowScale, float&, float&, float, float, int, uint32_t*) { return 0; }

}  // namespace velmora::swf

#endif
