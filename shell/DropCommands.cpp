#include "shell/DropCommands.h"

#include "common/FileIdentity.h"
#include "common/FileSystem.h"
#include "common/Handles.h"
#include "common/PathText.h"
#include "common/WinText.h"
#include "shell/DesktopScan.h"
#include "shell/DropTransfer.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <vector>

namespace velmora {
namespace {

// Whether anything (a file or a folder) has the name, or the name cannot be
// checked: a drop never takes a name it is not sure is free.
bool NameInUse(const std::string& path) {
  if (::GetFileAttributesW(SystemPath(path).c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  const DWORD error = ::GetLastError();
  return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

// The target as a shortcut can hold it: a shortcut keeps paths of fewer than
// MAX_PATH characters, so a longer one is given by its short form; "" when
// even that is too long (or the volume keeps no short names).
std::string StorableTarget(const std::string& target) {
  if (Wide(target).size() < MAX_PATH) return target;
  const std::wstring full = SystemPath(target);
  std::vector<wchar_t> text(full.size() + 1);
  const DWORD n = ::GetShortPathNameW(full.c_str(), text.data(), static_cast<DWORD>(text.size()));
  if (n == 0 || n >= text.size()) return {};
  std::wstring brief(text.data(), n);
  if (brief.rfind(L"\\\\?\\UNC\\", 0) == 0)
    brief = L"\\\\" + brief.substr(8);
  else if (brief.rfind(L"\\\\?\\", 0) == 0)
    brief = brief.substr(4);
  return brief.size() < MAX_PATH ? Utf8(brief) : std::string();
}

// Whether the shortcut saved at `file` leads to `target`, read back as any
// reader of it will.
bool LeadsTo(const std::string& file, const std::string& target, const std::string& stored) {
  const std::string read = GetShortcutProperty(file, "TARGET");
  if (read.empty()) return false;
  const auto there = IdentityOf(read), wanted = IdentityOf(target);
  if (there && wanted) return there == wanted;
  return ToLower(read) == ToLower(stored);
}

// The shortcut written under a temporary name, checked, then renamed.
std::string SaveShortcut(IShellLinkW* shortcut, const std::string& link, const std::string& target,
                         const std::string& stored) {
  const ComPtr<IPersistFile> file = QueryAs<IPersistFile>(shortcut, IID_IPersistFile);
  if (!file) return "The shortcut could not be written.";
  const std::string temporary =
      ParentFolder(link) + "\\~velmora-" + std::to_string(::GetCurrentProcessId()) + ".lnk.partial";
  const std::wstring temporaryPath = SystemPath(temporary);
  ::DeleteFileW(temporaryPath.c_str());  // a leftover of an earlier run of this process id
  if (FAILED(file->Save(temporaryPath.c_str(), TRUE))) {
    ::DeleteFileW(temporaryPath.c_str());
    return "The shortcut could not be written.";
  }
  if (!LeadsTo(temporary, target, stored)) {
    ::DeleteFileW(temporaryPath.c_str());
    return "A shortcut cannot hold this path; none was made.";
  }
  if (!::MoveFileExW(temporaryPath.c_str(), SystemPath(link).c_str(), MOVEFILE_WRITE_THROUGH)) {
    const DWORD error = ::GetLastError();
    ::DeleteFileW(temporaryPath.c_str());
    return ErrorText(error);
  }
  return {};
}

}  // namespace

std::string CreateDesktopShortcut(const std::string& link, const std::string& description,
                                  const std::string& target) {
  const std::string stored = StorableTarget(target);
  if (stored.empty()) return "Its path is too long for a shortcut; none was made.";
  ComPtr<IShellLinkW> shortcut;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(shortcut.put()))))
    return "The system's shortcut object is not available.";
  if (FAILED(shortcut->SetPath(Wide(stored).c_str())))
    return "A shortcut cannot hold this path; none was made.";
  shortcut->SetDescription(Wide(description).c_str());
  const size_t slash = stored.rfind('\\');
  shortcut->SetWorkingDirectory(Wide(slash == std::string::npos ? "" : stored.substr(0, slash + 1)).c_str());
  return SaveShortcut(shortcut.get(), link, target, stored);
}

DropOutcome CarryOutDrop(DropCommand command, const std::vector<std::string>& sources,
                         const std::string& desktop) {
  DropOutcome outcome;
  const std::vector<DropStep> steps = PlanDrop(
      command, sources, desktop, IsExistingFolder, NameInUse,
      [&](const std::string& folder) { return FolderHolds(folder, desktop); });
  for (const DropStep& step : steps) {
    const std::string name = GetFileNamePart(step.source).empty() ? step.source
                                                                  : GetFileNamePart(step.source);
    if (step.target.empty()) {
      if (!step.refusal.empty()) outcome.problems += name + ": " + step.refusal + "\n";
      continue;
    }
    std::string problem;
    switch (command) {
      case DropCommand::kCopy: problem = CopyItemTo(step.source, step.target, step.folder); break;
      case DropCommand::kMove: problem = MoveItemTo(step.source, step.target, step.folder); break;
      case DropCommand::kShortcut: problem = CreateDesktopShortcut(step.target, "", step.source); break;
    }
    if (!problem.empty()) {
      outcome.problems += name + ": " + problem + "\n";
      continue;
    }
    outcome.made.push_back(step.target);
    if (command == DropCommand::kMove && step.folder) outcome.folders.push_back(step.target);
  }
  return outcome;
}

}  // namespace velmora
