// Where the program's files are: its own directory, never the working one.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

// The directory of the running executable, without a trailing backslash.
std::string AppDirectory();

// AppDirectory() + "\" + name.
std::string AppFile(std::string_view name);

// The settings file, AppFile("Wallpaper.ini").
std::string IniPath();

// True when path names an existing file that is not a directory.
bool IsExistingFile(const std::string& path);

}  // namespace velmora
