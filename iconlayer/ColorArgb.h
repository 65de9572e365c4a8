#pragma once

#include <cstdint>

namespace velmora {

// A GDI+ colour: alpha, red, green, blue from the high byte down (in memory:
// blue, green, red, alpha).
constexpr uint32_t ColorARGB(uint8_t alpha, uint8_t red, uint8_t green, uint8_t blue) {
  return (uint32_t{alpha} << 24) | (uint32_t{red} << 16) | (uint32_t{green} << 8) | blue;
}

}  // namespace velmora
