#include "shell/DropCommands.h"

#include "common/FileSystem.h"
#include "common/FolderTree.h"
#include "common/Handles.h"
#include "common/PathText.h"
#include "common/WinText.h"

#include <shlobj.h>
#include <shobjidl.h>

namespace velmora {
namespace {

// The system's words for an error.
std::string Reason(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD n = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  const UniqueLocal owned(text);
  std::string reason = n ? Utf8(std::wstring_view(text, n)) : "error " + std::to_string(error);
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' '))
    reason.pop_back();
  return reason;
}

// A folder moved: renamed on its own drive; across drives copied, the copy
// checked against the source, and only then the source removed.
DWORD MoveTree(const std::string& from, const std::string& to) {
  if (::MoveFileExW(SystemPath(from).c_str(), SystemPath(to).c_str(), MOVEFILE_WRITE_THROUGH))
    return ERROR_SUCCESS;
  const DWORD error = ::GetLastError();
  if (error != ERROR_NOT_SAME_DEVICE) return error;
  if (const DWORD copied = CopyTree(from, to)) return copied;
  if (!(MeasureTree(from) == MeasureTree(to))) {
    RemoveTree(to);
    return ERROR_WRITE_FAULT;
  }
  RemoveTree(from);
  return ERROR_SUCCESS;
}

}  // namespace

bool CreateDesktopShortcut(const std::string& link, const std::string& description,
                           const std::string& target) {
  ComPtr<IShellLinkW> shortcut;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(shortcut.put()))))
    return false;
  // A shortcut holds paths of up to MAX_PATH characters only: a longer
  // target is refused rather than cut.
  if (FAILED(shortcut->SetPath(Wide(target).c_str()))) return false;
  shortcut->SetDescription(Wide(description).c_str());
  const size_t slash = target.rfind('\\');
  shortcut->SetWorkingDirectory(Wide(slash == std::string::npos ? "" : target.substr(0, slash + 1)).c_str());
  const ComPtr<IPersistFile> file = QueryAs<IPersistFile>(shortcut.get(), IID_IPersistFile);
  return file && SUCCEEDED(file->Save(SystemPath(link).c_str(), TRUE));
}

DropOutcome CarryOutDrop(DropCommand command, const std::vector<std::string>& sources,
                         const std::string& desktop) {
  DropOutcome outcome;
  const std::vector<DropStep> steps = PlanDrop(
      command, sources, desktop, IsExistingFolder,
      [](const std::string& path) { return QueryFile(path) != FileState::kMissing; });
  for (const DropStep& step : steps) {
    const std::string name = GetFileNamePart(step.source).empty() ? step.source
                                                                  : GetFileNamePart(step.source);
    if (step.target.empty()) {
      if (!step.refusal.empty()) outcome.problems += name + ": " + step.refusal + "\n";
      continue;
    }
    DWORD error = ERROR_SUCCESS;
    const std::wstring from = SystemPath(step.source), to = SystemPath(step.target);
    switch (command) {
      case DropCommand::kCopy:
        if (step.folder)
          error = CopyTree(step.source, step.target);
        else if (!::CopyFileW(from.c_str(), to.c_str(), TRUE))
          error = ::GetLastError();
        break;
      case DropCommand::kMove:
        if (step.folder)
          error = MoveTree(step.source, step.target);
        else if (!::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH))
          error = ::GetLastError();
        break;
      case DropCommand::kShortcut:
        if (!CreateDesktopShortcut(step.target, "", step.source)) error = ERROR_CANNOT_MAKE;
        break;
    }
    if (error != ERROR_SUCCESS) {
      outcome.problems += name + ": " + Reason(error) + "\n";
      continue;
    }
    outcome.made.push_back(step.target);
    if (command == DropCommand::kMove && step.folder) outcome.folders.push_back(step.target);
  }
  return outcome;
}

}  // namespace velmora
