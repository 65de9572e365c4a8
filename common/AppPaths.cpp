#include "common/AppPaths.h"

#include <windows.h>

#include <vector>

namespace velmora {

std::string AppDirectory() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) {
      std::string path(buffer.data(), n);
      const size_t slash = path.rfind('\\');
      return slash == std::string::npos ? std::string() : path.substr(0, slash);
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::string AppFile(std::string_view name) {
  std::string path = AppDirectory();
  path += '\\';
  path += name;
  return path;
}

std::string IniPath() { return AppFile("Wallpaper.ini"); }

bool IsExistingFile(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace velmora
