// How a picture decoder hands over what it decoded: first the size, then the
// rows top to bottom, each once, as straight-alpha RGBA bytes.
#pragma once

#include <cstdint>
#include <functional>

namespace velmora {

struct PictureSink {
  // The size of what will be decoded; false refuses it (too large), and the
  // decoder stops.
  std::function<bool(uint32_t width, uint32_t height)> begin;
  // Row y (0 at the top) of `width` RGBA pixels.
  std::function<void(uint32_t y, const uint8_t* rgba)> row;
};

}  // namespace velmora
