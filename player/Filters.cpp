#include "player/Filters.h"

#include "player/Paint.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace velmora::swf {
namespace {


// One box pass over `count` values spaced by `stride`, window `width`.
void BoxLine(uint32_t* data, int count, int stride, int width, std::vector<uint32_t>& scratch) {
  if (width <= 1 || count == 0) return;
  scratch.resize(count);
  for (int i = 0; i < count; ++i) scratch[i] = data[static_cast<size_t>(i) * stride];
  const int left = (width - 1) / 2, right = width / 2;
  uint32_t sum[4] = {0, 0, 0, 0};
  auto add = [&](int i, int sign) {
    if (i < 0 || i >= count) return;
    uint32_t p = scratch[i];
    for (int c = 0; c < 4; ++c) sum[c] += sign * ((p >> (8 * c)) & 0xFF);
  };
  for (int i = -left; i <= right - 1; ++i) add(i, 1);
  for (int i = 0; i < count; ++i) {
    add(i + right, 1);
    uint32_t out = 0;
    for (int c = 0; c < 4; ++c) out |= ((sum[c] + width / 2) / width) << (8 * c);
    data[static_cast<size_t>(i) * stride] = out;
    add(i - left, -1);
  }
}

// The layer's alpha coloured with `color` and scaled by `strength`.
Canvas ColoredAlpha(const Canvas& layer, Rgba color, double strength, bool inverted) {
  Canvas out;
  out.Resize(layer.width, layer.height);
  for (size_t i = 0; i < layer.pixels.size(); ++i) {
    double a = (layer.pixels[i] >> 24) / 255.0;
    if (inverted) a = 1 - a;
    double alpha = std::min(1.0, a * strength) * color.a / 255.0;
    Rgba c = color;
    c.a = static_cast<uint8_t>(std::lround(alpha * 255));
    out.pixels[i] = PremultipliedArgb(c);
  }
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

uint32_t Scale(uint32_t c, double f) {
  uint32_t out = 0;
  for (int s = 0; s < 32; s += 8) out |= static_cast<uint32_t>(std::lround(((c >> s) & 0xFF) * f)) << s;
  return out;
}

uint32_t Over(uint32_t dst, uint32_t src) { return src + Scale(dst, 1 - (src >> 24) / 255.0); }

void Shadow(const Filter& f, double scale, Canvas& layer, double distance) {
  double angle = f.angle;
  int dx = static_cast<int>(std::lround(std::cos(angle) * distance * scale));
  int dy = static_cast<int>(std::lround(std::sin(angle) * distance * scale));
  Canvas shadow = ColoredAlpha(layer, f.color, f.strength, f.inner);
  BoxBlur(shadow, f.blurX * scale, f.blurY * scale, std::max(f.passes, 1));
  shadow = Shifted(shadow, dx, dy);
  for (size_t i = 0; i < layer.pixels.size(); ++i) {
    uint32_t src = layer.pixels[i];
    double sa = (src >> 24) / 255.0;
    uint32_t s = shadow.pixels[i];
    if (f.inner) {
      s = Scale(s, sa);  // inside the object only
      layer.pixels[i] = f.knockout ? s : (f.compositeSource ? Over(src, s) : s);
    } else {
      if (f.knockout) s = Scale(s, 1 - sa);
      layer.pixels[i] = f.knockout || !f.compositeSource ? s : Over(s, src);
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

}  // namespace

void BoxBlur(Canvas& layer, double widthX, double widthY, int passes) {
  int wx = static_cast<int>(std::lround(std::clamp(widthX, 0.0, 255.0)));
  int wy = static_cast<int>(std::lround(std::clamp(widthY, 0.0, 255.0)));
  std::vector<uint32_t> scratch;
  for (int pass = 0; pass < std::min(passes, 15); ++pass) {
    if (wx > 1)
      for (int y = 0; y < layer.height; ++y) BoxLine(layer.Row(y), layer.width, 1, wx, scratch);
    if (wy > 1)
      for (int x = 0; x < layer.width; ++x) BoxLine(layer.pixels.data() + x, layer.height, layer.width, wy, scratch);
  }
}

void ApplyFilter(const Filter& f, double scale, Canvas& layer) {
  switch (f.kind) {
    case FilterKind::Blur: BoxBlur(layer, f.blurX * scale, f.blurY * scale, std::max(f.passes, 1)); break;
    case FilterKind::DropShadow: Shadow(f, scale, layer, f.distance); break;
    case FilterKind::Glow: Shadow(f, scale, layer, 0); break;
    case FilterKind::ColorMatrix: ColorMatrix(f.colorMatrix, layer); break;
    default: break;
  }
}

}  // namespace velmora::swf
