#include "player/render/GradientRow.h"

#include "player/render/CpuFeatures.h"
#include "player/render/GradientRowAvx2.h"
#include "player/render/Paint.h"

#include <algorithm>
#include <cmath>

// The fast rows need single precision sums rounded as the vector unit
// rounds them (no wider intermediate values).
#if defined(__SSE2__) && (!defined(__FLT_EVAL_METHOD__) || __FLT_EVAL_METHOD__ == 0)
#define VELMORA_GRADIENT_ROW_SSE2 1
#include <emmintrin.h>
#endif

namespace velmora::swf {
namespace {

constexpr float kLast = kRampSize - 1;

int RampIndex(float v) { return static_cast<int>(std::clamp(v, 0.f, kLast) + 0.5f); }

#if defined(VELMORA_GRADIENT_ROW_SSE2)
float Lane0(__m128 v) { return _mm_cvtss_f32(v); }
float Lane3(__m128 v) { return _mm_cvtss_f32(_mm_shuffle_ps(v, v, _MM_SHUFFLE(3, 3, 3, 3))); }

// Four values of a stepped sum, one after another from `first`.
__m128 FourSteps(float first, float step) {
  const float a = first + step, b = a + step, c = b + step;
  return _mm_set_ps(c, b, a, first);
}

// The next four values of the stepped sum whose last four are `now`. Within
// one binary order of magnitude each sum adds the same amount, and its small
// multiples are exact there; so that guess is taken (the amount measured by
// the next sum itself), then every one of its four sums is checked at once
// against the rounded sum of the value before. Where the guess fails (the
// sums cross a power of two) they are taken one by one.
__m128 NextFour(__m128 now, float step) {
  const float last = Lane3(now);
  const float next = last + step;
  const __m128 guess =
      _mm_add_ps(_mm_set1_ps(last), _mm_mul_ps(_mm_set1_ps(next - last), _mm_set_ps(4, 3, 2, 1)));
  // (last, guess0, guess1, guess2): each guess's value before it.
  const __m128 t = _mm_shuffle_ps(now, guess, _MM_SHUFFLE(0, 0, 3, 3));
  const __m128 before = _mm_shuffle_ps(t, guess, _MM_SHUFFLE(2, 1, 2, 0));
  if (_mm_movemask_ps(_mm_cmpeq_ps(_mm_add_ps(before, _mm_set1_ps(step)), guess)) == 0xF) return guess;
  return FourSteps(next, step);
}

// The ramp's colours at four values, clamped and rounded as RampIndex does
// (max and min give the clamp's value for every value but NaN, which the
// callers keep out).
void StoreFour(const uint32_t* ramp, __m128 v, uint32_t* out) {
  const __m128 clamped = _mm_min_ps(_mm_max_ps(v, _mm_setzero_ps()), _mm_set1_ps(kLast));
  alignas(16) int index[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(index), _mm_cvttps_epi32(_mm_add_ps(clamped, _mm_set1_ps(0.5f))));
  out[0] = ramp[index[0]];
  out[1] = ramp[index[1]];
  out[2] = ramp[index[2]];
  out[3] = ramp[index[3]];
}
#endif

}  // namespace

void PadLinearRowPlain(const uint32_t* ramp, float v, float dv, int count, uint32_t* out) {
  for (int i = 0; i < count; ++i, v += dv) out[i] = ramp[RampIndex(v)];
}

void PadLinearRow(const uint32_t* ramp, float v, float dv, int count, uint32_t* out) {
#if defined(VELMORA_GRADIENT_ROW_SSE2)
  if (!std::isfinite(v) || !std::isfinite(dv)) return PadLinearRowPlain(ramp, v, dv, count, out);
  int i = 0;
  __m128 now = FourSteps(v, dv);  // the values at i, i + 1, i + 2, i + 3
  for (; i + 4 <= count; i += 4, now = NextFour(now, dv)) {
    // The rest of the row takes one colour once a sum leaves the value as it
    // is (every later sum does too), or once the value lies past an end of
    // the ramp and moves further out (the sums never turn back).
    const float x = Lane0(now);
    if (x + dv == x || (x <= 0 && dv <= 0) || (x >= kLast && dv >= 0)) {
      std::fill(out + i, out + count, ramp[RampIndex(x)]);
      return;
    }
    StoreFour(ramp, now, out + i);
  }
  PadLinearRowPlain(ramp, Lane0(now), dv, count - i, out + i);
#else
  PadLinearRowPlain(ramp, v, dv, count, out);
#endif
}

void PadRadialRowPlain(const uint32_t* ramp, RadialRowScale k, float x, float y, float sx, float sy, int count,
                       uint32_t* out) {
  for (int i = 0; i < count; ++i, x += sx, y += sy) out[i] = ramp[RampIndex(std::sqrt(x * x + y * y) * k.scale - k.offset)];
}

void PadRadialRow(const uint32_t* ramp, RadialRowScale k, float x, float y, float sx, float sy, int count,
                  uint32_t* out) {
#if defined(VELMORA_GRADIENT_ROW_SSE2)
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(sx) || !std::isfinite(sy) ||
      !std::isfinite(k.scale) || !std::isfinite(k.offset))
    return PadRadialRowPlain(ramp, k, x, y, sx, sy, count, out);
  const __m128 scale = _mm_set1_ps(k.scale), offset = _mm_set1_ps(k.offset);
  int i = HasAvx2() ? PadRadialRowAvx2(ramp, k, x, y, sx, sy, count, out) : 0;
  __m128 nowX = FourSteps(x, sx), nowY = FourSteps(y, sy);
  // Along a row of an unturned gradient y stays as it is (a zero may lose
  // its sign, which its square does not show).
  const bool stepsY = sy != 0;
  for (; i + 4 <= count; i += 4, nowX = NextFour(nowX, sx), nowY = stepsY ? NextFour(nowY, sy) : nowY) {
    // The same operations in the same order as the plain row; a square that
    // overflows gives infinity in both, which clamps to the last colour.
    const __m128 squares = _mm_add_ps(_mm_mul_ps(nowX, nowX), _mm_mul_ps(nowY, nowY));
    StoreFour(ramp, _mm_sub_ps(_mm_mul_ps(_mm_sqrt_ps(squares), scale), offset), out + i);
  }
  PadRadialRowPlain(ramp, k, Lane0(nowX), Lane0(nowY), sx, sy, count - i, out + i);
#else
  PadRadialRowPlain(ramp, k, x, y, sx, sy, count, out);
#endif
}

}  // namespace velmora::swf
