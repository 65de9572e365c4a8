#include "wallpaper/MovieWallpaper.h"

#include "settings/EntryList.h"

namespace velmora {

bool MovieWallpaper::Create(HWND parent, int width, int height) {
  return control_.Create(parent, 0, 0, width, height);
}

void MovieWallpaper::Start(const FlashSettings& settings) {
  // A value that could not be read was left as it was by the settings.
  const std::vector<std::string> pieces = SplitEntryPieces(settings.current);
  const MediaEntry entry = pieces.empty() ? MediaEntry{} : ParseEntry(pieces.front());
  entryParts_ = {entry.name, entry.location};
  control_.Stop();
  control_.SetVisible(true);
  control_.SetBackgroundColor(static_cast<uint32_t>(settings.backgroundColour));
  control_.SetScaleMode(static_cast<int16_t>(settings.scaleMode));
  control_.SetQuality(static_cast<int16_t>(settings.quality));
  control_.SetMaxFrameRate(static_cast<int>(settings.maxFrameRate));
  // Without a "|" there is no location, and the path cannot be built.
  if (!pieces.empty() && pieces.front().find('|') != std::string::npos)
    moviePath_ = EntryFilePath(entry, MediaSection(MediaList::kFlash), appDirectory_);
  control_.SetMovie(moviePath_);
  control_.Play();
  control_.Play();
}

void MovieWallpaper::ShowBlank() {
  control_.Stop();
  control_.SetMovie(appDirectory_ + "\\blank.swf");
  control_.Play();
}

void MovieWallpaper::StopAndHide() {
  control_.Stop();
  control_.SetVisible(false);
}

}  // namespace velmora
