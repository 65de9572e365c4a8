#include "player/render/Paint.h"

#include "player/render/BilinearRow.h"
#include "player/render/GradientRow.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace velmora::swf {
namespace {

double ToLinear(double c) {
  c /= 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double FromLinear(double c) {
  c = c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
  return c * 255.0;
}

}  // namespace


namespace {

// The gradient's colour at each whole ratio, each channel cut down to a
// whole value: the reference pictures' gradients are built on such a table.
// The table is filled from ratio 0 up, moving towards one record at a time:
// the next record is taken only once the table has reached the current one's
// ratio, so every record shows for at least one ratio step. Records that
// share a ratio show as thin bands in their order; a record whose ratio lies
// behind the table's position shows for one step and the colour then moves
// on towards the next record from that record's own ratio.
std::array<Rgba, 256> WholeRatioColours(const Gradient& g) {
  const bool linear = g.interpolation == Interpolation::LinearRgb;
  const size_t last = g.stops.size() - 1;
  std::array<Rgba, 256> table;
  size_t k = 0;  // the record the table is moving towards
  for (int r = 0; r < 256; ++r) {
    const GradientStop& b = g.stops[k];
    Rgba c = b.color;
    if (k > 0) {
      const GradientStop& a = g.stops[k - 1];
      const double ra = a.ratio, rb = b.ratio;
      if (rb > ra && r < rb) {
        const double t = std::max(0.0, (r - ra) / (rb - ra));
        auto mix = [&](uint8_t x, uint8_t y, bool colour) {
          double v = linear && colour ? FromLinear(ToLinear(x) + (ToLinear(y) - ToLinear(x)) * t)
                                      : x + (y - x) * t;
          // The small lift keeps a value that is whole in exact arithmetic
          // (204 + 51 * 0.2) from being cut down a step by rounding noise.
          return static_cast<uint8_t>(std::clamp(std::floor(v + 1e-9), 0.0, 255.0));
        };
        c = {mix(a.color.r, b.color.r, true), mix(a.color.g, b.color.g, true),
             mix(a.color.b, b.color.b, true), mix(a.color.a, b.color.a, false)};
      }
    }
    table[r] = c;
    if (r >= b.ratio && k < last) ++k;
  }
  return table;
}

}  // namespace

GradientRamp BuildGradientRamp(const Gradient& g, const ColorTransform& cx, RampSteps steps) {
  GradientRamp ramp{};
  if (g.stops.empty()) return ramp;
  const std::array<Rgba, 256> table = WholeRatioColours(g);
  for (int i = 0; i < kRampSize; ++i) {
    const double r = i * 255.0 / (kRampSize - 1);
    const int whole = std::min(static_cast<int>(r), 255);
    Rgba c = table[whole];
    if (steps == RampSteps::Smooth && whole < 255) {
      // Between whole ratios the colour moves evenly to the next one.
      const Rgba& next = table[whole + 1];
      const double f = r - whole;
      auto lerp = [f](uint8_t x, uint8_t y) { return static_cast<uint8_t>(std::lround(x + (y - x) * f)); };
      c = {lerp(c.r, next.r), lerp(c.g, next.g), lerp(c.b, next.b), lerp(c.a, next.a)};
    }
    ramp[i] = PremultipliedArgb(cx.Apply(c));
  }
  return ramp;
}

Paint::Paint(const FillStyle& style, const Matrix& toPixels, const ColorTransform& cx,
             const Bitmap* bitmap, bool smoothBitmaps, RampSteps rampSteps, const GradientRamp* ramp)
    : cx_(cx) {
  switch (style.kind) {
    case FillKind::Solid:
      kind_ = Kind::Solid;
      solid_ = PremultipliedArgb(cx.Apply(style.color));
      return;
    case FillKind::Bitmap:
      if (!bitmap || bitmap->width == 0 || bitmap->height == 0) {
        // A missing picture fills with nothing visible.
        kind_ = Kind::Solid;
        solid_ = 0;
        return;
      }
      kind_ = Kind::Bitmap;
      bitmap_ = bitmap;
      repeat_ = style.bitmapRepeat;
      smooth_ = smoothBitmaps && style.bitmapSmooth;
      transformTexels_ = !cx.IsIdentity();
      break;
    case FillKind::LinearGradient: kind_ = Kind::Linear; break;
    case FillKind::RadialGradient: kind_ = Kind::Radial; break;
    case FillKind::FocalGradient: kind_ = Kind::Focal; break;
  }
  if (kind_ != Kind::Bitmap) {
    if (ramp)
      keptRamp_ = ramp;
    else
      ramp_ = BuildGradientRamp(style.gradient, cx, rampSteps);
    spread_ = style.gradient.spread;
    focal_ = style.gradient.focalPoint;
  }
  if (!(toPixels * style.matrix).Invert(inverse_)) {
    // A collapsed gradient shows its last colour, a collapsed picture nothing.
    kind_ = Kind::Solid;
    solid_ = bitmap_ ? 0 : Ramp()[kRampSize - 1];
  }
}

bool Paint::Opaque() const {
  switch (kind_) {
    case Kind::Solid: return (solid_ >> 24) == 0xFF;
    case Kind::Bitmap: return bitmap_->opaque && ColorTransform::Channel(255, cx_.aMult, cx_.aAdd) == 255;
    default: return std::all_of(Ramp(), Ramp() + kRampSize, [](uint32_t c) { return c >= 0xFF000000u; });
  }
}

uint32_t Paint::Texel(long x, long y) const {
  const long w = bitmap_->width, h = bitmap_->height;
  if (repeat_) {
    x %= w;
    y %= h;
    if (x < 0) x += w;
    if (y < 0) y += h;
  } else {
    x = std::clamp<long>(x, 0, w - 1);
    y = std::clamp<long>(y, 0, h - 1);
  }
  return bitmap_->pixels[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)];
}

