#include "shell/DropTransfer.h"

#include "common/FolderTree.h"
#include "common/Handles.h"
#include "common/PathText.h"
#include "common/WinText.h"

#include <windows.h>

namespace velmora {
namespace {

// The first name of the form "~velmora-<process>-<n>.partial" free in
// `folder`: short, whatever the item's own name, and never one of the user's.
std::string TemporaryNameIn(const std::string& folder) {
  static unsigned counter = 0;
  for (;;) {
    const std::string candidate = folder + "\\~velmora-" + std::to_string(::GetCurrentProcessId()) +
                                  "-" + std::to_string(++counter) + ".partial";
    // Taken only when something is there; any other answer (the folder
    // gone) is the copy's to report.
    if (::GetFileAttributesW(SystemPath(candidate).c_str()) == INVALID_FILE_ATTRIBUTES)
      return candidate;
  }
}

// Why a folder cannot be copied as it is: it holds a link, which would be
// copied as what it leads to (and, after a move, removed there).
std::string LinkRefusal(const std::string& folder) {
  const std::string link = FindLinkInside(folder);
  if (link.empty()) return {};
  return "It holds a link to another place (" + link +
         "), which is not copied or moved with it; nothing was done.";
}

// The whole item under a temporary name first, then renamed to `target`
// (never over an existing one). On any failure nothing is left behind.
std::string CopyWhole(const std::string& source, const std::string& target, bool folder) {
  if (folder)
    if (std::string refusal = LinkRefusal(source); !refusal.empty()) return refusal;
  const std::string temporary = TemporaryNameIn(ParentFolder(target));
  const DWORD copied = folder ? CopyTree(source, temporary) : CopyWholeFile(source, temporary);
  if (copied != ERROR_SUCCESS) return ErrorText(copied);
  if (!::MoveFileExW(SystemPath(temporary).c_str(), SystemPath(target).c_str(),
                     MOVEFILE_WRITE_THROUGH)) {
    const DWORD error = ::GetLastError();
    RemoveTree(temporary);
    return ErrorText(error);
  }
  return {};
}

}  // namespace

std::string ErrorText(unsigned long error) {
  if (error == kErrorLinkInside)
    return "It holds a link to another place, which is not copied or moved with it; nothing was done.";
  if (error == kErrorCopyInsideItself) return "The desktop lies inside this folder.";
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

std::string CopyItemTo(const std::string& source, const std::string& target, bool folder) {
  return CopyWhole(source, target, folder);
}

std::string MoveItemTo(const std::string& source, const std::string& target, bool folder) {
  // On one drive a move is a rename: links move as links, nothing is copied.
  if (::MoveFileExW(SystemPath(source).c_str(), SystemPath(target).c_str(), MOVEFILE_WRITE_THROUGH))
    return {};
  const DWORD error = ::GetLastError();
  if (error != ERROR_NOT_SAME_DEVICE) return ErrorText(error);
  // Across drives a link would be copied as what it shows and then removed.
  if (IsLink(source))
    return "It is a link to another place and is not moved across drives; nothing was done.";
  if (std::string problem = CopyWhole(source, target, folder); !problem.empty()) return problem;
  // The copy is whole and checked: the source may go. What cannot be removed
  // stays; both are then on disk and nothing is lost.
  if (!RemoveTree(source))
    return "It was copied to the desktop, but not all of it could be removed from where it was.";
  return {};
}

}  // namespace velmora
