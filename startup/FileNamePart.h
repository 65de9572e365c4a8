#pragma once

#include <string>
#include <string_view>

namespace velmora {

// The text after the last backslash of a path, or the path itself when it
// has none.
std::string GetFileNamePart(std::string_view path);

}  // namespace velmora
