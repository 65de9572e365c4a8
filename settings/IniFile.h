// Reading and writing single keys of a private-profile (.ini) file.
//
// The file is never held open: every call opens and closes it. Section and
// key names match without regard to case. Neither helper reports failure.
#pragma once

#include <string>

namespace velmora {

// The stored value, or `defaultValue` when the key or the file is absent.
// A key present with nothing after "=" gives the empty text. Values of any
// length are returned whole.
std::string GetIniString(const std::string& fileName, const std::string& section,
                         const std::string& key, const std::string& defaultValue);

// Writes one key; creates the file and section when needed. A failed write
// leaves the file as it was, silently.
void WriteIniString(const std::string& fileName, const std::string& section,
                    const std::string& key, const std::string& value);

}  // namespace velmora
