#include "common/FileSystem.h"

#include "common/Handles.h"
#include "common/WinText.h"

#include <windows.h>

namespace velmora {
namespace {

bool IsAbsolute(const std::string& path) {
  return (path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/')) ||
         path.rfind("\\\\", 0) == 0;
}

// "C:\" or "\\server\share\" of an absolute path.
std::string VolumeRoot(const std::string& path) {
  if (path.rfind("\\\\", 0) != 0) return path.substr(0, 3);
  const size_t server = path.find('\\', 2);
  if (server == std::string::npos) return path + "\\";
  const size_t share = path.find('\\', server + 1);
  return share == std::string::npos ? path + "\\" : path.substr(0, share + 1);
}

DWORD Attributes(const std::string& path, DWORD& error) {
  const DWORD attributes = ::GetFileAttributesW(SystemPath(path).c_str());
  error = attributes == INVALID_FILE_ATTRIBUTES ? ::GetLastError() : ERROR_SUCCESS;
  return attributes;
}

}  // namespace

FileState QueryFile(const std::string& path) {
  if (!IsAbsolute(path)) return FileState::kUnknown;
  DWORD error = 0;
  const DWORD attributes = Attributes(path, error);
  if (attributes != INVALID_FILE_ATTRIBUTES)
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? FileState::kMissing : FileState::kFile;
  if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return FileState::kUnknown;
  // A missing folder on a drive that is not there (a stick taken out, a share
  // offline) says nothing about the file.
  DWORD rootError = 0;
  const DWORD root = Attributes(VolumeRoot(path), rootError);
  return root != INVALID_FILE_ATTRIBUTES && (root & FILE_ATTRIBUTE_DIRECTORY)
             ? FileState::kMissing
             : FileState::kUnknown;
}

bool IsExistingFile(const std::string& path) {
  DWORD error = 0;
  const DWORD attributes = Attributes(path, error);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsExistingFolder(const std::string& path) {
  DWORD error = 0;
  const DWORD attributes = Attributes(path, error);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> ReadWholeFile(const std::string& path, uint64_t maxBytes) {
  const UniqueFile file(::CreateFileW(SystemPath(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !::GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
      static_cast<uint64_t>(size.QuadPart) > maxBytes)
    return std::nullopt;
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
    DWORD read = 0;
    if (!::ReadFile(file.get(), bytes.data() + done, chunk, &read, nullptr) || read == 0)
      return std::nullopt;
    done += read;
  }
  return bytes;
}

MappedFile::MappedFile(const std::string& path, uint64_t maxBytes)
    : file_(::CreateFileW(SystemPath(path).c_str(), GENERIC_READ,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {
  LARGE_INTEGER size{};
  if (!file_ || !::GetFileSizeEx(file_.get(), &size) || size.QuadPart <= 0 ||
      static_cast<uint64_t>(size.QuadPart) > maxBytes ||
      static_cast<uint64_t>(size.QuadPart) > SIZE_MAX)
    return;
  mapping_.reset(::CreateFileMappingW(file_.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
  if (!mapping_) return;
  view_.reset(::MapViewOfFile(mapping_.get(), FILE_MAP_READ, 0, 0, 0));
  if (view_) size_ = static_cast<size_t>(size.QuadPart);
}

bool ReplaceWholeFile(const std::string& path, const std::string& bytes) {
  const std::string temporary = path + ".new";
  const std::wstring temporaryPath = SystemPath(temporary);
  {
    const UniqueFile file(::CreateFileW(temporaryPath.c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    size_t done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
      DWORD written = 0;
      ok = ::WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) &&
           written == chunk;
      done += written;
    }
    // On disk before it takes the old file's place.
    ok = ok && ::FlushFileBuffers(file.get());
    if (!ok) {
      ::DeleteFileW(temporaryPath.c_str());  // what is left of it is of no use
      return false;
    }
  }
  if (!::MoveFileExW(temporaryPath.c_str(), SystemPath(path).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ::DeleteFileW(temporaryPath.c_str());
    return false;
  }
  return true;
}

std::string FileVersion(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(SystemPath(path).c_str(), GetFileExInfoStandard, &data)) return {};
  return std::to_string(data.nFileSizeHigh) + ":" + std::to_string(data.nFileSizeLow) + ":" +
         std::to_string(data.ftLastWriteTime.dwHighDateTime) + ":" +
         std::to_string(data.ftLastWriteTime.dwLowDateTime);
}

}  // namespace velmora
