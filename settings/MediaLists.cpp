#include "settings/MediaLists.h"

#include "common/FileSystem.h"
#include "settings/EntryList.h"
#include "settings/IniFile.h"

namespace velmora {

int PruneMediaList(const std::string& iniPath, const std::string& section,
                   const std::string& appDirectory, const std::function<void()>& beforeEach) {
  const std::string list = GetIniString(iniPath, section, "Path", "");
  const auto missing = [](const std::string& path) { return QueryFile(path) == FileState::kMissing; };
  const PruneResult pruned = PruneEntryList(list, section, appDirectory, missing, beforeEach);
  // An unchanged list is not written: a failed write can then never cost it.
  if (pruned.removed == 0) return 0;
  return WriteIniString(iniPath, section, "Path", pruned.list) ? pruned.removed : 0;
}

}  // namespace velmora
