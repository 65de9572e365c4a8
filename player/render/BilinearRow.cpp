#include "player/render/BilinearRow.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace velmora::swf {
namespace {

#if defined(__SSE2__)
// A pixel's four channels as doubles: channels 0 and 1 in `lo`, 2 and 3 in `hi`.
inline void Channels(uint32_t p, __m128d& lo, __m128d& hi) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i wide = _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(p)), zero), zero);
  lo = _mm_cvtepi32_pd(wide);
  hi = _mm_cvtepi32_pd(_mm_shuffle_epi32(wide, _MM_SHUFFLE(1, 0, 3, 2)));
}

// The fast row works in single precision, as p + (q - p) * w, and keeps a
// result only where it cannot differ from the double one. Each rounding of a
// value up to 256 errs by at most 2^-17 and each weight by 2^-25 relative:
// some ten of them make at most 2e-4 against the double mix with the same
// weights, which itself errs by far less than 1e-9. So where the float value
// plus a half lies further than kUndecided from a whole number, both are cut
// to the same whole value; elsewhere the double mix decides.
constexpr float kUndecided = 1.0f / 512;
#endif

}  // namespace

// The vector form does each channel's sums in the same order as the plain
// one, so both give the same values.
uint32_t Lerp4(uint32_t p00, uint32_t p10, uint32_t p01, uint32_t p11, double fx, double fy) {
#if defined(__SSE2__)
  __m128d a0, a1, b0, b1, c0, c1, d0, d1;
  Channels(p00, a0, a1);
  Channels(p10, b0, b1);
  Channels(p01, c0, c1);
  Channels(p11, d0, d1);
  const __m128d wx = _mm_set1_pd(fx), wx1 = _mm_set1_pd(1 - fx), wy = _mm_set1_pd(fy), wy1 = _mm_set1_pd(1 - fy);
  const __m128d half = _mm_set1_pd(0.5);
  auto mix = [&](__m128d p, __m128d q, __m128d r, __m128d t) {
    const __m128d top = _mm_add_pd(_mm_mul_pd(p, wx1), _mm_mul_pd(q, wx));
    const __m128d bottom = _mm_add_pd(_mm_mul_pd(r, wx1), _mm_mul_pd(t, wx));
    return _mm_cvttpd_epi32(_mm_add_pd(_mm_add_pd(_mm_mul_pd(top, wy1), _mm_mul_pd(bottom, wy)), half));
  };
  const __m128i four = _mm_unpacklo_epi64(mix(a0, b0, c0, d0), mix(a1, b1, c1, d1));
  const __m128i words = _mm_packs_epi32(four, four);
  return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(words, words)));
#else
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    double top = ((p00 >> shift) & 0xFF) * (1 - fx) + ((p10 >> shift) & 0xFF) * fx;
    double bottom = ((p01 >> shift) & 0xFF) * (1 - fx) + ((p11 >> shift) & 0xFF) * fx;
    out |= static_cast<uint32_t>(top * (1 - fy) + bottom * fy + 0.5) << shift;
  }
  return out;
#endif
}

void BilinearRowPlain(const uint32_t* texels, size_t width, double& gx, double& gy, double stepX, double stepY,
                      int count, uint32_t* out) {
  // Inside the picture, cutting towards zero is the floor.
  for (int i = 0; i < count; ++i, gx += stepX, gy += stepY) {
    const double fu = gx - 0.5, fv = gy - 0.5;
    const size_t x0 = static_cast<size_t>(fu), y0 = static_cast<size_t>(fv);
    const uint32_t* row = texels + y0 * width + x0;
    out[i] = Lerp4(row[0], row[1], row[width], row[width + 1], fu - static_cast<double>(x0),
                   fv - static_cast<double>(y0));
  }
}

