#include "player/swf/FileBytes.h"

#include <cstdio>
#include <memory>

namespace velmora::swf {

FileRead ReadFileBytes(const std::string& path, size_t limit, std::vector<uint8_t>& out) {
  out.clear();
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!file) return FileRead::CannotOpen;
  uint8_t chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
    out.insert(out.end(), chunk, chunk + n);
    if (out.size() > limit) {
      out.clear();
      return FileRead::TooLarge;
    }
  }
  return FileRead::Ok;
}

}  // namespace velmora::swf
