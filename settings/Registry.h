// Small registry helpers; text is UTF-8. A key or value that cannot be read
// gives the empty text or 0.
#pragma once

#include <windows.h>

#include <string>

namespace velmora {

// The program's own key under HKEY_CURRENT_USER (its values:
// settings/ProgramValues), and the one of the places remembered per layer size.
inline constexpr const char* kProgramRegKey = "Software\\Velmora";
inline constexpr const char* kLayoutsRegKey = "Software\\Velmora\\Layouts";

// A REG_SZ value up to its first NUL; any other type, a missing key or a
// missing value gives "".
std::string GetRegString(HKEY root, const std::string& subKey, const std::string& valueName);

// Creates or opens the key and writes a REG_SZ value; false when it failed.
bool SaveRegString(HKEY root, const std::string& subKey, const std::string& valueName,
                   const std::string& value);

// A REG_DWORD value; anything else gives 0.
long GetRegLong(HKEY root, const std::string& subKey, const std::string& valueName);

// Creates or opens the key and writes a REG_DWORD value; false when it failed.
bool SaveRegLong(HKEY root, const std::string& subKey, const std::string& valueName, long value);

// Deletes a value; a missing value or key is not an error.
void DeleteRegValue(HKEY root, const std::string& subKey, const std::string& valueName);

}  // namespace velmora
