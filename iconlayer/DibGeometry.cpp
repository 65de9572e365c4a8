#include "iconlayer/DibGeometry.h"

#include <cmath>

namespace velmora {
namespace {

void PutLe(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Rounds to the nearest integer, halves to the even neighbour.
int32_t RoundHalfEven(float value) {
  const float down = std::floor(value);
  const float fraction = value - down;
  int64_t result = static_cast<int64_t>(down);
  if (fraction > 0.5f || (fraction == 0.5f && (result % 2) != 0)) ++result;
  return static_cast<int32_t>(result);
}

}  // namespace

int32_t BytesPerScanline(int32_t width, int32_t bitsPerPixel) {
  return static_cast<int32_t>(((static_cast<int64_t>(width) * bitsPerPixel + 31) / 32) * 4);
}

int32_t PaletteEntries(int32_t bitsPerPixel) {
  return bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8 ? 1 << bitsPerPixel : 0;
}

std::string BmpHeaders(int32_t width, int32_t height, int32_t bpp, int32_t paletteEntries,
                       int32_t imageSize) {
  const uint32_t paletteBytes = static_cast<uint32_t>(paletteEntries) * 4;
  std::string out;
  out += "BM";
  PutLe(out, 14 + 40 + paletteBytes + static_cast<uint32_t>(imageSize), 4);
  PutLe(out, 0, 4);
  PutLe(out, 54 + paletteBytes, 4);
  PutLe(out, 40, 4);
  PutLe(out, static_cast<uint32_t>(width), 4);
  PutLe(out, static_cast<uint32_t>(height), 4);
  PutLe(out, 1, 2);
  PutLe(out, static_cast<uint32_t>(bpp), 2);
  out.append(24, '\0');  // compression, image size, resolutions, colours used/important
  return out;
}

FitRect GetBestFitInfo(int32_t sw, int32_t sh, int32_t bw, int32_t bh, bool always) {
  FitRect r;
  if (sw <= 0 || sh <= 0) return r;
  if (sw <= bw && sh <= bh && !always) {
    r.width = sw;
    r.height = sh;
  } else {
    const float rx = static_cast<float>(bw) / static_cast<float>(sw);
    const float ry = static_cast<float>(bh) / static_cast<float>(sh);
    if (rx < ry) {
      r.width = bw;
      r.height = RoundHalfEven(rx * static_cast<float>(sh));
    } else {
      r.height = bh;
      r.width = RoundHalfEven(ry * static_cast<float>(sw));
    }
  }
  r.left = (bw - r.width) / 2;
  r.top = (bh - r.height) / 2;
  return r;
}

}  // namespace velmora
