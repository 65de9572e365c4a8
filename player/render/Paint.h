// The colour a fill gives each pixel: solid, gradient ramps and bitmap
// sampling, with the object's colour transform applied. Colours are
// premultiplied 0xAARRGGBB.
#pragma once

#include "player/swf/SwfMovie.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace velmora::swf {

// How many colours a gradient's ramp holds: finer than the 256 ratios, so
// that a gradient stretched over many pixels still changes smoothly.
constexpr int kRampSize = 4096;
using GradientRamp = std::array<uint32_t, kRampSize>;

// How a ramp moves from ratio to ratio: smoothly, or in the 256 whole
// ratios (each ratio's colour held until the next), which is how the
// reference pictures show gradients at high quality.
enum class RampSteps : uint8_t { Smooth, WholeRatios };

// The colours of a gradient from ratio 0 to 255, entry i at ratio
// i * 255 / (kRampSize - 1).
GradientRamp BuildGradientRamp(const Gradient& gradient, const ColorTransform& cx,
                               RampSteps steps = RampSteps::Smooth);

class Paint {
 public:
  // `toPixels` maps the shape's twips to target pixels. `smoothBitmaps`
  // allows bilinear sampling of fills that ask for it. `ramp`, when given,
  // is the gradient's ramp under `cx` at `rampSteps` as BuildGradientRamp
  // makes it, kept by the caller for as long as the paint is used.
  Paint(const FillStyle& style, const Matrix& toPixels, const ColorTransform& cx,
        const Bitmap* bitmap, bool smoothBitmaps, RampSteps rampSteps = RampSteps::Smooth,
        const GradientRamp* ramp = nullptr);

  bool IsSolid() const { return kind_ == Kind::Solid; }
  // Whether every colour the paint gives is opaque. A gradient's ramp is
  // looked through (4096 colours), so ask once a paint.
  bool Opaque() const;
  uint32_t SolidColor() const { return solid_; }
  // Colours of `count` pixels of row `y` from `x` on.
  void Fill(int y, int x, int count, uint32_t* out) const;

 private:
  enum class Kind : uint8_t { Solid, Linear, Radial, Focal, Bitmap };
  double SpreadT(double t) const {
    switch (spread_) {
      case SpreadMode::Pad: return t < 0 ? 0 : t > 1 ? 1 : t;
      case SpreadMode::Repeat: return t - std::floor(t);
      case SpreadMode::Reflect: {
        double m = std::fmod(std::fabs(t), 2.0);
        return m > 1 ? 2 - m : m;
      }
    }
    return 0;
  }
  uint32_t RampColor(double t) const;
  const uint32_t* Ramp() const { return keptRamp_ ? keptRamp_->data() : ramp_.data(); }
  // The texel under a point, clamped or wrapped at the bitmap's edges.
  uint32_t Texel(long x, long y) const;
  uint32_t SampleBitmap(double u, double v) const;
  // The smoothed sample at a fixed-point point (see BilinearRow.h).
  uint32_t SampleSmooth(int64_t u, int64_t v) const;
  // Of a row of `count` unsmoothed samples stepping from (gx, gy), the run
  // [begin, end) that lies well inside the bitmap; and such a run's samples
  // taken without per-texel edge checks, stepping (gx, gy) past it.
  struct SampleRange {
    int begin, end;
  };
  SampleRange InsideBitmap(double gx, double gy, int count) const;
  void FillInsideBitmap(double& gx, double& gy, int count, uint32_t* out) const;
  // The smoothed samples of `count` pixels of row `y` from `x` on.
  void FillSmoothBitmap(int y, int x, int count, uint32_t* out) const;

  Kind kind_ = Kind::Solid;
  uint32_t solid_ = 0;
  // Filled only for a gradient without a kept ramp: left as it is otherwise,
  // so that a paint costs no clearing of it.
  GradientRamp ramp_;
  const GradientRamp* keptRamp_ = nullptr;
  SpreadMode spread_ = SpreadMode::Pad;
  double focal_ = 0;
  Matrix inverse_;  // target pixel centre to gradient square or texel
  const Bitmap* bitmap_ = nullptr;
  bool repeat_ = true, smooth_ = false;
  ColorTransform cx_;
  bool transformTexels_ = false;
};

}  // namespace velmora::swf
