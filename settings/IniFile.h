// Reading and writing single keys of a private-profile (.ini) file, kept in
// the form it is in (settings/IniEncoding: ANSI, turning into UTF-16 once a
// value needs characters the ANSI code page lacks; UTF-8 with or without its
// mark; UTF-16). Text is UTF-8 on both sides.
//
// The file is never held open: every call opens and closes it. Section and
// key names match without regard to case. A write replaces the whole file
// safely and changes only the one line; values of any length survive.
#pragma once

#include <string>

namespace velmora {

// The stored value, or `defaultValue` when the key or the file is absent.
// A key present with nothing after "=" gives the empty text. Values of any
// length are returned whole.
std::string GetIniString(const std::string& fileName, const std::string& section,
                         const std::string& key, const std::string& defaultValue);

// Writes one key, only when its value differs; creates the file and section
// when needed. A failed write leaves the file as it was and returns false,
// as does a change that would lose bytes of the file that could not be read.
bool WriteIniString(const std::string& fileName, const std::string& section,
                    const std::string& key, const std::string& value);

}  // namespace velmora
