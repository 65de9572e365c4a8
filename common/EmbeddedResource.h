// The files built into the executable (RCDATA resources).
#pragma once

#include <optional>
#include <string>

namespace velmora {

// The bytes of an RCDATA resource of this executable, or nullopt.
std::optional<std::string> EmbeddedResource(int id);

}  // namespace velmora
