#include "common/FileSystem.h"

#include "common/Handles.h"
#include "common/SafeReplace.h"
#include "common/WinText.h"

#include <windows.h>

#include <algorithm>
#include <memory>

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

namespace {

// The steps of a safe replace (common/SafeReplace) on the system's files.
class SystemReplaceSteps : public ReplaceSteps {
 public:
  std::optional<std::string> Target(const std::string& path) override {
    DWORD error = 0;
    const DWORD attributes = Attributes(path, error);
    const bool link =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    // No access asked: the link (if it is one) is followed to the file.
    const UniqueFile file(::CreateFileW(
        SystemPath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    constexpr DWORD kForm = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
    const DWORD needed = file ? ::GetFinalPathNameByHandleW(file.get(), nullptr, 0, kForm) : 0;
    std::wstring final(needed, L'\0');
    const DWORD length =
        needed ? ::GetFinalPathNameByHandleW(file.get(), final.data(), needed, kForm) : 0;
    if (length == 0 || length >= needed) {
      if (link) return std::nullopt;  // its target is not there (or not reachable)
      return path;
    }
    final.resize(length);
    // "\\?\C:\..." and "\\?\UNC\server\..." in their plain forms (long
    // ones go back to the long form in SystemPath).
    if (final.rfind(L"\\\\?\\UNC\\", 0) == 0) return "\\\\" + Utf8(final.substr(8));
    if (final.rfind(L"\\\\?\\", 0) == 0) return Utf8(final.substr(4));
    return Utf8(final);
  }

  Kind KindOf(const std::string& path) override {
    DWORD error = 0;
    const DWORD attributes = Attributes(path, error);
    if (attributes == INVALID_FILE_ATTRIBUTES)
      return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Kind::kNothing
                                                                             : Kind::kUnknown;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return Kind::kFolder;
    return (attributes & FILE_ATTRIBUTE_READONLY) ? Kind::kReadOnlyFile : Kind::kFile;
  }

  std::unique_ptr<Output> Create(const std::string& path) override {
    UniqueFile file(::CreateFileW(SystemPath(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return nullptr;
    return std::make_unique<FileOutput>(std::move(file));
  }

  bool Remove(const std::string& path) override {
    return ::DeleteFileW(SystemPath(path).c_str()) != FALSE;
  }

  bool Move(const std::string& from, const std::string& to) override {
    return ::MoveFileExW(SystemPath(from).c_str(), SystemPath(to).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
  }

 private:
  class FileOutput : public Output {
   public:
    explicit FileOutput(UniqueFile file) : file_(std::move(file)) {}
    bool Write(std::string_view bytes) override {
      while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), kMaxChunk));
        DWORD written = 0;
        // A full disk may take part of a chunk and still report success.
        if (!::WriteFile(file_.get(), bytes.data(), chunk, &written, nullptr) || written != chunk)
          return false;
        bytes.remove_prefix(chunk);
      }
      return true;
    }
    bool Flush() override { return ::FlushFileBuffers(file_.get()) != FALSE; }

   private:
    static constexpr size_t kMaxChunk = size_t{1} << 30;
    UniqueFile file_;
  };
};

}  // namespace

bool ReplaceWholeFile(const std::string& path, const std::string& bytes) {
  SystemReplaceSteps steps;
  return ReplaceWholeFile(steps, path, bytes);
}

std::string FileVersion(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(SystemPath(path).c_str(), GetFileExInfoStandard, &data)) return {};
  return std::to_string(data.nFileSizeHigh) + ":" + std::to_string(data.nFileSizeLow) + ":" +
         std::to_string(data.ftLastWriteTime.dwHighDateTime) + ":" +
         std::to_string(data.ftLastWriteTime.dwLowDateTime);
}

StampState StampOf(const std::string& path, FileStamp& stamp) {
  // No read access asked: only what the system keeps about the file.
  const UniqueFile file(::CreateFileW(SystemPath(path).c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file) {
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? StampState::kNothingThere
                                                                           : StampState::kUnknown;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(file.get(), &info)) return StampState::kUnknown;
  stamp.volume = info.dwVolumeSerialNumber;
  stamp.index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  stamp.size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  stamp.lastWrite = (static_cast<uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                    info.ftLastWriteTime.dwLowDateTime;
  stamp.folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  return StampState::kStamped;
}

uint64_t FileTimeNow() {
  FILETIME now{};
  ::GetSystemTimeAsFileTime(&now);
  return (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

}  // namespace velmora
