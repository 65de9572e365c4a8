#include "player/CanvasPng.h"

#include "player/Paint.h"
#include "player/StbImage.h"

#include <vector>

namespace velmora::swf {

bool SaveCanvasPng(const Canvas& canvas, const std::string& path) {
  std::vector<uint8_t> rgba(canvas.pixels.size() * 4);
  for (size_t i = 0; i < canvas.pixels.size(); ++i) {
    uint32_t p = canvas.pixels[i];
    uint32_t a = p >> 24;
    auto unmul = [a](uint32_t c) { return a ? static_cast<uint8_t>(std::min<uint32_t>(255, (c * 255 + a / 2) / a)) : 0; };
    rgba[4 * i] = unmul((p >> 16) & 0xFF);
    rgba[4 * i + 1] = unmul((p >> 8) & 0xFF);
    rgba[4 * i + 2] = unmul(p & 0xFF);
    rgba[4 * i + 3] = static_cast<uint8_t>(a);
  }
  return WritePng(path, canvas.width, canvas.height, rgba.data());
}

bool LoadCanvasPng(const std::string& path, Canvas& canvas) {
  StbPicture picture;
  if (!LoadPictureFile(path, picture)) return false;
  canvas.Resize(picture.width, picture.height);
  for (size_t i = 0; i < canvas.pixels.size(); ++i) {
    const uint8_t* p = &picture.rgba[4 * i];
    canvas.pixels[i] = PremultipliedArgb({p[0], p[1], p[2], p[3]});
  }
  return true;
}

}  // namespace velmora::swf
