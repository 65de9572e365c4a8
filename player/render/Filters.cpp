#include "player/render/Filters.h"

#include "player/display/ClipDrawing.h"
#include "player/render/Paint.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace velmora::swf {
namespace {


// A box of `width` pixels centred on each pixel: the taps it covers whole
// count fully, the two it cuts at its ends by the part inside (in 1/256).
struct BoxWindow {
  int radius = 0;     // taps -radius..radius count fully
  uint32_t edge = 0;  // weight of the taps at +-(radius + 1)
  uint32_t total = 0;
};

BoxWindow MakeWindow(double width, bool fractionalEnds) {
  BoxWindow w;
  w.radius = std::max(0, static_cast<int>(std::floor((width - 1) / 2)));
  double rest = (width - (2 * w.radius + 1)) / 2;
  w.edge = fractionalEnds ? static_cast<uint32_t>(std::lround(std::clamp(rest, 0.0, 1.0) * 256)) : 0;
  w.total = (2 * w.radius + 1) * 256 + 2 * w.edge;
  return w;
}

// floor(n / d) by a multiply and a shift, exact for every n below 2^26
// (a box's weighted sum stays far below that): the multiplier is
// ceil(2^(26 + l) / d) with 2^l >= d.
class ExactDivider {
 public:
  explicit ExactDivider(uint32_t d) {
    while ((1u << shift_) < d) ++shift_;
    shift_ += 26;
    const uint64_t power = uint64_t{1} << shift_;
    multiplier_ = (power + d - 1) / d;
  }
  uint32_t operator()(uint32_t n) const { return static_cast<uint32_t>((n * multiplier_) >> shift_); }

