#include "player/PngWriter.h"

#include <cstdio>
#include <cstring>
#include <memory>

#define STBI_WRITE_NO_STDIO
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace velmora::swf {
namespace {

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};

void AppendToVector(void* context, void* data, int size) {
  auto* out = static_cast<std::vector<uint8_t>*>(context);
  auto* bytes = static_cast<uint8_t*>(data);
  out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

bool WritePng(const std::string& path, int width, int height, const uint8_t* rgba) {
  std::vector<uint8_t> encoded;
  if (!stbi_write_png_to_func(AppendToVector, &encoded, width, height, 4, rgba, width * 4)) return false;
  std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) return false;
  return std::fwrite(encoded.data(), 1, encoded.size(), file.get()) == encoded.size();
}

}  // namespace velmora::swf