uint32_t Paint::SampleBitmap(double u, double v) const {
  // Far-off points are held in reach, a point of a broken transform (NaN)
  // at the corner.
  u = u == u ? std::clamp(u, -1e9, 1e9) : 0;
  v = v == v ? std::clamp(v, -1e9, 1e9) : 0;
  const uint32_t p = Texel(static_cast<long>(std::floor(u)), static_cast<long>(std::floor(v)));
  return transformTexels_ ? TransformPremultiplied(p, cx_) : p;
}

uint32_t Paint::SampleSmooth(int64_t u, int64_t v) const {
  const long x0 = static_cast<long>(SampleTexel(u)), y0 = static_cast<long>(SampleTexel(v));
  return MixTexels(Texel(x0, y0), Texel(x0 + 1, y0), Texel(x0, y0 + 1), Texel(x0 + 1, y0 + 1), SampleWeight(u),
                   SampleWeight(v));
}

Paint::SampleRange Paint::InsideBitmap(double gx, double gy, int count) const {
  // The samples run along a line, so those inside the bitmap are one run.
  // The margin keeps clear of the edges, where clamping or wrapping decides,
  // and the run is narrowed by a sample at each end against the rounding of
  // the stepping.
  constexpr double kMargin = 1e-3;
  double first = 0, last = count - 1;
  auto narrow = [&](double g, double step, double high) {
    if (!std::isfinite(g) || !std::isfinite(step)) {
      last = -1;
    } else if (step == 0) {
      if (!(g > kMargin && g < high)) last = -1;
    } else {
      double a = (kMargin - g) / step, b = (high - g) / step;
      if (a > b) std::swap(a, b);
      first = std::max(first, std::floor(a) + 2);
      last = std::min(last, std::ceil(b) - 2);
    }
  };
  narrow(gx, inverse_.a, bitmap_->width - kMargin);
  narrow(gy, inverse_.b, bitmap_->height - kMargin);
  if (!(first <= last)) return {0, 0};
  return {static_cast<int>(first), static_cast<int>(last) + 1};
}

void Paint::FillInsideBitmap(double& gx, double& gy, int count, uint32_t* out) const {
  // Every point lies inside the bitmap, where cutting towards zero is the
  // floor that SampleBitmap takes: the same texels, without its checks.
  const size_t w = static_cast<size_t>(bitmap_->width);
  const uint32_t* texels = bitmap_->pixels.data();
  const double stepX = inverse_.a, stepY = inverse_.b;
  for (int i = 0; i < count; ++i, gx += stepX, gy += stepY)
    out[i] = texels[static_cast<size_t>(gy) * w + static_cast<size_t>(gx)];
}

void Paint::FillSmoothBitmap(int y, int x, int count, uint32_t* out) const {
  // The row's pixel centres map to origin + x * step in texels. The points
  // are stepped in fixed point from the row's own origin, so a pixel takes
  // the same sample however its row is cut into spans.
  const double py = y + 0.5;
  const double ou = inverse_.a * 0.5 + inverse_.c * py + inverse_.tx;
  const double ov = inverse_.b * 0.5 + inverse_.d * py + inverse_.ty;
  const double reach = std::max(1.0, static_cast<double>(x) + count);
  constexpr double kFar = 1 << 29;  // fixed point holds points to 2^30 texels
  if (!(std::fabs(ou) < kFar && std::fabs(ov) < kFar && std::fabs(inverse_.a) * reach < kFar &&
        std::fabs(inverse_.b) * reach < kFar)) {
    // A picture stretched beyond any screen: each point on its own, held
    // within fixed point's reach.
    for (int i = 0; i < count; ++i) {
      const double px = x + i + 0.5;
      out[i] = SampleSmooth(FixedSamplePoint(inverse_.a * px + inverse_.c * py + inverse_.tx),
                            FixedSamplePoint(inverse_.b * px + inverse_.d * py + inverse_.ty));
    }
  } else {
    const int64_t du = FixedSampleStep(inverse_.a), dv = FixedSampleStep(inverse_.b);
    const int64_t u = FixedSamplePoint(ou) + du * x, v = FixedSamplePoint(ov) + dv * x;
    // Where a sample's four texels lie inside the picture, without clamping
    // or wrapping.
    const SampleRun across = SamplesWithin(u, du, bitmap_->width - 2, count);
    const SampleRun down = SamplesWithin(v, dv, bitmap_->height - 2, count);
    const int begin = std::max(across.begin, down.begin), end = std::min(across.end, down.end);
    int i = 0;
    for (; i < count && (i < begin || begin >= end); ++i) out[i] = SampleSmooth(u + du * i, v + dv * i);
    if (i < end) {
      BilinearRow(bitmap_->pixels.data(), static_cast<size_t>(bitmap_->width), u + du * i, v + dv * i, du, dv,
                  end - i, out + i);
      i = end;
    }
    for (; i < count; ++i) out[i] = SampleSmooth(u + du * i, v + dv * i);
  }
  if (transformTexels_)
    for (int i = 0; i < count; ++i) out[i] = TransformPremultiplied(out[i], cx_);
}