 private:
  uint64_t multiplier_ = 0;
  int shift_ = 0;
};

// One box pass over `count` values spaced by `stride`; outside is transparent.
void BoxLine(uint32_t* data, int count, int stride, const BoxWindow& w, std::vector<uint32_t>& scratch) {
  if (count == 0) return;
  const int r = w.radius;
  scratch.assign(static_cast<size_t>(count) + 2 * (r + 1), 0);
  uint32_t* line = scratch.data() + r + 1;  // padded with zeros both sides
  for (int i = 0; i < count; ++i) line[i] = data[static_cast<size_t>(i) * stride];
  const ExactDivider divide(w.total);
  uint32_t sum[4] = {0, 0, 0, 0};
  for (int i = -r; i < r; ++i)
    for (int c = 0; c < 4; ++c) sum[c] += (line[i] >> (8 * c)) & 0xFF;
  for (int i = 0; i < count; ++i) {
    const uint32_t in = line[i + r], e1 = line[i - r - 1], e2 = line[i + r + 1];
    uint32_t out = 0;
    for (int c = 0; c < 4; ++c) {
      const int s = 8 * c;
      sum[c] += (in >> s) & 0xFF;
      uint32_t ends = ((e1 >> s) & 0xFF) + ((e2 >> s) & 0xFF);
      // The mean is cut to whole steps, as the reference blurs are.
      out |= std::min<uint32_t>(255, divide(sum[c] * 256 + ends * w.edge)) << s;
      sum[c] -= (line[i - r] >> s) & 0xFF;
    }
    data[static_cast<size_t>(i) * stride] = out;
  }
}

// The layer's alpha coloured with `color` and scaled by `strength`.
Canvas ColoredAlpha(const Canvas& layer, Rgba color, double strength, bool inverted) {
  // The result depends on the layer's alpha alone: one colour per alpha.
  uint32_t byAlpha[256];
  for (int v = 0; v < 256; ++v) {
    double a = v / 255.0;
    if (inverted) a = 1 - a;
    double alpha = std::min(1.0, a * strength) * color.a / 255.0;
    Rgba c = color;
    c.a = static_cast<uint8_t>(std::lround(alpha * 255));
    byAlpha[v] = PremultipliedArgb(c);
  }
  Canvas out;
  out.Resize(layer.width, layer.height);
  for (size_t i = 0; i < layer.pixels.size(); ++i) out.pixels[i] = byAlpha[layer.pixels[i] >> 24];
  return out;
}

Canvas Shifted(const Canvas& in, int dx, int dy) {
  Canvas out;
  out.Resize(in.width, in.height);
  for (int y = 0; y < in.height; ++y) {
    int sy = y - dy;
    if (sy < 0 || sy >= in.height) continue;
    for (int x = 0; x < in.width; ++x) {
      int sx = x - dx;
      if (sx >= 0 && sx < in.width) out.Row(y)[x] = in.Row(sy)[sx];
    }
  }
  return out;
}

// Channels times an alpha, rounded: kByAlpha[a][v] = v * a / 255 and
// kByInverse[a][v] = v * (1 - a / 255), worked out once in doubles.
struct AlphaTables {
  uint8_t byAlpha[256][256];
  uint8_t byInverse[256][256];
  AlphaTables() {
    for (int a = 0; a < 256; ++a)
      for (int v = 0; v < 256; ++v) {
        byAlpha[a][v] = static_cast<uint8_t>(std::lround(v * (a / 255.0)));
        byInverse[a][v] = static_cast<uint8_t>(std::lround(v * (1 - a / 255.0)));
      }
  }
};

const AlphaTables& Tables() {
  static const AlphaTables tables;
  return tables;
}

uint32_t ScaleBy(const uint8_t* table, uint32_t c) {
  return uint32_t{table[c & 0xFF]} | uint32_t{table[(c >> 8) & 0xFF]} << 8 |
         uint32_t{table[(c >> 16) & 0xFF]} << 16 | uint32_t{table[c >> 24]} << 24;
}

// c times alpha `a` / 255.
uint32_t Scale(uint32_t c, uint32_t a) { return ScaleBy(Tables().byAlpha[a], c); }
// c times 1 - alpha `a` / 255.
uint32_t ScaleInverse(uint32_t c, uint32_t a) { return ScaleBy(Tables().byInverse[a], c); }

uint32_t Over(uint32_t dst, uint32_t src) { return src + ScaleInverse(dst, src >> 24); }

// A blur amount in layer pixels. A box one pixel wide leaves the picture as
// it is at any size, so only the part beyond that one pixel grows with the
// view: (blur - 1) * scale + 1.
double ScaledBlur(double blur, double scale) { return blur <= 1 ? blur : (blur - 1) * scale + 1; }

// A filter's offset in layer pixels: `distance` towards its angle.
void Offset(const Filter& f, double scale, double distance, int& dx, int& dy) {
  dx = static_cast<int>(std::lround(std::cos(f.angle) * distance * scale));
  dy = static_cast<int>(std::lround(std::sin(f.angle) * distance * scale));
}

// Puts a shadow or glow picture with the object as the filter's flags say:
// an inner one inside the object over it, an outer one outside under it,
// or alone when the object is knocked out.
void ComposeShadow(const Filter& f, const Canvas& shadow, Canvas& layer) {
  for (size_t i = 0; i < layer.pixels.size(); ++i) {
    uint32_t src = layer.pixels[i];
    const uint32_t sa = src >> 24;
    uint32_t s = shadow.pixels[i];
    if (f.inner) {
      s = Scale(s, sa);  // inside the object only
      layer.pixels[i] = f.knockout ? s : (f.compositeSource ? Over(src, s) : s);
    } else {
      if (f.knockout) s = ScaleInverse(s, sa);
      layer.pixels[i] = f.knockout || !f.compositeSource ? s : Over(s, src);
    }
  }
}

// The layer's alpha alone (or what it leaves uncovered), blurred as the
// filter asks.
Canvas BlurredAlpha(const Canvas& layer, const Filter& f, double scale, bool inverted = false) {
  Canvas alpha;
  alpha.Resize(layer.width, layer.height);
  for (size_t i = 0; i < layer.pixels.size(); ++i)
    alpha.pixels[i] = (inverted ? ~layer.pixels[i] : layer.pixels[i]) & 0xFF000000u;
  BoxBlur(alpha, ScaledBlur(f.blurX, scale), ScaledBlur(f.blurY, scale), std::max(f.passes, 1), true);
  return alpha;
}

void Shadow(const Filter& f, double scale, Canvas& layer, double distance) {
  int dx, dy;
  Offset(f, scale, distance, dx, dy);
  Canvas shadow = ColoredAlpha(BlurredAlpha(layer, f, scale, f.inner), f.color, f.strength, false);
  ComposeShadow(f, Shifted(shadow, dx, dy), layer);
}

// The colours of a gradient filter by ratio.
class FilterRamp {
 public:
  explicit FilterRamp(const Filter& f) {
    Gradient g;
    g.stops = f.gradient;
    if (!g.stops.empty()) ramp_ = BuildGradientRamp(g, ColorTransform{});
  }
  uint32_t At(int ratio) const {
    return ramp_[static_cast<size_t>(std::lround(std::clamp(ratio, 0, 255) * (kRampSize - 1) / 255.0))];
  }

