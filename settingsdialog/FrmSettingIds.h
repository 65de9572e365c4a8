// The command ids of the settings dialog's system controls (shared by the
// files of the dialog only).
#pragma once

namespace velmora::setting_ids {

enum : int {
  kFlashList = 100,
  kSlideList,
  kQuality,
  kMovieSizes,
  kFlashColorv,
  kLoopCheck,
  kMouseCheck,  // the pointer on empty desktop reaches the movie
  kImageLocation,
  kColorPreview,
  kBgCheck,
  kImageBgfile,
  kIlCheck,
  kCheckGO0,  // "Display shortcut icon."
  kCheckGO1,  // "Adjust shortcut icon transparent."
  kCheckGO2,  // "Desktop image viewer."
  kCheckGO3,  // start with Windows
  kBatteryCheck,  // the movie rests on battery with the saver on
  kIconFader,
  kHelpText,
  kLabel,
  kMonitors,  // the movie or slideshow on each monitor or across all
};

}  // namespace velmora::setting_ids
