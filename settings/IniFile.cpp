#include "settings/IniFile.h"

#include <windows.h>

#include <vector>

namespace velmora {

std::string GetIniString(const std::string& fileName, const std::string& section,
                         const std::string& key, const std::string& defaultValue) {
  // The profile call cuts a value that does not fit and then reports
  // size - 1 characters; grow until the whole value fits, since a cut media
  // list written back would lose entries.
  std::vector<char> buffer(5000);
  for (;;) {
    const DWORD n = ::GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(),
                                               buffer.data(), static_cast<DWORD>(buffer.size()),
                                               fileName.c_str());
    if (n + 1 < buffer.size() || buffer.size() >= (1u << 26)) return std::string(buffer.data(), n);
    buffer.resize(buffer.size() * 4);
  }
}

void WriteIniString(const std::string& fileName, const std::string& section,
                    const std::string& key, const std::string& value) {
  ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), fileName.c_str());
}

}  // namespace velmora
