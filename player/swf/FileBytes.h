// Whole files read into memory, with a bound on their size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velmora::swf {

enum class FileRead { Ok, CannotOpen, TooLarge };

// Reading stops as soon as the file proves larger than `limit` bytes.
FileRead ReadFileBytes(const std::string& path, size_t limit, std::vector<uint8_t>& out);

}  // namespace velmora::swf
