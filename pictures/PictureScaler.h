// Takes a picture's rows top to bottom and makes a smaller picture of them
// on the way: each target pixel is the mean of the source pixels it covers,
// colours weighted by their alpha. Holds one row of sums, never the source.
#pragma once

#include <cstdint>
#include <vector>

namespace velmora {

class PictureScaler {
 public:
  // Target size at most the source size in each direction.
  PictureScaler(uint32_t sourceWidth, uint32_t sourceHeight, uint32_t width, uint32_t height);

  // Source row y (rows come top to bottom, each once).
  void AddRow(uint32_t y, const uint8_t* rgba);

  // The target picture; rows never added count as transparent.
  std::vector<uint8_t> Finish();

 private:
  void EmitUpTo(uint32_t targetRow);

  uint32_t sourceWidth_, sourceHeight_, width_, height_;
  std::vector<uint32_t> column_;  // target column of each source column
  std::vector<uint64_t> sums_;    // per target pixel: r*a, g*a, b*a, a
  std::vector<uint32_t> counts_;  // source pixels per target pixel of the current row
  uint32_t currentRow_ = 0;       // target row being summed
  std::vector<uint8_t> out_;
};

}  // namespace velmora