 private:
  GradientRamp ramp_{};
};

// A glow or shadow whose colour, from the filter's gradient, follows the
// strength of the blurred alpha: ratio 0 where it fades out, 255 at full.
void GradientShadow(const Filter& f, double scale, Canvas& layer) {
  int dx, dy;
  Offset(f, scale, f.distance, dx, dy);
  Canvas shadow = Shifted(BlurredAlpha(layer, f, scale, f.inner), dx, dy);
  const FilterRamp ramp(f);
  uint32_t byAlpha[256];
  for (int v = 0; v < 256; ++v) byAlpha[v] = ramp.At(static_cast<int>(std::lround(std::min(255.0, v * f.strength))));
  for (uint32_t& p : shadow.pixels) p = byAlpha[p >> 24];
  ComposeShadow(f, shadow, layer);
}

// The alpha of `a` at (x - dx, y - dy), 0 outside it.
uint32_t AlphaAt(const Canvas& a, int x, int y, int dx, int dy) {
  const int sx = x - dx, sy = y - dy;
  if (sx < 0 || sy < 0 || sx >= a.width || sy >= a.height) return 0;
  return a.Row(sy)[sx] >> 24;
}

// The colours of a bevel's two sides by how much one shifted copy of the
// alpha outweighs the other (0..255), the strength applied: the two
// colours at that part of their alpha, or the gradient from its middle
// towards ratio 0 on the side that faces the light and 255 on the other.
struct BevelColours {
  uint32_t facing[256], away[256];

  explicit BevelColours(const Filter& f) {
    const bool gradient = f.kind == FilterKind::GradientBevel;
    const FilterRamp ramp(f);
    for (int v = 0; v < 256; ++v) {
      const double part = std::min(1.0, v / 255.0 * f.strength);
      if (gradient) {
        facing[v] = ramp.At(static_cast<int>(std::lround(128 - part * 128)));
        away[v] = ramp.At(static_cast<int>(std::lround(128 + part * 127)));
        continue;
      }
      Rgba light = f.color, dark = f.highlight;
      light.a = static_cast<uint8_t>(std::lround(part * f.color.a));
      dark.a = static_cast<uint8_t>(std::lround(part * f.highlight.a));
      facing[v] = PremultipliedArgb(light);
      away[v] = PremultipliedArgb(dark);
    }
  }
};

// The blurred alpha, one copy shifted by the distance towards the angle and
// one away from it. The light comes from against the angle: where the copy
// shifted towards the light outweighs the other, the edge faces the light
// and takes the first colour; where the other does, the second. An inner
// bevel lies on the object, inside it; an outer one outside and under it; a
// full one (on top) on both sides over it.
void Bevel(const Filter& f, double scale, Canvas& layer) {
  int dx, dy;
  Offset(f, scale, f.distance, dx, dy);
  const Canvas alpha = BlurredAlpha(layer, f, scale);
  const BevelColours colours(f);
  const bool hideSource = f.knockout || !f.compositeSource;
  for (int y = 0; y < layer.height; ++y) {
    uint32_t* row = layer.Row(y);
    for (int x = 0; x < layer.width; ++x) {
      const int towards = static_cast<int>(AlphaAt(alpha, x, y, dx, dy));
      const int against = static_cast<int>(AlphaAt(alpha, x, y, -dx, -dy));
      const uint32_t b = against > towards ? colours.facing[against - towards] : colours.away[towards - against];
      const uint32_t src = row[x], sa = src >> 24;
      if (f.onTop) {
        row[x] = hideSource ? b : Over(src, b);
      } else if (f.inner) {
        // Atop the object: the bevel where the object is, the object
        // showing through what the bevel leaves.
        row[x] = hideSource ? Scale(b, sa) : Scale(b, sa) + ScaleInverse(src, b >> 24);
      } else {
        const uint32_t outside = ScaleInverse(b, sa);
        row[x] = hideSource ? outside : Over(outside, src);
      }
    }
  }
}

void ColorMatrix(const float* m, Canvas& layer) {
  for (uint32_t& p : layer.pixels) {
    double a = (p >> 24) & 0xFF;
    double un = a > 0 ? 255.0 / a : 0;
    double r = ((p >> 16) & 0xFF) * un, g = ((p >> 8) & 0xFF) * un, b = (p & 0xFF) * un;
    auto row = [&](int k) {
      return std::clamp(m[k] * r + m[k + 1] * g + m[k + 2] * b + m[k + 3] * a + m[k + 4], 0.0, 255.0);
    };
    Rgba c{static_cast<uint8_t>(std::lround(row(0))), static_cast<uint8_t>(std::lround(row(5))),
           static_cast<uint8_t>(std::lround(row(10))), static_cast<uint8_t>(std::lround(row(15)))};
    p = PremultipliedArgb(c);
  }
}

void AddRect(const Rect& r, const Matrix& m, PixelRect& out, bool& any) {
  if (r.xMax <= r.xMin || r.yMax <= r.yMin) return;
  const Point corners[4] = {{double(r.xMin), double(r.yMin)}, {double(r.xMax), double(r.yMin)},
                            {double(r.xMin), double(r.yMax)}, {double(r.xMax), double(r.yMax)}};
  for (const Point& c : corners) {
    Point p = m.Apply(c);
    if (!any) out = {p.x, p.y, p.x, p.y};
    any = true;
    out.x0 = std::min(out.x0, p.x);
    out.y0 = std::min(out.y0, p.y);
    out.x1 = std::max(out.x1, p.x);
    out.y1 = std::max(out.y1, p.y);
  }
}

// `m` is the object's whole transform, its own matrix included.
void AddOwnBounds(const DisplayObject& object, const Matrix& m, PixelRect& out, bool& any, int depth) {
  if (!object.character || depth > 64) return;
  const Character& c = *object.character;
  if (c.shape) AddRect(c.shape->bounds, m, out, any);
  if (c.morph) {
    AddRect(c.morph->startBounds, m, out, any);
    AddRect(c.morph->endBounds, m, out, any);
  }
  if (c.text) AddRect(c.text->bounds, m, out, any);
  // A field's box as the movie gives it (an auto-sized one may grow past it).
  if (c.editText) AddRect(c.editText->bounds, m, out, any);
  if (!object.clip) return;
  // What scripts drew on the clip counts as the clip's own shape.
  if (const ClipDrawing* drawing = object.clip->Drawing())
    if (drawing->HasBox())
      AddRect({static_cast<int32_t>(std::floor(drawing->X0())), static_cast<int32_t>(std::ceil(drawing->X1())),
               static_cast<int32_t>(std::floor(drawing->Y0())), static_cast<int32_t>(std::ceil(drawing->Y1()))},
              m, out, any);
  for (const auto& [d, child] : object.clip->DisplayList())
    if (child.character) AddOwnBounds(child, m * child.matrix, out, any, depth + 1);
}

}  // namespace

