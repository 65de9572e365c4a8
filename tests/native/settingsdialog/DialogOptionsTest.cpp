// The settings dialog's options apart from the system: shown from the
// stored settings, the keys each page writes, the message of a failed save.
#include "settingsdialog/DialogOptions.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace velmora {
namespace {

struct FakeIni {
  std::map<std::string, std::string> values;  // "SECTION/key"
  StoredValue Reader() const {
    return [this](std::string_view s, std::string_view k) -> std::optional<std::string> {
      const auto found = values.find(std::string(s) + "/" + std::string(k));
      if (found == values.end()) return std::nullopt;
      return found->second;
    };
  }
};

DialogOptions LoadDialogOptions(const StoredValue& read) { return DialogOptionsFrom(ReadSettings(read)); }

// A key an apply writes, as the file gets it.
struct IniWrite {
  std::string section, key, value;
  bool operator==(const IniWrite& o) const {
    return section == o.section && key == o.key && value == o.value;
  }
};

std::vector<IniWrite> Writes(const SettingsChange& change) {
  std::vector<IniWrite> writes;
  for (const SettingId id : change.keys)
    writes.push_back({KeyOf(id).section, KeyOf(id).name, SettingText(change.settings, id)});
  return writes;
}

TEST(DialogOptions, AFreshFileOpensWithTheDefaults) {
  const DialogOptions o = LoadDialogOptions(FakeIni{}.Reader());
  EXPECT_TRUE(o.startup && o.iconDisplay && o.imageViewer);
  EXPECT_FALSE(o.iconFader);
  EXPECT_EQ(o.quality, 1);
  EXPECT_EQ(o.movieSize, 0);
  EXPECT_EQ(o.flashColour, 0xFFFFFFu);
  EXPECT_FALSE(o.loop);
  EXPECT_EQ(o.speed, 30);
  EXPECT_EQ(o.interval, 10);  // 5000 ms
  EXPECT_EQ(o.location, 0);
  EXPECT_EQ(o.slideColour, 0u);
  EXPECT_FALSE(o.backgroundImage);
  EXPECT_FALSE(o.interleave);
}

TEST(DialogOptions, StoredValuesAndHandEditedOnes) {
  FakeIni ini;
  ini.values = {{"IMAGE/Intervalvalue", "50000"}, {"FLASH/Quality", "0"}, {"FLASH/Moviesize", "7"},
                {"MAIN/isIconfader", "1"}, {"MAIN/Iconfadervalue", "150"}, {"IMAGE/Speedvalue", "fast"},
                {"IMAGE/Backcolor", "255"}, {"MAIN/Startup", "0"}};
  const DialogOptions o = LoadDialogOptions(ini.Reader());
  EXPECT_EQ(o.interval, 100);
  EXPECT_EQ(o.quality, 0);
  EXPECT_EQ(o.movieSize, 0);  // no entry 7: the default stays
  EXPECT_TRUE(o.iconFader);
  EXPECT_EQ(o.iconFaderValue, "150");
  EXPECT_EQ(o.speed, 30);  // not a number
  EXPECT_EQ(o.slideColour, 255u);
  EXPECT_FALSE(o.startup);
  // The fader's value is read only with the fader on.
  ini.values["MAIN/isIconfader"] = "0";
  EXPECT_EQ(LoadDialogOptions(ini.Reader()).iconFaderValue, "255");
}

TEST(DialogOptions, IntervalStepsOf500RoundedTiesToEven) {
  EXPECT_EQ(StoredInterval(65), 32500);
  EXPECT_EQ(StoredInterval(100), 50000);
  EXPECT_EQ(IntervalSteps(50000), 100);
  EXPECT_EQ(IntervalSteps(750), 2);   // 1.5 -> 2
  EXPECT_EQ(IntervalSteps(1250), 2);  // 2.5 -> 2
  EXPECT_EQ(IntervalSteps(1251), 3);
  EXPECT_EQ(IntervalSteps(1749), 3);
  EXPECT_EQ(IntervalSteps(0), 0);
}

TEST(DialogOptions, EachPageWritesItsOwnKeys) {
  ApplyState s;
  s.options.interval = 65;
  s.page = SettingsPage::kFlash;
  // Nothing before a page was chosen.
  EXPECT_TRUE(Writes(ApplyWrites(s)).empty());
  s.pageChosen = true;
  s.currentFlash = "Demo.swf|C:\\V\\Flashs\\*";
  std::vector<std::string> keys;
  for (const IniWrite& w : Writes(ApplyWrites(s))) keys.push_back(w.section + "/" + w.key);
  EXPECT_EQ(keys, (std::vector<std::string>{"MAIN/WallInx", "FLASH/CurFlash", "FLASH/Quality",
                                            "FLASH/Moviesize", "FLASH/BackgroundColor",
                                            "FLASH/LoopCheck", "FLASH/MaxFrameRate",
                                            "FLASH/MouseToMovie"}));
  EXPECT_EQ(Writes(ApplyWrites(s))[0], (IniWrite{"MAIN", "WallInx", "1"}));
  // No selected movie: the stored one stays.
  s.currentFlash.reset();
  for (const IniWrite& w : Writes(ApplyWrites(s))) EXPECT_NE(w.key, "CurFlash");
  // The Slide Show page.
  s.page = SettingsPage::kSlide;
  keys.clear();
  for (const IniWrite& w : Writes(ApplyWrites(s))) keys.push_back(w.section + "/" + w.key);
  EXPECT_EQ(keys, (std::vector<std::string>{"MAIN/WallInx", "IMAGE/Speedvalue", "IMAGE/Intervalvalue",
                                            "IMAGE/Location", "IMAGE/Backcolor", "IMAGE/BgCheck",
                                            "IMAGE/ImageBgfile", "IMAGE/IlCheck"}));  // empty list: no Path
  EXPECT_EQ(Writes(ApplyWrites(s))[2].value, "32500");
  s.slidePath = "a.png|C:\\P\\*";
  EXPECT_EQ(Writes(ApplyWrites(s)).back(), (IniWrite{"IMAGE", "Path", "a.png|C:\\P\\*"}));
  // The Advanced page writes its keys only after a change, and no WallInx.
  s.page = SettingsPage::kAdvanced;
  EXPECT_TRUE(Writes(ApplyWrites(s)).empty());
  s.advancedChanged = true;
  s.options.startup = false;
  keys.clear();
  for (const IniWrite& w : Writes(ApplyWrites(s))) keys.push_back(w.key + "=" + w.value);
  EXPECT_EQ(keys, (std::vector<std::string>{"Imageviewer=1", "Icondisp=1", "isIconfader=0",
                                            "Iconfadervalue=255", "Startup=0", "BatteryRest=1"}));
  s.page = SettingsPage::kHelp;
  EXPECT_EQ(Writes(ApplyWrites(s)).size(), 6u);
}

std::vector<std::string> KeysOf(const std::vector<IniWrite>& writes) {
  std::vector<std::string> keys;
  for (const IniWrite& w : writes) keys.push_back(w.section + "/" + w.key);
  return keys;
}

TEST(DialogOptions, EveryChangedPageIsWrittenWithOrWithoutAPageButton) {
  // The page the dialog opens on, changed and confirmed at once.
  ApplyState s;
  s.advancedChanged = true;
  s.options.iconFader = true;
  s.options.iconFaderValue = "100";
  std::vector<IniWrite> writes = Writes(ApplyWrites(s));
  EXPECT_EQ(KeysOf(writes), (std::vector<std::string>{"MAIN/Imageviewer", "MAIN/Icondisp",
                                                      "MAIN/isIconfader", "MAIN/Iconfadervalue",
                                                      "MAIN/Startup", "MAIN/BatteryRest"}));
  EXPECT_EQ(writes[2].value, "1");
  EXPECT_EQ(writes[3].value, "100");
  // A slide change, then the Advanced page chosen and confirmed: both
  // pages, and no WallInx (not confirmed on a wallpaper's page).
  s.pageChosen = true;
  s.page = SettingsPage::kAdvanced;
  s.slideChanged = true;
  s.slidePath = "a.png|C:\\P\\*";
  writes = Writes(ApplyWrites(s));
  ASSERT_EQ(writes.size(), 6u + 8u);
  EXPECT_EQ(writes[6].key, "Speedvalue");
  EXPECT_EQ(writes.back().key, "Path");
  for (const IniWrite& w : writes) EXPECT_NE(w.key, "WallInx");
  EXPECT_TRUE(AppliesPage(s, SettingsPage::kSlide));
  EXPECT_FALSE(AppliesPage(s, SettingsPage::kFlash));
  // Confirmed on the Flash page after a slide change: WallInx 1, the Flash
  // keys, the slide keys; the Advanced ones only while changed.
  s.page = SettingsPage::kFlash;
  s.advancedChanged = false;
  writes = Writes(ApplyWrites(s));
  EXPECT_EQ(writes[0], (IniWrite{"MAIN", "WallInx", "1"}));
  EXPECT_EQ(writes.size(), 1u + 6u + 8u);  // no movie selected: no CurFlash
  EXPECT_EQ(writes[1].key, "Quality");
  EXPECT_EQ(writes[5].key, "MaxFrameRate");
  EXPECT_EQ(writes[6].key, "MouseToMovie");
  EXPECT_EQ(writes[7].key, "Speedvalue");
  // A Flash change with no page button pressed at all: the Flash keys only.
  ApplyState flash;
  flash.flashChanged = true;
  flash.currentFlash = "Demo.swf|C:\\V\\Flashs\\*";
  EXPECT_EQ(KeysOf(Writes(ApplyWrites(flash))),
            (std::vector<std::string>{"FLASH/CurFlash", "FLASH/Quality", "FLASH/Moviesize",
                                      "FLASH/BackgroundColor", "FLASH/LoopCheck", "FLASH/MaxFrameRate",
                                            "FLASH/MouseToMovie"}));
  // Nothing changed and no page chosen: nothing, whatever the controls hold.
  ApplyState untouched;
  untouched.options.iconFader = true;
  untouched.slidePath = "a.png|C:\\P\\*";
  EXPECT_TRUE(Writes(ApplyWrites(untouched)).empty());
  for (SettingsPage page : {SettingsPage::kFlash, SettingsPage::kSlide, SettingsPage::kAdvanced,
                            SettingsPage::kHelp})
    EXPECT_FALSE(AppliesPage(untouched, page));
}

TEST(DialogOptions, TheSaveFailureSaysWhatFailedAndWhyWhenKnown) {
  const std::string plain = SaveFailedText(SaveProblem::kUnknown);
  EXPECT_EQ(plain.rfind("The settings could not be saved to Wallpaper.ini.", 0), 0u);
  std::set<std::string> texts{plain};
  for (SaveProblem why : {SaveProblem::kFolderInTheWay, SaveProblem::kReadOnly, SaveProblem::kDiskFull}) {
    const std::string text = SaveFailedText(why);
    EXPECT_EQ(text.rfind("The settings could not be saved to Wallpaper.ini.", 0), 0u);
    EXPECT_GT(text.size(), plain.size());  // the reason is added
    texts.insert(text);
  }
  EXPECT_EQ(texts.size(), 4u);
}

TEST(DialogOptions, TheMonitorsChoiceShownAndWrittenWhenItDiffers) {
  FakeIni ini;
  EXPECT_EQ(LoadDialogOptions(ini.Reader()).monitors, 0);  // "Each monitor"
  ini.values = {{"MAIN/Monitors", "1"}};
  EXPECT_EQ(LoadDialogOptions(ini.Reader()).monitors, 1);  // "Span"
  ini.values = {{"MAIN/Monitors", "9"}};
  EXPECT_EQ(LoadDialogOptions(ini.Reader()).monitors, 0);  // not offered: the default
  // A change on the Advanced page writes the choice after the page's keys,
  // and only when it is not what the file holds.
  ApplyState s;
  s.advancedChanged = true;
  s.options.monitors = 1;
  std::vector<IniWrite> writes = Writes(ApplyWrites(s));
  ASSERT_FALSE(writes.empty());
  EXPECT_EQ(writes.back(), (IniWrite{"MAIN", "Monitors", "1"}));
  Settings stored;
  stored.main.monitorSpread = 1;
  writes = Writes(ApplyWrites(s, stored));
  for (const IniWrite& w : writes) EXPECT_NE(w.key, "Monitors");
  s.options.monitors = 0;
  writes = Writes(ApplyWrites(s, stored));
  EXPECT_EQ(writes.back(), (IniWrite{"MAIN", "Monitors", "0"}));
  // Not written at all without a change on that page.
  s.advancedChanged = false;
  for (const IniWrite& w : Writes(ApplyWrites(s, stored))) EXPECT_NE(w.key, "Monitors");
}

}  // namespace
}  // namespace velmora
