// The two media lists of the settings file, kept free of files that are gone.
#pragma once

#include <string>

namespace velmora {

// Removes from `Path` of section "FLASH" or "IMAGE" every entry whose file
// does not exist, dispatching window messages before each entry, and writes
// the list back (also when nothing was removed).
void PruneMediaList(const std::string& iniPath, const std::string& section,
                    const std::string& appDirectory);

}  // namespace velmora
