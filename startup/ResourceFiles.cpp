#include "startup/ResourceFiles.h"

#include "common/Handles.h"
#include "resources/ResourceIds.h"

#include <windows.h>

namespace velmora {

const std::vector<ResourceFile>& RefreshedResourceFiles() {
  static const std::vector<ResourceFile> files = {
      {"\\0011.bak", "\\Blank.png", IDR_BLANK_PNG},
      {"\\0012.bak", "\\Imageviewer.png", IDR_IMAGEVIEWER_PNG},
      {"\\0013.bak", "\\Shortcut.png", IDR_SHORTCUT_PNG},
      {"\\0015.bak", "\\Blank.swf", IDR_BLANK_SWF},
  };
  return files;
}

namespace {

std::optional<std::string> ReadWholeFile(const std::string& path) {
  const UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart > (64 << 20)) return std::nullopt;
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!bytes.empty() &&
      (!::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
       read != bytes.size())) {
    return std::nullopt;
  }
  return bytes;
}

// Writes to a temporary file beside the destination and moves it over, so a
// failed write never leaves a half-written picture behind.
bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  const std::string temporary = path + ".new";
  {
    UniqueFile file(::CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    if (!::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) ||
        written != bytes.size()) {
      file.reset();
      ::DeleteFileA(temporary.c_str());
      return false;
    }
  }
  if (!::MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    ::DeleteFileA(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace

std::optional<std::string> EmbeddedResource(int id) {
  const HRSRC info = ::FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));
  if (!info) return std::nullopt;
  const HGLOBAL loaded = ::LoadResource(nullptr, info);  // not freed: part of the image
  const void* data = loaded ? ::LockResource(loaded) : nullptr;
  if (!data) return std::nullopt;
  return std::string(static_cast<const char*>(data), ::SizeofResource(nullptr, info));
}

ResourceSource InstalledOrEmbeddedSource(const std::string& sourceDirectory) {
  return [sourceDirectory](const ResourceFile& file) -> std::optional<std::string> {
    if (auto installed = ReadWholeFile(sourceDirectory + file.sourceName)) return installed;
    return EmbeddedResource(file.embeddedId);
  };
}

int RefreshResourceFiles(const ResourceSource& source, const std::string& appDirectory) {
  int written = 0;
  for (const ResourceFile& file : RefreshedResourceFiles()) {
    const std::optional<std::string> bytes = source(file);
    if (bytes && WriteWholeFile(appDirectory + file.destinationName, *bytes)) ++written;
  }
  return written;
}

}  // namespace velmora
