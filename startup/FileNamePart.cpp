#include "startup/FileNamePart.h"

namespace velmora {

std::string GetFileNamePart(std::string_view path) {
  const size_t slash = path.rfind('\\');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace velmora
