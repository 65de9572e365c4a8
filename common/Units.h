#pragma once

#include <cstdint>

namespace velmora {

// The DPI the program's measures are given at (100 %).
inline constexpr int kBaseDpi = 96;

// `pixels` at 96 DPI as pixels at `dpi`, to the nearest (halves away from 0).
inline constexpr int32_t ScaleToDpi(int32_t pixels, int dpi) {
  const int64_t scaled = static_cast<int64_t>(pixels) * dpi;
  return static_cast<int32_t>(scaled >= 0 ? (scaled + kBaseDpi / 2) / kBaseDpi
                                          : -((-scaled + kBaseDpi / 2) / kBaseDpi));
}

// Window positions are kept in twips: 1440 to the inch, so 15 to a pixel at
// 96 DPI and fewer at a higher DPI.
inline constexpr long kTwipsPerInch = 1440;
inline constexpr long kTwipsPerPixel = 15;  // at 96 DPI

// Pixels at `dpi` in twips, rounded up so that TwipsToPixels gives the same
// pixels back at any DPI.
inline constexpr long PixelsToTwips(long pixels, int dpi) {
  return dpi > 0 ? (pixels * kTwipsPerInch + dpi - 1) / dpi : pixels * kTwipsPerPixel;
}
// Twips in whole pixels at `dpi` (the part of a pixel dropped).
inline constexpr long TwipsToPixels(long twips, int dpi) {
  return dpi > 0 ? twips * dpi / kTwipsPerInch : twips / kTwipsPerPixel;
}

}  // namespace velmora
