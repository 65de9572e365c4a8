#include "player/render/BlendAvx2.h"

#include "player/render/CpuFeatures.h"

#if defined(VELMORA_X86_DISPATCH)
#include <immintrin.h>

#define VELMORA_AVX2 __attribute__((target("avx2")))

namespace velmora::swf {
namespace {

// Each 128-bit half of a vector holds four pixels, in order: the halves
// are the four-pixel forms side by side.

// x * f / 255 rounded, in each 16-bit lane (x, f at most 255).
VELMORA_AVX2 inline __m256i Mul255x16(__m256i x, __m256i f) {
  const __m256i t = _mm256_add_epi16(_mm256_mullo_epi16(x, f), _mm256_set1_epi16(128));
  return _mm256_mulhi_epu16(t, _mm256_set1_epi16(257));
}

// Factors in the low four bytes of each half spread over their pixels'
// channels as 16-bit lanes: pixels 0, 1 and 4, 5 in `lo`; 2, 3 and 6, 7 in `hi`.
VELMORA_AVX2 inline void SpreadFactors(__m256i bytes, __m256i& lo, __m256i& hi) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i twice = _mm256_unpacklo_epi8(bytes, bytes);
  const __m256i four = _mm256_unpacklo_epi16(twice, twice);
  lo = _mm256_unpacklo_epi8(four, zero);
  hi = _mm256_unpackhi_epi8(four, zero);
}

VELMORA_AVX2 inline __m256i ScalePixels(__m256i px, __m256i flo, __m256i fhi) {
  const __m256i zero = _mm256_setzero_si256();
  return _mm256_packus_epi16(Mul255x16(_mm256_unpacklo_epi8(px, zero), flo),
                             Mul255x16(_mm256_unpackhi_epi8(px, zero), fhi));
}

VELMORA_AVX2 inline void InverseAlphas(__m256i px, __m256i& lo, __m256i& hi) {
  const __m256i alpha = _mm256_srli_epi32(px, 24);
  const __m256i packed = _mm256_packus_epi16(_mm256_packs_epi32(alpha, alpha), _mm256_setzero_si256());
  SpreadFactors(_mm256_sub_epi8(_mm256_set1_epi8(static_cast<char>(255)), packed), lo, hi);
}

// Eight coverages (times the mask's when given): pixels 0-3 in the low four
// bytes of the lower half, 4-7 in those of the upper.
VELMORA_AVX2 inline __m256i Coverage8(const uint8_t* coverage, const uint8_t* mask, uint64_t& all) {
  __m128i v = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(coverage));
  if (mask) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i m = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(mask));
    const __m128i t =
        _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(v, zero), _mm_unpacklo_epi8(m, zero)), _mm_set1_epi16(128));
    v = _mm_packus_epi16(_mm_mulhi_epu16(t, _mm_set1_epi16(257)), zero);
  }
  _mm_storel_epi64(reinterpret_cast<__m128i*>(&all), v);
  return _mm256_set_m128i(_mm_srli_si128(v, 4), v);
}

}  // namespace

VELMORA_AVX2 int BlendOverSpanAvx2(uint32_t* dst, const uint32_t* src, const uint8_t* coverage, const uint8_t* mask,
                                   int count) {
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    uint64_t all;
    const __m256i c = Coverage8(coverage + i, mask ? mask + i : nullptr, all);
    if (all == 0) continue;
    __m256i* d = reinterpret_cast<__m256i*>(dst + i);
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
    const bool whole = all == ~uint64_t{0};
    // Wholly covered opaque pixels replace what lies below.
    constexpr uint32_t kAlphaBytes = 0x88888888u;
    if (whole && (static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(s, _mm256_set1_epi8(-1)))) &
                  kAlphaBytes) == kAlphaBytes) {
      _mm256_storeu_si256(d, s);
      continue;
    }
    // Wholly covered, the colours need no scaling by coverage.
    __m256i scaled = s;
    if (!whole) {
      __m256i flo, fhi;
      SpreadFactors(c, flo, fhi);
      scaled = ScalePixels(s, flo, fhi);
    }
    __m256i ilo, ihi;
    InverseAlphas(scaled, ilo, ihi);
    _mm256_storeu_si256(d, _mm256_add_epi8(scaled, ScalePixels(_mm256_loadu_si256(d), ilo, ihi)));
  }
  return i;
}

}  // namespace velmora::swf

#else

namespace velmora::swf {

int BlendOverSpanAvx2(uint32_t*, const uint32_t*, const uint8_t*, const uint8_t*, int) { return 0; }

}  // namespace velmora::swf

#endif
