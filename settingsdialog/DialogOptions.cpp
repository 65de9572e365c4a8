#include "settingsdialog/DialogOptions.h"

#include "settings/SettingValues.h"

namespace velmora {
namespace {

using Id = SettingId;

// What the slides' colour shows while the file holds none.
constexpr uint32_t kBlack = 0;
constexpr uint32_t kColourBits = 0xFFFFFF;

// A drop-down's index: the key's default when the stored one is not offered.
int Offered(SettingId id, long stored, long fallback) {
  return static_cast<int>(InRange(id, stored) ? stored : fallback);
}

}  // namespace

int32_t StoredInterval(int steps) { return static_cast<int32_t>(steps) * 500; }

int IntervalSteps(int64_t ms) {
  int64_t steps = ms / 500;
  const int64_t rest = ms % 500;
  if (rest > 250 || (rest == 250 && steps % 2 != 0)) ++steps;
  if (rest < -250 || (rest == -250 && steps % 2 != 0)) --steps;
  return static_cast<int>(steps);
}

DialogOptions DialogOptionsFrom(const Settings& s) {
  const Settings defaults;
  DialogOptions o;
  o.speed = static_cast<int>(s.image.speed);
  o.interval = IntervalSteps(s.image.interval);
  o.slideColour = s.Stored(Id::kBackcolor) ? static_cast<uint32_t>(s.image.backColour) & kColourBits : kBlack;
  o.backgroundFile = s.image.pictureFile;
  o.location = Offered(Id::kLocation, s.image.location, defaults.image.location);
  o.backgroundImage = s.image.withPicture;
  o.interleave = s.image.interleave;
  o.quality = Offered(Id::kQuality, s.flash.quality, defaults.flash.quality);
  o.movieSize = Offered(Id::kMoviesize, s.flash.scaleMode, defaults.flash.scaleMode);
  o.flashColour = static_cast<uint32_t>(s.flash.backgroundColour) & kColourBits;
  o.loop = s.flash.loop;
  o.maxFrameRate = static_cast<int>(s.flash.maxFrameRate);
  o.mouseToMovie = s.flash.mouseToMovie;
  o.startup = s.main.startup;
  o.batteryRest = s.main.batteryRest;
  o.monitors = Offered(Id::kMonitors, s.main.monitorSpread, defaults.main.monitorSpread);
  o.imageViewer = s.main.imageViewer;
  o.iconDisplay = s.main.iconDisplay;
  o.iconFader = s.main.iconFader;
  // With the fader off its drop-down offers full opacity.
  o.iconFaderValue = std::to_string(o.iconFader ? s.main.iconOpacity : KeyOf(Id::kIconfadervalue).high);
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

namespace {

void ApplyAdvanced(const DialogOptions& o, SettingsChange& c) {
  MainSettings& m = c.settings.main;
  m.imageViewer = o.imageViewer;
  m.iconDisplay = o.iconDisplay;
  m.iconFader = o.iconFader;
  m.iconOpacity = NumberOr(o.iconFaderValue, m.iconOpacity);
  m.startup = o.startup;
  m.batteryRest = o.batteryRest;
  c.keys.insert(c.keys.end(), {Id::kImageviewer, Id::kIcondisp, Id::kIsIconfader,
                               Id::kIconfadervalue, Id::kStartup, Id::kBatteryRest});
  if (o.monitors != m.monitorSpread) {
    m.monitorSpread = o.monitors;
    c.keys.push_back(Id::kMonitors);
  }
}

void ApplyFlash(const ApplyState& s, SettingsChange& c) {
  const DialogOptions& o = s.options;
  FlashSettings& f = c.settings.flash;
  if (s.currentFlash) {
    f.current = *s.currentFlash;
    c.keys.push_back(Id::kCurFlash);
  }
  f.quality = o.quality;
  f.scaleMode = o.movieSize;
  f.backgroundColour = static_cast<long>(o.flashColour);
  f.loop = o.loop;
  f.maxFrameRate = o.maxFrameRate;
  f.mouseToMovie = o.mouseToMovie;
  c.keys.insert(c.keys.end(), {Id::kQuality, Id::kMoviesize, Id::kBackgroundColor, Id::kLoopCheck, Id::kMaxFrameRate,
                               Id::kMouseToMovie});
}

void ApplySlides(const ApplyState& s, SettingsChange& c) {
  const DialogOptions& o = s.options;
  ImageSettings& i = c.settings.image;
  i.speed = o.speed;
  i.interval = StoredInterval(o.interval);
  i.location = o.location;
  i.backColour = static_cast<long>(o.slideColour);
  i.withPicture = o.backgroundImage;
  i.pictureFile = o.backgroundFile;
  i.interleave = o.interleave;
  c.keys.insert(c.keys.end(), {Id::kSpeedvalue, Id::kIntervalvalue, Id::kLocation, Id::kBackcolor,
                               Id::kBgCheck, Id::kImageBgfile, Id::kIlCheck});
  if (s.slidePath) {
    i.list = *s.slidePath;
    c.keys.push_back(Id::kImagePath);
  }
}

}  // namespace

SettingsChange ApplyWrites(const ApplyState& s, const Settings& stored) {
  SettingsChange change{stored, {}};
  if (s.pageChosen && (s.page == SettingsPage::kFlash || s.page == SettingsPage::kSlide)) {
    change.settings.main.wallpaperMode = s.page == SettingsPage::kFlash ? kMovieMode : kSlideshowMode;
    change.keys.push_back(Id::kWallInx);
  }
  if (AppliesPage(s, SettingsPage::kAdvanced)) ApplyAdvanced(s.options, change);
  if (AppliesPage(s, SettingsPage::kFlash)) ApplyFlash(s, change);
  if (AppliesPage(s, SettingsPage::kSlide)) ApplySlides(s, change);
  return change;
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
