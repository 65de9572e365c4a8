#include "settings/Registry.h"

#include "common/Handles.h"
#include "common/WinText.h"

#include <vector>

namespace velmora {
namespace {

UniqueRegKey OpenKey(HKEY root, const std::string& subKey, REGSAM access) {
  UniqueRegKey key;
  if (::RegOpenKeyExW(root, Wide(subKey).c_str(), 0, access, key.put()) != ERROR_SUCCESS)
    key.release();
  return key;
}

UniqueRegKey CreateKey(HKEY root, const std::string& subKey) {
  UniqueRegKey key;
  if (::RegCreateKeyExW(root, Wide(subKey).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                        nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
    key.release();
  }
  return key;
}

}  // namespace

std::string GetRegString(HKEY root, const std::string& subKey, const std::string& valueName) {
  const UniqueRegKey key = OpenKey(root, subKey, KEY_QUERY_VALUE);
  if (!key) return {};
  const std::wstring name = Wide(valueName);
  DWORD type = 0;
  DWORD size = 0;
  if (::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ) {
    return {};
  }
  // The value may change between the two calls; ask again while it grows.
  std::vector<wchar_t> buffer;
  LONG status = ERROR_MORE_DATA;
  while (status == ERROR_MORE_DATA) {
    buffer.assign(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    status = ::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type,
                                reinterpret_cast<BYTE*>(buffer.data()), &size);
  }
  if (status != ERROR_SUCCESS || type != REG_SZ) return {};
  const std::wstring text(buffer.data(), size / sizeof(wchar_t));
  return Utf8(std::wstring_view(text).substr(0, text.find(L'\0')));
}

bool SaveRegString(HKEY root, const std::string& subKey, const std::string& valueName,
                   const std::string& value) {
  const UniqueRegKey key = CreateKey(root, subKey);
  if (!key) return false;
  const std::wstring data = Wide(value);
  return ::RegSetValueExW(key.get(), Wide(valueName).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

long GetRegLong(HKEY root, const std::string& subKey, const std::string& valueName) {
  const UniqueRegKey key = OpenKey(root, subKey, KEY_QUERY_VALUE);
  if (!key) return 0;
  DWORD type = 0;
  DWORD value = 0;
  DWORD size = sizeof value;
  if (::RegQueryValueExW(key.get(), Wide(valueName).c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof value) {
    return 0;
  }
  return static_cast<long>(static_cast<int32_t>(value));
}

bool SaveRegLong(HKEY root, const std::string& subKey, const std::string& valueName, long value) {
  const UniqueRegKey key = CreateKey(root, subKey);
  if (!key) return false;
  const DWORD data = static_cast<DWORD>(value);
  return ::RegSetValueExW(key.get(), Wide(valueName).c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&data), sizeof data) == ERROR_SUCCESS;
}

void DeleteRegValue(HKEY root, const std::string& subKey, const std::string& valueName) {
  const UniqueRegKey key = OpenKey(root, subKey, KEY_SET_VALUE);
  if (key) ::RegDeleteValueW(key.get(), Wide(valueName).c_str());
}

}  // namespace velmora
