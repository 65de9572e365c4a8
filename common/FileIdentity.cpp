#include "common/FileIdentity.h"

#include "common/Handles.h"
#include "common/PathText.h"
#include "common/WinText.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace velmora {
namespace {

// FileIdInfo and its record, from Windows 8 on (the headers give them only
// to programs that need that version).
constexpr auto kFileIdInfo = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);
struct FileIdRecord {
  ULONGLONG volumeSerialNumber;
  BYTE fileId[16];
};

// A handle for asking about a file or folder, without reading it; links
// followed.
UniqueFile OpenForQuery(const std::string& path) {
  return UniqueFile(::CreateFileW(SystemPath(path).c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

}  // namespace

std::optional<FileIdentity> IdentityOf(const std::string& path) {
  const UniqueFile file = OpenForQuery(path);
  if (!file) return std::nullopt;
  FileIdentity identity;
  // The 128-bit id where the system has it (ReFS needs all of it), the
  // 64-bit index of every version otherwise.
  FileIdRecord record{};
  if (::GetFileInformationByHandleEx(file.get(), kFileIdInfo, &record, sizeof record)) {
    identity.volume = record.volumeSerialNumber;
    std::memcpy(identity.id.data(), record.fileId, sizeof record.fileId);
    return identity;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
  identity.volume = info.dwVolumeSerialNumber;
  const uint64_t index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  std::memcpy(identity.id.data(), &index, sizeof index);
  return identity;
}

std::string FinalPathOf(const std::string& path) {
  const UniqueFile file = OpenForQuery(path);
  if (!file) return {};
  std::vector<wchar_t> text(MAX_PATH);
  for (;;) {
    const DWORD n = ::GetFinalPathNameByHandleW(file.get(), text.data(),
                                                static_cast<DWORD>(text.size()), FILE_NAME_NORMALIZED);
    if (n == 0) return {};
    if (n < text.size()) {
      std::string final = Utf8(std::wstring_view(text.data(), n));
      if (final.rfind("\\\\?\\UNC\\", 0) == 0) return "\\\\" + final.substr(8);
      if (final.rfind("\\\\?\\", 0) == 0) return final.substr(4);
      return final;
    }
    text.resize(n + 1);
  }
}

bool FolderHolds(const std::string& outer, const std::string& inner) {
  const std::optional<FileIdentity> folder = IdentityOf(outer);
  if (!folder) return false;
  std::vector<std::string> above = PathAndParents(inner);
  const std::vector<std::string> real = PathAndParents(FinalPathOf(inner));
  above.insert(above.end(), real.begin(), real.end());
  for (const std::string& candidate : above)
    if (IdentityOf(candidate) == folder) return true;
  return false;
}

}  // namespace velmora
