// Pictures for the tests of the faces and the skin: random templates, their
// columns compared, the program's own art.
#pragma once

#include "controls/RgbPicture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>

namespace velmora::test {

// A template of distinct random pixels, so that any misplaced copy shows.
inline RgbPicture Noise(int32_t w, int32_t h, uint32_t seed) {
  std::mt19937 random(seed);
  RgbPicture p(w, h);
  for (uint32_t& px : p.pixels) px = random() & 0xFFFFFF;
  return p;
}

// Whether the column x of `out` between rows y0 and y1 is the template's
// column sx between the same rows.
inline bool SameColumn(const RgbPicture& out, int32_t x, const RgbPicture& in, int32_t sx, int32_t y0, int32_t y1) {
  for (int32_t y = y0; y < y1; ++y)
    if (out.At(x, y) != in.At(sx, y)) return false;
  return true;
}

// One of the program's own pictures from resources/.
inline RgbPicture Art(const std::string& name) {
  std::ifstream file(std::string(VELMORA_SOURCE_DIR) + "/resources/" + name, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const std::optional<RgbPicture> picture = DecodeRgbPicture(bytes);
  EXPECT_TRUE(picture) << name;
  return picture.value_or(RgbPicture());
}

}  // namespace velmora::test
