#include "player/render/CanvasPng.h"

#include "pictures/PictureDecoder.h"
#include "pictures/PngWriter.h"
#include "player/render/Paint.h"
#include "player/swf/FileBytes.h"

#include <vector>

namespace velmora::swf {

std::vector<uint8_t> StraightRgbaBytes(const Canvas& canvas) {
  std::vector<uint8_t> rgba(canvas.pixels.size() * 4);
  for (size_t i = 0; i < canvas.pixels.size(); ++i) {
    const Rgba c = StraightColor(canvas.pixels[i]);
    rgba[4 * i] = c.r;
    rgba[4 * i + 1] = c.g;
    rgba[4 * i + 2] = c.b;
    rgba[4 * i + 3] = c.a;
  }
  return rgba;
}

bool SaveCanvasPng(const Canvas& canvas, const std::string& path) {
  return WritePng(path, canvas.width, canvas.height, StraightRgbaBytes(canvas).data());
}

bool LoadCanvasPng(const std::string& path, Canvas& canvas) {
  std::vector<uint8_t> bytes;
  DecodedPicture picture;
  if (ReadFileBytes(path, 0x7FFFFFFF, bytes) != FileRead::Ok ||
      !DecodePicture(bytes.data(), bytes.size(), uint64_t{1} << 28, picture))
    return false;
  canvas.Resize(static_cast<int>(picture.width), static_cast<int>(picture.height));
  for (size_t i = 0; i < canvas.pixels.size(); ++i) {
    const uint8_t* p = &picture.rgba[4 * i];
    canvas.pixels[i] = PremultipliedArgb({p[0], p[1], p[2], p[3]});
  }
  return true;
}

}  // namespace velmora::swf
