#include "pictures/JpegIdct.h"

#include <algorithm>
#include <cmath>

namespace velmora {
namespace {

// The separable integer transform with 12-bit constants (the accurate
// integer method of the usual decoders). 64-bit sums: damaged coefficients
// cannot overflow.
constexpr int64_t Fix(double x) { return static_cast<int64_t>(x * 4096 + 0.5); }

struct Stage {
  int64_t x0, x1, x2, x3, t0, t1, t2, t3;
};

Stage Transform1D(int64_t s0, int64_t s1, int64_t s2, int64_t s3, int64_t s4, int64_t s5,
                  int64_t s6, int64_t s7) {
  Stage r;
  int64_t p1 = (s2 + s6) * Fix(0.5411961);
  const int64_t even2 = p1 + s6 * -Fix(1.847759065);
  const int64_t even3 = p1 + s2 * Fix(0.765366865);
  const int64_t even0 = (s0 + s4) * 4096;
  const int64_t even1 = (s0 - s4) * 4096;
  r.x0 = even0 + even3;
  r.x3 = even0 - even3;
  r.x1 = even1 + even2;
  r.x2 = even1 - even2;
  int64_t t0 = s7, t1 = s5, t2 = s3, t3 = s1;
  int64_t p3 = t0 + t2, p4 = t1 + t3;
  p1 = t0 + t3;
  int64_t p2 = t1 + t2;
  const int64_t p5 = (p3 + p4) * Fix(1.175875602);
  t0 *= Fix(0.298631336);
  t1 *= Fix(2.053119869);
  t2 *= Fix(3.072711026);
  t3 *= Fix(1.501321110);
  p1 = p5 + p1 * -Fix(0.899976223);
  p2 = p5 + p2 * -Fix(2.562915447);
  p3 *= -Fix(1.961570560);
  p4 *= -Fix(0.390180644);
  r.t3 = t3 + p1 + p4;
  r.t2 = t2 + p2 + p3;
  r.t1 = t1 + p2 + p4;
  r.t0 = t0 + p1 + p3;
  return r;
}

uint8_t Clamp(int64_t v) { return static_cast<uint8_t>(std::clamp<int64_t>(v, 0, 255)); }

void Full(const int32_t* d, uint8_t* out, int stride) {
  int64_t v[64];
  for (int i = 0; i < 8; ++i) {
    const int32_t* c = d + i;
    if (!c[8] && !c[16] && !c[24] && !c[32] && !c[40] && !c[48] && !c[56]) {
      for (int k = 0; k < 8; ++k) v[i + 8 * k] = int64_t{c[0]} * 4;
      continue;
    }
    Stage s = Transform1D(c[0], c[8], c[16], c[24], c[32], c[40], c[48], c[56]);
    // Two bits more precision than the input are kept for the rows.
    s.x0 += 512, s.x1 += 512, s.x2 += 512, s.x3 += 512;
    v[i] = (s.x0 + s.t3) >> 10;
    v[i + 56] = (s.x0 - s.t3) >> 10;
    v[i + 8] = (s.x1 + s.t2) >> 10;
    v[i + 48] = (s.x1 - s.t2) >> 10;
    v[i + 16] = (s.x2 + s.t1) >> 10;
    v[i + 40] = (s.x2 - s.t1) >> 10;
    v[i + 24] = (s.x3 + s.t0) >> 10;
    v[i + 32] = (s.x3 - s.t0) >> 10;
  }
  for (int i = 0; i < 8; ++i, out += stride) {
    const int64_t* r = v + 8 * i;
    Stage s = Transform1D(r[0], r[1], r[2], r[3], r[4], r[5], r[6], r[7]);
    // 12 bits of the constants, 2 kept above, 3 of the two scalings by the
    // square root of 8: 17 in all, rounded; the samples are centred on 128.
    const int64_t bias = 65536 + (int64_t{128} << 17);
    s.x0 += bias, s.x1 += bias, s.x2 += bias, s.x3 += bias;
    out[0] = Clamp((s.x0 + s.t3) >> 17);
    out[7] = Clamp((s.x0 - s.t3) >> 17);
    out[1] = Clamp((s.x1 + s.t2) >> 17);
    out[6] = Clamp((s.x1 - s.t2) >> 17);
    out[2] = Clamp((s.x2 + s.t1) >> 17);
    out[5] = Clamp((s.x2 - s.t1) >> 17);
    out[3] = Clamp((s.x3 + s.t0) >> 17);
    out[4] = Clamp((s.x3 - s.t0) >> 17);
  }
}

// Basis of the n-point transform that keeps the block's amplitudes: a
// sample of the small block is the mean of the pixels it stands for.
struct ReducedBasis {
  float cos[4][4][4] = {};  // [n index][x][u], for n = 1, 2, 4 at indexes 0, 1, 2
  ReducedBasis() {
    const double pi = std::acos(-1.0);
    for (int level = 0; level < 3; ++level) {
      const int n = 1 << level;
      for (int x = 0; x < n; ++x)
        for (int u = 0; u < n; ++u)
          cos[level][x][u] = static_cast<float>((u == 0 ? std::sqrt(0.5) : 1.0) / 2 *
                                                std::cos((2 * x + 1) * u * pi / (2 * n)));
    }
  }
};

void Reduced(const int32_t* d, int n, uint8_t* out, int stride) {
  static const ReducedBasis basis;
  const int level = n == 1 ? 0 : n == 2 ? 1 : 2;
  const auto& c = basis.cos[level];
  float rows[4][4];  // [v][x]
  for (int v = 0; v < n; ++v)
    for (int x = 0; x < n; ++x) {
      float sum = 0;
      for (int u = 0; u < n; ++u) sum += c[x][u] * static_cast<float>(d[8 * v + u]);
      rows[v][x] = sum;
    }
  for (int y = 0; y < n; ++y, out += stride)
    for (int x = 0; x < n; ++x) {
      float sum = 0;
      for (int v = 0; v < n; ++v) sum += c[y][v] * rows[v][x];
      out[x] = Clamp(static_cast<int64_t>(std::lround(sum + 128.0f)));
    }
}

}  // namespace

void InverseDct(const int32_t coefficients[64], int n, uint8_t* out, int stride) {
  if (n == 8)
    Full(coefficients, out, stride);
  else
    Reduced(coefficients, n, out, stride);
}

}  // namespace velmora
