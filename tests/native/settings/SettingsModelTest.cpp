// The typed settings: every key's default and range through the text the
// file holds, the keys that keep their last value on a bad one, and the
// stored set the dialog asks about.
#include "common/MonitorLayout.h"
#include "settings/SettingsModel.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace velmora {
namespace {

using Id = SettingId;

// A file's keys by "SECTION/name".
StoredValue Holding(const std::map<std::string, std::string>& values) {
  return [values](std::string_view section, std::string_view key) -> std::optional<std::string> {
    const auto found = values.find(std::string(section) + "/" + std::string(key));
    if (found == values.end()) return std::nullopt;
    return found->second;
  };
}

std::string Name(Id id) { return std::string(KeyOf(id).section) + "/" + KeyOf(id).name; }

std::vector<Id> AllKeys() {
  std::vector<Id> ids;
  for (size_t i = 0; i < kSettingCount; ++i) ids.push_back(static_cast<Id>(i));
  return ids;
}

TEST(SettingsModel, TheTableNamesEachKeyOnceWithTheDefaultsReadersPass) {
  std::set<std::string> names;
  for (const Id id : AllKeys()) {
    EXPECT_EQ(KeyOf(id).id, id);
    EXPECT_TRUE(names.insert(Name(id)).second) << Name(id);
  }
  EXPECT_EQ(names.size(), 24u);  // with MaxFrameRate, BatteryRest, Monitors and MouseToMovie
  // A fresh installation without the file.
  const Settings s = ReadSettings(Holding({}));
  EXPECT_EQ(s.main.wallpaperMode, 0);
  EXPECT_TRUE(s.main.imageViewer);
  EXPECT_TRUE(s.main.iconDisplay);
  EXPECT_FALSE(s.main.iconFader);
  EXPECT_EQ(s.main.iconOpacity, 0);
  EXPECT_TRUE(s.main.startup);
  EXPECT_TRUE(s.main.batteryRest);  // the movie rests on battery saver unless told otherwise
  EXPECT_EQ(s.main.monitorSpread, kEachMonitor);
  EXPECT_EQ(s.flash.backgroundColour, 16777215);
  EXPECT_EQ(s.flash.scaleMode, 0);
  EXPECT_EQ(s.flash.quality, 1);
  EXPECT_EQ(s.flash.maxFrameRate, 60);
  EXPECT_TRUE(s.flash.mouseToMovie);  // the pointer reaches the movie unless told otherwise
  EXPECT_FALSE(ReadSettings(Holding({{"FLASH/MouseToMovie", "0"}})).flash.mouseToMovie);
  EXPECT_EQ(s.image.interval, 5000);
  EXPECT_EQ(s.image.speed, 30);
  EXPECT_EQ(s.image.location, 0);
  EXPECT_EQ(s.image.backColour, 16744576);
  EXPECT_FALSE(s.image.withPicture);
  EXPECT_EQ(s.flash.list, "");
  EXPECT_EQ(s.image.list, "");
  for (const Id id : AllKeys()) EXPECT_FALSE(s.Stored(id)) << Name(id);
  // The defaults of a struct made without a file are the same.
  for (const Id id : AllKeys()) EXPECT_EQ(SettingText(Settings(), id), SettingText(s, id)) << Name(id);
}

TEST(SettingsModel, EveryDefaultAndEveryRangeEndRoundTripsThroughTheFile) {
  for (const Id id : AllKeys()) {
    const SettingKey& key = KeyOf(id);
    // The default as written reads back as the default.
    const Settings defaults;
    const std::string written = SettingText(defaults, id);
    const Settings back = ReadSettings(Holding({{Name(id), written}}));
    EXPECT_TRUE(back.Stored(id)) << Name(id);
    EXPECT_EQ(SettingText(back, id), written) << Name(id);
    if (key.kind != SettingKind::kText) {
      EXPECT_EQ(written, key.defaultText) << Name(id);
    }
    if (key.kind != SettingKind::kNumber) continue;
    // Both ends of the range are in it and come back as they were written.
    for (const long end : {key.low, key.high}) {
      EXPECT_TRUE(InRange(id, end)) << Name(id) << " " << end;
      EXPECT_EQ(SettingText(ReadSettings(Holding({{Name(id), std::to_string(end)}})), id),
                std::to_string(end))
          << Name(id);
    }
    EXPECT_LT(key.low, key.high) << Name(id);
    EXPECT_TRUE(InRange(id, std::stol(key.defaultText))) << Name(id);
    EXPECT_FALSE(InRange(id, key.low - 1)) << Name(id);
    EXPECT_FALSE(InRange(id, key.high + 1)) << Name(id);
    EXPECT_EQ(ClampToRange(id, key.high + 1000), key.high) << Name(id);
    EXPECT_EQ(ClampToRange(id, key.low - 1000), key.low) << Name(id);
  }
  EXPECT_EQ(KeyOf(Id::kIconfadervalue).high, 255);
  EXPECT_EQ(KeyOf(Id::kSpeedvalue).high, 200);
  EXPECT_EQ(KeyOf(Id::kIntervalvalue).high, 50000);
}

TEST(SettingsModel, FlagsNumbersAndTextsAsTheReadersConvertThem) {
  const Settings s = ReadSettings(Holding({{"MAIN/Imageviewer", "10"},
                                           {"MAIN/Icondisp", "0"},
                                           {"MAIN/isIconfader", "1"},
                                           {"MAIN/Iconfadervalue", " 150px"},
                                           {"MAIN/WallInx", "-2"},
                                           {"IMAGE/Path", "a.png|images*"},
                                           {"IMAGE/ImageBgfile", " C:\\a b.png"},
                                           {"FLASH/LoopCheck", "7"}}));
  EXPECT_TRUE(s.main.imageViewer);  // the first character only
  EXPECT_FALSE(s.main.iconDisplay);
  EXPECT_TRUE(s.main.iconFader);
  EXPECT_EQ(s.main.iconOpacity, 150);  // the leading number
  EXPECT_EQ(s.main.wallpaperMode, -2);
  EXPECT_EQ(s.image.list, "a.png|images*");
  EXPECT_EQ(s.image.pictureFile, " C:\\a b.png");  // texts as they are
  EXPECT_FALSE(s.flash.loop);  // a flag is on only for "1"
  EXPECT_EQ(SettingText(s, Id::kImageviewer), "1");
  EXPECT_EQ(SettingText(s, Id::kIcondisp), "0");
  EXPECT_EQ(SettingText(s, Id::kIconfadervalue), "150");
  EXPECT_EQ(SettingText(s, Id::kWallInx), "-2");
  EXPECT_EQ(SettingText(s, Id::kImageBgfile), " C:\\a b.png");
  EXPECT_EQ(std::string(MediaSection(MediaList::kFlash)), "FLASH");
  EXPECT_EQ(std::string(MediaSection(MediaList::kImage)), "IMAGE");
  EXPECT_EQ(MediaPathKey(MediaList::kImage), Id::kImagePath);
}

TEST(SettingsModel, TheMonitorsKeySpansOrRepeatsAndABadValueKeepsTheLast) {
  EXPECT_EQ(std::string(KeyOf(Id::kMonitors).section), "MAIN");
  EXPECT_EQ(std::string(KeyOf(Id::kMonitors).name), "Monitors");
  const Settings span = ReadSettings(Holding({{"MAIN/Monitors", "1"}}));
  EXPECT_EQ(span.main.monitorSpread, kSpanMonitors);
  EXPECT_EQ(SettingText(span, Id::kMonitors), "1");
  // What the wallpaper shows stays while the file holds no number.
  EXPECT_EQ(ReadSettings(Holding({{"MAIN/Monitors", "wide"}}), span).main.monitorSpread, kSpanMonitors);
  EXPECT_EQ(ReadSettings(Holding({{"MAIN/Monitors", "0"}}), span).main.monitorSpread, kEachMonitor);
  EXPECT_FALSE(InRange(Id::kMonitors, 2));
}

TEST(SettingsModel, ABadValueKeepsWhatTheWallpaperShowsOrReadsAsTheDefault) {
  const Settings last = ReadSettings(Holding({{"FLASH/Moviesize", "2"},
                                              {"FLASH/Quality", "0"},
                                              {"IMAGE/Intervalvalue", "800"},
                                              {"IMAGE/Speedvalue", "90"},
                                              {"IMAGE/Backcolor", "255"},
                                              {"MAIN/Iconfadervalue", "90"},
                                              {"IMAGE/BgCheck", "1"},
                                              {"MAIN/Imageviewer", "0"}}));
  const Settings now = ReadSettings(Holding({{"FLASH/Moviesize", "wide"},
                                             {"FLASH/Quality", "best"},
                                             {"IMAGE/Intervalvalue", ""},
                                             {"IMAGE/Speedvalue", "fast"},
                                             {"IMAGE/Backcolor", "blue"},
                                             {"MAIN/Iconfadervalue", "half"},
                                             {"IMAGE/BgCheck", ""},
                                             {"MAIN/Imageviewer", "x"}}),
                                    last);
  // What the wallpaper shows stays as it was ...
  EXPECT_EQ(now.flash.scaleMode, 2);
  EXPECT_EQ(now.flash.quality, 0);
  EXPECT_EQ(now.image.interval, 800);
  EXPECT_EQ(now.image.speed, 90);
  EXPECT_EQ(now.image.backColour, 255);
  // ... the others read as their defaults: an empty BgCheck is no picture.
  EXPECT_EQ(now.main.iconOpacity, 0);
  EXPECT_FALSE(now.image.withPicture);
  EXPECT_TRUE(now.main.imageViewer);
  // Stored, though they did not convert.
  EXPECT_TRUE(now.Stored(Id::kSpeedvalue));
  EXPECT_FALSE(now.Stored(Id::kLocation));
  // Without an earlier read the default stands in for the last value.
  EXPECT_EQ(ReadSettings(Holding({{"IMAGE/Speedvalue", "fast"}})).image.speed, 30);
}

}  // namespace
}  // namespace velmora
