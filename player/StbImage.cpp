#include "player/StbImage.h"

#include "player/FileBytes.h"

#include <cstdio>
#include <cstring>
#include <memory>

#define STBI_ONLY_JPEG
#define STBI_ONLY_PNG
#define STBI_ONLY_GIF
#define STBI_NO_STDIO
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

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

bool LoadPicture(const uint8_t* data, size_t size, StbPicture& out) {
  if (size == 0 || size > 0x7FFFFFFF) return false;
  int w = 0, h = 0, channels = 0;
  // Refuse a damaged header's giant size before any pixel memory is taken.
  if (!stbi_info_from_memory(data, static_cast<int>(size), &w, &h, &channels)) return false;
  if (w <= 0 || h <= 0 || static_cast<int64_t>(w) * h > 16LL * 1024 * 1024) return false;
  stbi_uc* pixels = stbi_load_from_memory(data, static_cast<int>(size), &w, &h, &channels, 4);
  if (!pixels) return false;
  out.width = w;
  out.height = h;
  out.rgba.assign(pixels, pixels + static_cast<size_t>(w) * h * 4);
  stbi_image_free(pixels);
  return true;
}

bool LoadPictureFile(const std::string& path, StbPicture& out) {
  std::vector<uint8_t> bytes;
  // LoadPicture refuses anything bigger than 0x7FFFFFFF bytes anyway.
  if (ReadFileBytes(path, 0x7FFFFFFF, bytes) != FileRead::Ok) return false;
  return LoadPicture(bytes.data(), bytes.size(), out);
}

bool WritePng(const std::string& path, int width, int height, const uint8_t* rgba) {
  std::vector<uint8_t> encoded;
  if (!stbi_write_png_to_func(AppendToVector, &encoded, width, height, 4, rgba, width * 4)) return false;
  std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) return false;
  return std::fwrite(encoded.data(), 1, encoded.size(), file.get()) == encoded.size();
}

}  // namespace velmora::swf
