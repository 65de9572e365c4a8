// Small text helpers for names and paths that every part uses.
#pragma once

#include <string>
#include <string_view>

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

}  // namespace velmora
