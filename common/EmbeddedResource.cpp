#include "common/EmbeddedResource.h"

#include <windows.h>

namespace velmora {

std::optional<std::string> EmbeddedResource(int id) {
  const HRSRC info = ::FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));
  if (!info) return std::nullopt;
  const HGLOBAL loaded = ::LoadResource(nullptr, info);  // not freed: part of the image
  const void* data = loaded ? ::LockResource(loaded) : nullptr;
  if (!data) return std::nullopt;
  return std::string(static_cast<const char*>(data), ::SizeofResource(nullptr, info));
}

}  // namespace velmora
