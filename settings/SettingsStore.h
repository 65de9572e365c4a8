// Wallpaper.ini of the program's folder as the windows see it: the typed
// settings (settings/SettingsModel), read from the file only when it changed
// (settings/IniFile), and written key by key where a value differs.
#pragma once

#include "settings/SettingsModel.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace velmora {

// The settings file of a program folder.
std::string SettingsFilePath(const std::string& appDirectory);

class SettingsStore {
 public:
  explicit SettingsStore(std::string appDirectory);
  SettingsStore(const SettingsStore&) = delete;
  SettingsStore& operator=(const SettingsStore&) = delete;

  const std::string& FilePath() const { return path_; }
  const std::string& AppDirectory() const { return appDirectory_; }

  // The settings as the file holds them now. Cheap when the file did not
  // change: its stamp is looked at, nothing is read. The reference stays
  // valid until the next Read or Write.
  const Settings& Read();

  // Writes `keys` as `settings` holds them, each only when its stored text
  // differs, in one replacement of the file. False when any of them could
  // not be written (the others are).
  bool Write(const Settings& settings, const std::vector<SettingId>& keys);

  // Removes from a media list every entry whose file is certainly gone
  // (settings/MediaLists); how many were removed from the file.
  int PruneList(MediaList list, const std::function<void()>& beforeEach = {});

 private:
  std::string appDirectory_, path_;
  Settings settings_;
  uint64_t version_ = 0;  // of the file's content settings_ was read from
};

}  // namespace velmora