PixelRect ContentBounds(const DisplayObject& object, const Matrix& matrix) {
  return OwnBounds(object, matrix * object.matrix);
}

PixelRect OwnBounds(const DisplayObject& object, const Matrix& full) {
  PixelRect out;
  bool any = false;
  AddOwnBounds(object, full, out, any, 0);
  return out;
}

PixelRect FilterReach(const std::vector<Filter>& filters, double scale) {
  PixelRect r;
  for (const Filter& f : filters) {
    if (f.kind == FilterKind::ColorMatrix || f.kind == FilterKind::Convolution) continue;
    const int passes = std::clamp(f.passes, 1, 15);
    const double bx = std::ceil(std::clamp(ScaledBlur(f.blurX, scale), 0.0, 512.0) / 2 + 1) * passes;
    const double by = std::ceil(std::clamp(ScaledBlur(f.blurY, scale), 0.0, 512.0) / 2 + 1) * passes;
    const double dx = std::ceil(std::fabs(std::cos(f.angle) * f.distance * scale));
    const double dy = std::ceil(std::fabs(std::sin(f.angle) * f.distance * scale));
    r.x0 += bx + dx;
    r.x1 += bx + dx;
    r.y0 += by + dy;
    r.y1 += by + dy;
  }
  return r;
}

void BoxBlur(Canvas& layer, double widthX, double widthY, int passes, bool smooth) {
  const BoxWindow wx = MakeWindow(std::clamp(widthX, 0.0, 512.0), smooth);
  const BoxWindow wy = MakeWindow(std::clamp(widthY, 0.0, 512.0), smooth);
  const bool blurX = wx.total > 256, blurY = wy.total > 256;
  std::vector<uint32_t> scratch;
  for (int pass = 0; pass < std::min(passes, 15); ++pass) {
    if (blurX)
      for (int y = 0; y < layer.height; ++y) BoxLine(layer.Row(y), layer.width, 1, wx, scratch);
    if (blurY)
      for (int x = 0; x < layer.width; ++x) BoxLine(layer.pixels.data() + x, layer.height, layer.width, wy, scratch);
  }
}

void ApplyFilter(const Filter& f, double scale, Canvas& layer) {
  switch (f.kind) {
    case FilterKind::Blur:
      BoxBlur(layer, ScaledBlur(f.blurX, scale), ScaledBlur(f.blurY, scale), std::max(f.passes, 1), true);
      break;
    case FilterKind::DropShadow: Shadow(f, scale, layer, f.distance); break;
    case FilterKind::Glow: Shadow(f, scale, layer, 0); break;
    case FilterKind::ColorMatrix: ColorMatrix(f.colorMatrix, layer); break;
    case FilterKind::Bevel:
    case FilterKind::GradientBevel: Bevel(f, scale, layer); break;
    case FilterKind::GradientGlow: GradientShadow(f, scale, layer); break;
    default: break;
  }
}

}  // namespace velmora::swf
