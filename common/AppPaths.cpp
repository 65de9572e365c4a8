#include "common/AppPaths.h"

#include "common/WinText.h"

#include <windows.h>

#include <vector>

namespace velmora {

std::string AppDirectory() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) {
      std::string path = Utf8(std::wstring_view(buffer.data(), n));
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

}  // namespace velmora
