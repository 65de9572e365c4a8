// A picture of plain RGB pixels, the form the drawn controls and the skins
// work in: templates decoded from the program's own files, faces and skins
// composed from them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

struct RgbPicture {
  int32_t width = 0, height = 0;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB, rows top to bottom

  RgbPicture() = default;
  RgbPicture(int32_t w, int32_t h, uint32_t fill = 0)
      : width(w), height(h), pixels(static_cast<size_t>(w) * static_cast<size_t>(h), fill) {}
  uint32_t At(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  uint32_t& At(int32_t x, int32_t y) { return pixels[static_cast<size_t>(y) * width + x]; }
  explicit operator bool() const { return width > 0 && height > 0; }
  bool operator==(const RgbPicture& o) const {
    return width == o.width && height == o.height && pixels == o.pixels;
  }
};

// A picture file (BMP, PNG, JPEG, GIF) as RGB, alpha dropped; nullopt when
// it cannot be decoded.
std::optional<RgbPicture> DecodeRgbPicture(std::string_view bytes);

// The picture as a 24-bit BMP file.
std::string EncodeBmp(const RgbPicture& picture);

}  // namespace velmora
