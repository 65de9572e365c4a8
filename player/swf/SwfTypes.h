// Value types shared by the movie parser, the timeline and the renderer.
// Coordinates in a movie are twips (1/20 pixel).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace velmora::swf {

struct Rgba {
  uint8_t r = 0, g = 0, b = 0, a = 255;
  bool operator==(const Rgba& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};

struct Point {
  double x = 0, y = 0;
};

struct Rect {
  int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;
  int32_t Width() const { return xMax - xMin; }
  int32_t Height() const { return yMax - yMin; }
};

// x' = a*x + c*y + tx, y' = b*x + d*y + ty (the movie's scale/rotate-skew order).
struct Matrix {
  double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

  Point Apply(Point p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }
  // This matrix applied after `inner`.
  Matrix operator*(const Matrix& inner) const {
    return {a * inner.a + c * inner.b, b * inner.a + d * inner.b,
            a * inner.c + c * inner.d, b * inner.c + d * inner.d,
            a * inner.tx + c * inner.ty + tx, b * inner.tx + d * inner.ty + ty};
  }
  double Determinant() const { return a * d - b * c; }
  // False (and identity) when the matrix collapses the plane.
  bool Invert(Matrix& out) const {
    double det = Determinant();
    if (det == 0 || !(det == det)) {
      out = Matrix{};
      return false;
    }
    out.a = d / det;
    out.b = -b / det;
    out.c = -c / det;
    out.d = a / det;
    out.tx = -(out.a * tx + out.c * ty);
    out.ty = -(out.b * tx + out.d * ty);
    return true;
  }
  static Matrix Scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
  static Matrix Translate(double x, double y) { return {1, 0, 0, 1, x, y}; }
  // Scales, then rotates clockwise on screen by `radians`, then moves by (x, y).
  static Matrix ScaleRotateTranslate(double sx, double sy, double radians, double x, double y) {
    const double cosine = std::cos(radians), sine = std::sin(radians);
    return {sx * cosine, sx * sine, -sy * sine, sy * cosine, x, y};
  }
};

// Channel' = Channel * mult / 256 + add, clamped to 0..255.
struct ColorTransform {
  int32_t rMult = 256, gMult = 256, bMult = 256, aMult = 256;
  int32_t rAdd = 0, gAdd = 0, bAdd = 0, aAdd = 0;

  // Alpha multiplied by `factor` (1 = unchanged), to the nearest 1/256.
  static ColorTransform Alpha(double factor) {
    ColorTransform t;
    t.aMult = static_cast<int32_t>(std::llround(factor * 256.0));
    return t;
  }

  bool operator==(const ColorTransform& o) const {
    return rMult == o.rMult && gMult == o.gMult && bMult == o.bMult && aMult == o.aMult && rAdd == o.rAdd &&
           gAdd == o.gAdd && bAdd == o.bAdd && aAdd == o.aAdd;
  }
  bool IsIdentity() const {
    return rMult == 256 && gMult == 256 && bMult == 256 && aMult == 256 && rAdd == 0 &&
           gAdd == 0 && bAdd == 0 && aAdd == 0;
  }
  static uint8_t Channel(int32_t v, int32_t mult, int32_t add) {
    int32_t out = ((v * mult) >> 8) + add;
    return static_cast<uint8_t>(std::clamp(out, 0, 255));
  }
  Rgba Apply(Rgba c) const {
    return {Channel(c.r, rMult, rAdd), Channel(c.g, gMult, gAdd), Channel(c.b, bMult, bAdd),
            Channel(c.a, aMult, aAdd)};
  }
  // This transform applied after `inner`.
  ColorTransform operator*(const ColorTransform& inner) const {
    ColorTransform out;
    out.rMult = (rMult * inner.rMult) >> 8;
    out.gMult = (gMult * inner.gMult) >> 8;
    out.bMult = (bMult * inner.bMult) >> 8;
    out.aMult = (aMult * inner.aMult) >> 8;
    out.rAdd = ((inner.rAdd * rMult) >> 8) + rAdd;
    out.gAdd = ((inner.gAdd * gMult) >> 8) + gAdd;
    out.bAdd = ((inner.bAdd * bMult) >> 8) + bAdd;
    out.aAdd = ((inner.aAdd * aMult) >> 8) + aAdd;
    return out;
  }
};

// A straight colour as premultiplied 0xAARRGGBB.
inline uint32_t PremultipliedArgb(Rgba c) {
  auto mul = [&c](uint32_t v) { return (v * c.a + 127) / 255; };
  return (static_cast<uint32_t>(c.a) << 24) | (mul(c.r) << 16) | (mul(c.g) << 8) | mul(c.b);
}

// The straight colour of a premultiplied one (black where it is transparent).
inline Rgba StraightColor(uint32_t p) {
  const uint32_t a = p >> 24;
  auto unmul = [a](uint32_t c) {
    return static_cast<uint8_t>(a ? std::min<uint32_t>(255, (c * 255 + a / 2) / a) : 0);
  };
  return {unmul((p >> 16) & 0xFF), unmul((p >> 8) & 0xFF), unmul(p & 0xFF), static_cast<uint8_t>(a)};
}

// A colour transform applied to a premultiplied colour.
inline uint32_t TransformPremultiplied(uint32_t p, const ColorTransform& cx) {
  if ((p >> 24) == 0 && cx.aAdd <= 0) return 0;
  return PremultipliedArgb(cx.Apply(StraightColor(p)));
}

}  // namespace velmora::swf
