// Reading a small file without letting a read that does not come back hold
// the caller: the read runs on a thread of the system's pool and the caller
// waits for it only so long. Only a file on a disk is read: a device or a pipe that a
// name leads to (a shortcut named "aux.lnk" under its plain path, a FIFO
// under Wine) is refused, not waited on.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace velmora {

// How long a read of a desktop item may keep the window thread waiting.
inline constexpr std::chrono::milliseconds kItemReadPatience{2000};

// The whole file, or nullopt when it is not a file on a disk, is larger than
// `maxBytes`, cannot be read, or was not read within `patience`. A read that
// is given up on goes on alone and ends when the system lets it; while
// several are stuck so, further reads are refused at once.
std::optional<std::string> ReadSmallFileWithin(const std::string& path, uint64_t maxBytes,
                                               std::chrono::milliseconds patience);

}  // namespace velmora
