#include "settings/MediaLists.h"

#include "common/FileSystem.h"
#include "settings/EntryList.h"
#include "settings/IniFile.h"
#include "settings/SettingsModel.h"

namespace velmora {

int PruneMediaList(const std::string& iniPath, const std::string& section,
                   const std::string& appDirectory, const std::function<void()>& beforeEach) {
  // Both lists are kept under the same key name in their sections.
  const std::string key = KeyOf(MediaPathKey(MediaList::kFlash)).name;
  const std::string list = GetIniString(iniPath, section, key, "");
  const auto missing = [](const std::string& path) { return QueryFile(path) == FileState::kMissing; };
  const PruneResult pruned = PruneEntryList(list, section, appDirectory, missing, beforeEach);
  // An unchanged list is not written: a failed write can then never cost it.
  if (pruned.removed == 0) return 0;
  return WriteIniString(iniPath, section, key, pruned.list) ? pruned.removed : 0;
}

}  // namespace velmora
