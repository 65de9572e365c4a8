#include "settings/MediaLists.h"

#include "common/AppPaths.h"
#include "settings/EntryList.h"
#include "settings/IniFile.h"
#include "startup/DesktopHost.h"

namespace velmora {

void PruneMediaList(const std::string& iniPath, const std::string& section,
                    const std::string& appDirectory) {
  const std::string list = GetIniString(iniPath, section, "Path", "");
  const PruneResult pruned =
      PruneEntryList(list, section, appDirectory, IsExistingFile, DispatchPendingMessages);
  WriteIniString(iniPath, section, "Path", pruned.list);
}

}  // namespace velmora