uint32_t Paint::RampColor(double t) const {
  // The 256 ratios share the gradient square in equal bins, each ratio at
  // the centre of its own.
  double ratio = SpreadT(t) * 256 - 0.5;
  ratio = ratio > 0 ? std::min(ratio, 255.0) : 0.0;  // NaN too
  return Ramp()[static_cast<int>(ratio * ((kRampSize - 1) / 255.0) + 0.5)];
}

void Paint::Fill(int y, int x, int count, uint32_t* out) const {
  if (kind_ == Kind::Solid) {
    std::fill(out, out + count, solid_);
    return;
  }
  const double py = y + 0.5;
  // Along a row the mapped point moves by a constant step; each kind has
  // its own loop so that the per-pixel work stays small.
  double gx = inverse_.a * (x + 0.5) + inverse_.c * py + inverse_.tx;
  double gy = inverse_.b * (x + 0.5) + inverse_.d * py + inverse_.ty;
  const double stepX = inverse_.a, stepY = inverse_.b;
  switch (kind_) {
    case Kind::Bitmap:
    {
      if (smooth_) {
        FillSmoothBitmap(y, x, count, out);
        return;
      }
      // The stepping runs on unbroken through the three parts, so each
      // sample is taken where a single loop would take it.
      const SampleRange inside = transformTexels_ ? SampleRange{0, 0} : InsideBitmap(gx, gy, count);
      int i = 0;
      for (; i < inside.begin; ++i, gx += stepX, gy += stepY) out[i] = SampleBitmap(gx, gy);
      if (inside.end > inside.begin) {
        FillInsideBitmap(gx, gy, inside.end - inside.begin, out + i);
        i = inside.end;
      }
      for (; i < count; ++i, gx += stepX, gy += stepY) out[i] = SampleBitmap(gx, gy);
      return;
    }
    case Kind::Linear:
      if (spread_ == SpreadMode::Pad) {
        // Padded, the ramp index is a clamped linear function of x.
        constexpr float kPerRatio = (kRampSize - 1) / 255.0f;
        float v = static_cast<float>(((gx + 16384.0) / 32768.0 * 256 - 0.5) * kPerRatio);
        const float dv = static_cast<float>(stepX / 32768.0 * 256 * kPerRatio);
        PadLinearRow(Ramp(), v, dv, count, out);
        return;
      }
      for (int i = 0; i < count; ++i, gx += stepX) out[i] = RampColor((gx + 16384.0) / 32768.0);
      return;
    case Kind::Radial:
      if (spread_ == SpreadMode::Pad) {
        constexpr float kPerRatio = (kRampSize - 1) / 255.0f;
        constexpr float kScale = 256.0f / 16384.0f * kPerRatio, kOffset = 0.5f * kPerRatio;
        PadRadialRow(Ramp(), {kScale, kOffset}, static_cast<float>(gx), static_cast<float>(gy),
                     static_cast<float>(stepX), static_cast<float>(stepY), count, out);
        return;
      }
      for (int i = 0; i < count; ++i, gx += stepX, gy += stepY)
        out[i] = RampColor(std::sqrt(gx * gx + gy * gy) / 16384.0);
      return;
    default:
      break;
  }
  for (int i = 0; i < count; ++i, gx += stepX, gy += stepY) {
    // Focal: how far along the ray from the focal point to the circle.
    double px = gx / 16384.0, py2 = gy / 16384.0, fx = focal_;
    double dx = px - fx, dy = py2;
    double len = std::sqrt(dx * dx + dy * dy);
    double t;
    if (len < 1e-12) {
      t = 0;
    } else {
      dx /= len;
      dy /= len;
      double b = fx * dx;
      double s = -b + std::sqrt(std::max(0.0, b * b - (fx * fx - 1)));
      t = s > 1e-12 ? len / s : 1;
    }
    out[i] = RampColor(t);
  }
}

}  // namespace velmora::swf
