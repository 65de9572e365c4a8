#include "controls/RgbPicture.h"

#include "iconlayer/DibGeometry.h"
#include "pictures/PictureDecoder.h"

namespace velmora {

std::optional<RgbPicture> DecodeRgbPicture(std::string_view bytes) {
  // The control templates and skins are small; a larger picture is refused.
  constexpr uint64_t kMaxPixels = uint64_t{4096} * 4096;
  DecodedPicture decoded;
  if (!DecodePicture(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), kMaxPixels, decoded))
    return std::nullopt;
  RgbPicture picture(static_cast<int32_t>(decoded.width), static_cast<int32_t>(decoded.height));
  for (size_t i = 0; i < picture.pixels.size(); ++i) {
    const uint8_t* p = &decoded.rgba[i * 4];
    picture.pixels[i] = uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
  }
  return picture;
}

std::string EncodeBmp(const RgbPicture& picture) {
  const int32_t stride = BytesPerScanline(picture.width, 24);
  std::string bytes = BmpHeaders(picture.width, picture.height, 24, 0, stride * picture.height);
  std::string row(static_cast<size_t>(stride), '\0');
  for (int32_t y = picture.height - 1; y >= 0; --y) {  // bottom-up
    for (int32_t x = 0; x < picture.width; ++x) {
      const uint32_t p = picture.At(x, y);
      row[3 * x] = static_cast<char>(p & 0xFF);
      row[3 * x + 1] = static_cast<char>(p >> 8 & 0xFF);
      row[3 * x + 2] = static_cast<char>(p >> 16 & 0xFF);
    }
    bytes += row;
  }
  return bytes;
}

}  // namespace velmora
