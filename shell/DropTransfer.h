// One dropped file or folder put into the desktop folder under the name its
// drop step chose. The item is first made whole under a temporary name
// beside its target and renamed only then: a copy cut short (the desktop's
// drive full, a read error) never shows under the real name. A move across
// drives removes its source only after the copy is complete and checked.
// Links inside a folder are not followed: such a folder is refused.
#pragma once

#include <string>

namespace velmora {

// Each returns "" when the item arrived, else why not (for the drop's
// message).
std::string CopyItemTo(const std::string& source, const std::string& target, bool folder);
std::string MoveItemTo(const std::string& source, const std::string& target, bool folder);

// The system's words for an error (and the tree functions' own errors).
std::string ErrorText(unsigned long error);

}  // namespace velmora
