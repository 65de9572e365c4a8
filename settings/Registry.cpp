#include "settings/Registry.h"

#include "common/Handles.h"

#include <vector>

namespace velmora {
namespace {

UniqueRegKey OpenKey(HKEY root, const std::string& subKey, REGSAM access) {
  UniqueRegKey key;
  if (::RegOpenKeyExA(root, subKey.c_str(), 0, access, key.put()) != ERROR_SUCCESS) key.release();
  return key;
}

UniqueRegKey CreateKey(HKEY root, const std::string& subKey) {
  UniqueRegKey key;
  if (::RegCreateKeyExA(root, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                        nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
    key.release();
  }
  return key;
}

}  // namespace

std::string GetRegString(HKEY root, const std::string& subKey, const std::string& valueName) {
  const UniqueRegKey key = OpenKey(root, subKey, KEY_QUERY_VALUE);
  if (!key) return {};
  DWORD type = 0;
  DWORD size = 0;
  if (::RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ) {
    return {};
  }
  // The value may change between the two calls; ask again while it grows.
  std::vector<char> buffer;
  LONG status = ERROR_MORE_DATA;
  while (status == ERROR_MORE_DATA) {
    buffer.assign(size + 1, '\0');
    size = static_cast<DWORD>(buffer.size() - 1);
    status = ::RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type,
                                reinterpret_cast<BYTE*>(buffer.data()), &size);
  }
  if (status != ERROR_SUCCESS || type != REG_SZ) return {};
  const std::string text(buffer.data(), size);
  return text.substr(0, text.find('\0'));
}

void SaveRegString(HKEY root, const std::string& subKey, const std::string& valueName,
                   const std::string& value) {
  const UniqueRegKey key = CreateKey(root, subKey);
  if (!key) return;
  ::RegSetValueExA(key.get(), valueName.c_str(), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(value.c_str()), static_cast<DWORD>(value.size()));
}

long GetRegLong(HKEY root, const std::string& subKey, const std::string& valueName) {
  const UniqueRegKey key = OpenKey(root, subKey, KEY_QUERY_VALUE);
  if (!key) return 0;
  DWORD type = 0;
  DWORD value = 0;
  DWORD size = sizeof value;
  if (::RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof value) {
    return 0;
  }
  return static_cast<long>(static_cast<int32_t>(value));
}

void SaveRegLong(HKEY root, const std::string& subKey, const std::string& valueName, long value) {
  const UniqueRegKey key = CreateKey(root, subKey);
  if (!key) return;
  const DWORD data = static_cast<DWORD>(value);
  ::RegSetValueExA(key.get(), valueName.c_str(), 0, REG_DWORD,
                   reinterpret_cast<const BYTE*>(&data), sizeof data);
}

void DeleteRegValue(HKEY root, const std::string& subKey, const std::string& valueName) {
  const UniqueRegKey key = OpenKey(root, subKey, KEY_SET_VALUE);
  if (key) ::RegDeleteValueA(key.get(), valueName.c_str());
}

}  // namespace velmora
