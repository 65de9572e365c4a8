// Sizes and file layouts of device-independent bitmaps, and the fitting of a
// picture into a box. Plain arithmetic shared by the surface class and its
// callers.
#pragma once

#include <cstdint>
#include <string>

namespace velmora {

// Bytes of one pixel row, padded to a multiple of 4.
int32_t BytesPerScanline(int32_t width, int32_t bitsPerPixel);

// Entries of the colour table: 2^bpp for 1, 4 and 8 bits, none otherwise.
int32_t PaletteEntries(int32_t bitsPerPixel);

// The 14-byte file header and 40-byte information header of a bottom-up BMP
// file with `paletteEntries` colour table entries and `imageSize` pixel bytes.
std::string BmpHeaders(int32_t width, int32_t height, int32_t bitsPerPixel,
                       int32_t paletteEntries, int32_t imageSize);

struct FitRect {
  int32_t left = 0, top = 0, width = 0, height = 0;
};

// Fits a picture of sw x sh into a box of bw x bh keeping its proportions,
// centred. A picture that already fits keeps its size unless `always`.
// Scaled sides are rounded to the nearest integer, halves to even; the
// offsets are truncated halves of the free space.
FitRect GetBestFitInfo(int32_t sw, int32_t sh, int32_t bw, int32_t bh, bool always);

}  // namespace velmora
