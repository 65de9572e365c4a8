// Where the program's files are: its own directory, never the working one.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

// The directory of the running executable (UTF-8), without a trailing
// backslash.
std::string AppDirectory();

// AppDirectory() + "\" + name.
std::string AppFile(std::string_view name);

}  // namespace velmora
