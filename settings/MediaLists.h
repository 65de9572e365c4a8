// The two media lists of the settings file, kept free of files that are gone.
#pragma once

#include <functional>
#include <string>

namespace velmora {

// Removes from `Path` of section "FLASH" or "IMAGE" every entry whose file is
// certainly missing (a file on a drive that cannot be reached now stays),
// calling `beforeEach` before each entry (the caller dispatches window
// messages there). The list is written back only when an entry was removed.
// Returns how many entries were removed from the file: none when the write
// failed (the file stays as it was).
int PruneMediaList(const std::string& iniPath, const std::string& section,
                   const std::string& appDirectory, const std::function<void()>& beforeEach = {});

}  // namespace velmora