#if defined(__SSE2__)
namespace {

// The fast row; with `kStepsY` false (a step of zero down) the texel row and
// the vertical weight, the same for every sample, are taken once.
template <bool kStepsY>
void BilinearRowSse2(const uint32_t* texels, size_t width, double& gx, double& gy, double stepX, double stepY,
                     int count, uint32_t* out) {
  const __m128i zero = _mm_setzero_si128();
  const __m128 half = _mm_set1_ps(0.5f), low = _mm_set1_ps(kUndecided), high = _mm_set1_ps(1 - kUndecided);
  if (count <= 0) return;
  double x = gx, y = gy;  // kept in registers
  // The row's own values when y stays.
  double fy0 = 0;
  const uint32_t* row0 = texels;
  if constexpr (!kStepsY) {
    const double fv = y - 0.5;
    const std::ptrdiff_t y0 = static_cast<std::ptrdiff_t>(fv);
    fy0 = fv - static_cast<double>(y0);
    row0 = texels + static_cast<size_t>(y0) * width;
  }
  const __m128 wy0 = _mm_set1_ps(static_cast<float>(fy0));
  for (int i = 0; i < count; ++i, x += stepX) {
    // The texels and weights exactly as the plain row takes them.
    const double fu = x - 0.5;
    const std::ptrdiff_t x0 = static_cast<std::ptrdiff_t>(fu);
    const double fx = fu - static_cast<double>(x0);
    double fy = fy0;
    const uint32_t* row = row0 + static_cast<size_t>(x0);
    __m128 wx, wy;
    if constexpr (kStepsY) {
      const double fv = y - 0.5;
      const std::ptrdiff_t y0 = static_cast<std::ptrdiff_t>(fv);
      fy = fv - static_cast<double>(y0);
      row = texels + static_cast<size_t>(y0) * width + static_cast<size_t>(x0);
      const __m128 w = _mm_cvtpd_ps(_mm_set_pd(fy, fx));
      wx = _mm_shuffle_ps(w, w, 0x00);
      wy = _mm_shuffle_ps(w, w, 0x55);
      y += stepY;
    } else {
      wx = _mm_set1_ps(static_cast<float>(fx));
      wy = wy0;
    }
    // Two neighbours of a row in one load, their channels as words.
    const __m128i upper = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(row)), zero);
    const __m128i lower = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + width)), zero);
    const __m128 p00 = _mm_cvtepi32_ps(_mm_unpacklo_epi16(upper, zero));
    const __m128 p10 = _mm_cvtepi32_ps(_mm_unpackhi_epi16(upper, zero));
    const __m128 p01 = _mm_cvtepi32_ps(_mm_unpacklo_epi16(lower, zero));
    const __m128 p11 = _mm_cvtepi32_ps(_mm_unpackhi_epi16(lower, zero));
    const __m128 top = _mm_add_ps(p00, _mm_mul_ps(_mm_sub_ps(p10, p00), wx));
    const __m128 bottom = _mm_add_ps(p01, _mm_mul_ps(_mm_sub_ps(p11, p01), wx));
    const __m128 v = _mm_add_ps(_mm_add_ps(top, _mm_mul_ps(_mm_sub_ps(bottom, top), wy)), half);
    const __m128i whole = _mm_cvttps_epi32(v);
    const __m128 part = _mm_sub_ps(v, _mm_cvtepi32_ps(whole));
    if (_mm_movemask_ps(_mm_or_ps(_mm_cmplt_ps(part, low), _mm_cmpgt_ps(part, high))) != 0) {
      out[i] = Lerp4(row[0], row[1], row[width], row[width + 1], fx, fy);
      continue;
    }
    const __m128i words = _mm_packs_epi32(whole, whole);
    out[i] = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(words, words)));
  }
  gx = x;
  // A step of zero leaves y as the first sum made it (only a zero's sign
  // can change, once).
  gy = kStepsY ? y : y + stepY;
}

}  // namespace
#endif

void BilinearRow(const uint32_t* texels, size_t width, double& gx, double& gy, double stepX, double stepY,
                 int count, uint32_t* out) {
#if defined(__SSE2__)
  if (stepY == 0)
    BilinearRowSse2<false>(texels, width, gx, gy, stepX, stepY, count, out);
  else
    BilinearRowSse2<true>(texels, width, gx, gy, stepX, stepY, count, out);
#else
  BilinearRowPlain(texels, width, gx, gy, stepX, stepY, count, out);
#endif
}

}  // namespace velmora::swf
