#include "pictures/PictureScaler.h"

#include <algorithm>

namespace velmora {

PictureScaler::PictureScaler(uint32_t sourceWidth, uint32_t sourceHeight, uint32_t width,
                             uint32_t height)
    : sourceWidth_(sourceWidth),
      sourceHeight_(sourceHeight),
      width_(std::min(width, sourceWidth)),
      height_(std::min(height, sourceHeight)),
      column_(sourceWidth),
      sums_(static_cast<size_t>(width_) * 4),
      counts_(width_),
      out_(static_cast<size_t>(width_) * height_ * 4, 0) {
  for (uint32_t x = 0; x < sourceWidth_; ++x)
    column_[x] = static_cast<uint32_t>(static_cast<uint64_t>(x) * width_ / sourceWidth_);
}

void PictureScaler::EmitUpTo(uint32_t targetRow) {
  while (currentRow_ < targetRow && currentRow_ < height_) {
    uint8_t* out = &out_[static_cast<size_t>(currentRow_) * width_ * 4];
    for (uint32_t x = 0; x < width_; ++x, out += 4) {
      const uint64_t* s = &sums_[4 * static_cast<size_t>(x)];
      const uint64_t count = counts_[x];
      if (count == 0 || s[3] == 0) continue;  // nothing, or all transparent
      for (int c = 0; c < 3; ++c) out[c] = static_cast<uint8_t>((s[c] + s[3] / 2) / s[3]);
      out[3] = static_cast<uint8_t>((s[3] + count / 2) / count);
    }
    std::fill(sums_.begin(), sums_.end(), 0);
    std::fill(counts_.begin(), counts_.end(), 0);
    ++currentRow_;
  }
}

void PictureScaler::AddRow(uint32_t y, const uint8_t* rgba) {
  if (y >= sourceHeight_ || width_ == 0 || height_ == 0) return;
  const uint32_t target = static_cast<uint32_t>(static_cast<uint64_t>(y) * height_ / sourceHeight_);
  if (target < currentRow_) return;  // rows out of order are not taken
  EmitUpTo(target);
  for (uint32_t x = 0; x < sourceWidth_; ++x, rgba += 4) {
    const uint32_t tx = column_[x];
    uint64_t* s = &sums_[4 * static_cast<size_t>(tx)];
    const uint64_t a = rgba[3];
    s[0] += rgba[0] * a;
    s[1] += rgba[1] * a;
    s[2] += rgba[2] * a;
    s[3] += a;
    ++counts_[tx];
  }
}

std::vector<uint8_t> PictureScaler::Finish() {
  EmitUpTo(height_);
  return std::move(out_);
}

}  // namespace velmora
