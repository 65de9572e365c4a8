#include "iconlayer/ItemOpening.h"

#include "common/DesktopHost.h"
#include "common/WinText.h"

#include <shellapi.h>

namespace velmora {

void RunOpenCommand(HWND owner, const OpenCommand& command) {
  const BusyPointer busy;
  const std::wstring verb = Wide(command.verb), file = Wide(command.file),
                     parameters = Wide(command.parameters), directory = Wide(command.directory);
  ::ShellExecuteW(owner, verb.c_str(), file.c_str(), parameters.c_str(),
                  directory.empty() ? nullptr : directory.c_str(), command.show);
}

}  // namespace velmora
