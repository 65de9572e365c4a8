// Small text helpers for names and paths that every part uses.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// The text after the last backslash of a path, or the path itself when it
// has none.
std::string GetFileNamePart(std::string_view path);

// The folder part of a path (before its last backslash), or "".
std::string ParentFolder(std::string_view path);

// The text after the last "." of a name (the whole name when it has none).
std::string ExtensionOf(std::string_view name);

// ASCII letters in lower case; other characters as they are.
std::string ToLower(std::string_view text);

// Whether the system takes a file name for a device ("aux.lnk", "COM1.txt",
// "nul", "lpt1 .log", "CONOUT$"): the part before the first "." or ":",
// without trailing blanks, is a reserved device name. Opened under its plain
// path such a name reaches the device, not the file.
bool IsReservedDeviceName(std::string_view name);

// A path and every folder above it, the path first, the root last ("C:\"
// or "\\server\share\" with its backslash). The "\\?\" and
// "\\?\UNC\" forms are given as plain paths. Empty for a relative path.
std::vector<std::string> PathAndParents(std::string_view path);

}  // namespace velmora
