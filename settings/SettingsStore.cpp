#include "settings/SettingsStore.h"

#include "settings/IniFile.h"
#include "settings/MediaLists.h"

namespace velmora {

std::string SettingsFilePath(const std::string& appDirectory) {
  return appDirectory + "\\Wallpaper.ini";
}

SettingsStore::SettingsStore(std::string appDirectory)
    : appDirectory_(std::move(appDirectory)), path_(SettingsFilePath(appDirectory_)) {}

const Settings& SettingsStore::Read() {
  const std::shared_ptr<const IniSnapshot> file = ReadIniFile(path_);
  if (file->Version() != version_) {
    settings_ = ReadSettings(
        [&](std::string_view section, std::string_view key) { return file->Get(section, key); },
        settings_);
    version_ = file->Version();
  }
  return settings_;
}

bool SettingsStore::Write(const Settings& settings, const std::vector<SettingId>& keys) {
  std::vector<IniValue> values;
  for (const SettingId id : keys)
    values.push_back({KeyOf(id).section, KeyOf(id).name, SettingText(settings, id)});
  return WriteIniValues(path_, values);
}

int SettingsStore::PruneList(MediaList list, const std::function<void()>& beforeEach) {
  return PruneMediaList(path_, MediaSection(list), appDirectory_, beforeEach);
}

}  // namespace velmora
