#include "settingsdialog/DialogOptions.h"

#include "settings/SettingValues.h"

namespace velmora {
namespace {

bool Flag(const IniReader& read, const char* section, const char* key, const char* fallback,
          bool current) {
  return FlagOr(read(section, key, fallback), current ? 1 : 0) != 0;
}

long Number(const IniReader& read, const char* section, const char* key, const char* fallback,
            long current) {
  return NumberOr(read(section, key, fallback), current);
}

// A drop-down index: kept when the stored one is not among the entries.
int Index(const IniReader& read, const char* section, const char* key, const char* fallback,
          int current, int entries) {
  const long value = Number(read, section, key, fallback, current);
  return value >= 0 && value < entries ? static_cast<int>(value) : current;
}

std::string Decimal(long long value) { return std::to_string(value); }
std::string Bit(bool value) { return value ? "1" : "0"; }

}  // namespace

int32_t StoredInterval(int steps) { return static_cast<int32_t>(steps) * 500; }

int IntervalSteps(int64_t ms) {
  int64_t steps = ms / 500;
  const int64_t rest = ms % 500;
  if (rest > 250 || (rest == 250 && steps % 2 != 0)) ++steps;
  if (rest < -250 || (rest == -250 && steps % 2 != 0)) --steps;
  return static_cast<int>(steps);
}

DialogOptions LoadDialogOptions(const IniReader& read) {
  DialogOptions o;
  o.speed = static_cast<int>(Number(read, "IMAGE", "Speedvalue", "30", o.speed));
  o.interval = IntervalSteps(Number(read, "IMAGE", "Intervalvalue", "5000", StoredInterval(o.interval)));
  o.slideColour = static_cast<uint32_t>(Number(read, "IMAGE", "Backcolor", "&H00000000&", 0)) & 0xFFFFFF;
  o.backgroundFile = read("IMAGE", "ImageBgfile", "");
  o.location = Index(read, "IMAGE", "Location", "0", o.location, 2);
  o.backgroundImage = Number(read, "IMAGE", "BgCheck", "0", 0) != 0;
  o.interleave = Number(read, "IMAGE", "IlCheck", "0", 0) != 0;
  o.quality = Index(read, "FLASH", "Quality", "1", o.quality, 2);
  o.movieSize = Index(read, "FLASH", "Moviesize", "0", o.movieSize, 3);
  o.flashColour = static_cast<uint32_t>(Number(read, "FLASH", "BackgroundColor", "16777215",
                                               static_cast<long>(o.flashColour))) & 0xFFFFFF;
  o.loop = Number(read, "FLASH", "LoopCheck", "0", 0) != 0;
  o.startup = Flag(read, "MAIN", "Startup", "1", o.startup);
  o.imageViewer = Flag(read, "MAIN", "Imageviewer", "1", o.imageViewer);
  o.iconDisplay = Flag(read, "MAIN", "Icondisp", "1", o.iconDisplay);
  o.iconFader = Flag(read, "MAIN", "isIconfader", "0", o.iconFader);
  if (o.iconFader) o.iconFaderValue = read("MAIN", "Iconfadervalue", "0");
  return o;
}

bool AppliesPage(const ApplyState& s, SettingsPage page) {
  switch (page) {
    case SettingsPage::kAdvanced: return s.advancedChanged;
    case SettingsPage::kFlash: return s.flashChanged || (s.pageChosen && s.page == page);
    case SettingsPage::kSlide: return s.slideChanged || (s.pageChosen && s.page == page);
    default: return false;
  }
}

std::vector<IniWrite> ApplyWrites(const ApplyState& s) {
  std::vector<IniWrite> writes;
  const DialogOptions& o = s.options;
  if (s.pageChosen && s.page == SettingsPage::kFlash) writes.push_back({"MAIN", "WallInx", "1"});
  if (s.pageChosen && s.page == SettingsPage::kSlide) writes.push_back({"MAIN", "WallInx", "2"});
  if (AppliesPage(s, SettingsPage::kAdvanced)) {
    writes.push_back({"MAIN", "Imageviewer", Bit(o.imageViewer)});
    writes.push_back({"MAIN", "Icondisp", Bit(o.iconDisplay)});
    writes.push_back({"MAIN", "isIconfader", Bit(o.iconFader)});
    writes.push_back({"MAIN", "Iconfadervalue", o.iconFaderValue});
    writes.push_back({"MAIN", "Startup", Bit(o.startup)});
  }
  if (AppliesPage(s, SettingsPage::kFlash)) {
    if (s.currentFlash) writes.push_back({"FLASH", "CurFlash", *s.currentFlash});
    writes.push_back({"FLASH", "Quality", Decimal(o.quality)});
    writes.push_back({"FLASH", "Moviesize", Decimal(o.movieSize)});
    writes.push_back({"FLASH", "BackgroundColor", Decimal(o.flashColour)});
    writes.push_back({"FLASH", "LoopCheck", Bit(o.loop)});
  }
  if (AppliesPage(s, SettingsPage::kSlide)) {
    writes.push_back({"IMAGE", "Speedvalue", Decimal(o.speed)});
    writes.push_back({"IMAGE", "Intervalvalue", Decimal(StoredInterval(o.interval))});
    writes.push_back({"IMAGE", "Location", Decimal(o.location)});
    writes.push_back({"IMAGE", "Backcolor", Decimal(o.slideColour)});
    writes.push_back({"IMAGE", "BgCheck", Bit(o.backgroundImage)});
    writes.push_back({"IMAGE", "ImageBgfile", o.backgroundFile});
    writes.push_back({"IMAGE", "IlCheck", Bit(o.interleave)});
    if (s.slidePath) writes.push_back({"IMAGE", "Path", *s.slidePath});
  }
  return writes;
}

std::string SaveFailedText(SaveProblem why) {
  std::string text = "The settings could not be saved to Wallpaper.ini.";
  switch (why) {
    case SaveProblem::kFolderInTheWay: text += " A folder of that name is in its place."; break;
    case SaveProblem::kReadOnly: text += " The file is read-only."; break;
    case SaveProblem::kDiskFull: text += " The disk is full."; break;
    case SaveProblem::kUnknown: break;
  }
  return text + "\n\nYour changes are still in the dialog: press Ok to try again, or Cancel to leave them.";
}

std::string KilobyteCell(std::optional<uint64_t> bytes) {
  if (!bytes) return "missing";
  uint64_t kb = *bytes / 1024;
  const uint64_t rest = *bytes % 1024;
  if (rest > 512 || (rest == 512 && kb % 2 != 0)) ++kb;
  return std::to_string(kb) + "KB";
}

bool StorableInList(const std::string& path) {
  return path.find('*') == std::string::npos && path.find('|') == std::string::npos;
}

}  // namespace velmora
