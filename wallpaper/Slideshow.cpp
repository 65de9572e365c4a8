#include "wallpaper/Slideshow.h"

#include "common/DesktopHost.h"
#include "common/FileSystem.h"
#include "iconlayer/DibGeometry.h"
#include "iconlayer/PictureFiles.h"
#include "settings/EntryList.h"
#include "wallpaper/SlideshowTiming.h"

#include <algorithm>

namespace velmora {
namespace {

constexpr COLORREF kColourBits = 0x00FFFFFF;
constexpr long kFitted = 0, kStretched = 1;  // the placements of Location
constexpr uint8_t kOpaque = 255;

}  // namespace

void Slideshow::Start(const ImageSettings& settings, long placement) {
  interval_ = settings.interval;
  speed_ = settings.speed;
  placement_ = placement;
  host_.SetBackPicture("");
  if (settings.withPicture)
    host_.SetBackPicture(appDirectory_ + "\\BgTemp.bmp");  // the dialog's copy of the picture
  else
    host_.SetBackColour(static_cast<COLORREF>(settings.backColour) & kColourBits);
  host_.ClearDrawing();
  host_.RefreshAll();
  entries_ = SplitEntryPieces(settings.list);
  stopped_ = false;
  host_.ArmTimer(kFirstSlideDelay);
}

void Slideshow::OnTimer() {
  // Stopped, no more ticks are needed; a start arms them again.
  host_.StopTimer();
  if (stopped_) {
    slideIndex_ = 0;
    return;
  }
  const int index = SlideToShow(slideIndex_, static_cast<int>(entries_.size()));
  if (index < 0) return;  // an empty list: nothing to show, the timer stays off
  slideIndex_ = index;
  ShowSlide(slideIndex_);
  // A fade ended by a stop request leaves the index at 0, so that the next
  // start begins with the first slide.
  if (!stopped_) ++slideIndex_;
}

void Slideshow::Pause() {
  stopped_ = true;
  host_.StopTimer();
}

std::vector<RECT> Slideshow::Targets() {
  std::vector<RECT> targets;
  if (placement_ != kStretched && placement_ != kFitted) return targets;
  for (const WallpaperTile& tile : host_.Tiles()) {
    if (placement_ == kStretched) {
      targets.push_back({tile.work.left, tile.work.top, tile.work.right, tile.work.bottom});
      continue;
    }
    if (finalSurface_.Empty()) continue;
    const FitRect fit = GetBestFitInfo(finalSurface_.Width(), finalSurface_.Height(),
                                       tile.monitor.Width(), tile.monitor.Height(), false);
    const RECT r{tile.monitor.left + fit.left, tile.monitor.top + fit.top,
                 tile.monitor.left + fit.left + fit.width, tile.monitor.top + fit.top + fit.height};
    if (targets.empty()) slideRect_ = {r.left, r.top, fit.width, fit.height};
    targets.push_back(r);
  }
  return targets;
}

void Slideshow::ShowSlide(int index) {
  if (index < 0 || index >= static_cast<int>(entries_.size())) return;
  ++counters_.slidesStarted;
  const MediaEntry entry = ParseEntry(entries_[static_cast<size_t>(index)]);
  Import(EntryFilePath(entry, MediaSection(MediaList::kImage), appDirectory_));  // on failure the last slide stays
  host_.ClearDrawing();
  const std::vector<RECT> targets = Targets();
  if (!targets.empty() && !fadeSurface_.Empty()) {
    if (!FadeIn(targets)) {
      slideIndex_ = 0;
      return;  // stopped: the timer stays off
    }
    ++counters_.slidesCompleted;
  }
  host_.RefreshAll();
  host_.ArmTimer(interval_);
}

bool Slideshow::FadeIn(const std::vector<RECT>& targets) {
  for (int opacity : FadeOpacities(speed_)) {
    DispatchPendingMessages();
    if (stopped_ || !host_.Alive()) return false;
    for (const RECT& t : targets) {
      fadeSurface_.Stretch32(host_.Drawing().hdc(), t.left, t.top, t.right - t.left, t.bottom - t.top,
                             0, 0, 0, 0, static_cast<uint8_t>(opacity), false, true);
      host_.Refresh(t);
    }
    ++counters_.fadeFrames;
  }
  DrawFinal(targets);
  return true;
}

void Slideshow::DrawFinal(const std::vector<RECT>& targets) {
  for (const RECT& t : targets)
    finalSurface_.Stretch32(host_.Drawing().hdc(), t.left, t.top, t.right - t.left, t.bottom - t.top, 0,
                            0, 0, 0, kOpaque, false, true);
}

bool Slideshow::Import(const std::string& filePath) {
  // The slide the surfaces hold already (a list of one picture, or the same
  // file twice in a row) is not decoded again.
  const std::string version = filePath + "|" + FileVersion(filePath);
  if (version == importedSlide_ && !finalSurface_.Empty()) return true;
  PictureFile file(filePath);
  uint32_t width = 0, height = 0;
  if (!file.Size(width, height)) return false;
  // Decoded once, at the size of the largest monitor it is shown on; the
  // others take a smaller copy of it.
  ScreenRect largest;
  for (const WallpaperTile& tile : host_.Tiles())
    if (tile.monitor.Width() * tile.monitor.Height() > largest.Width() * largest.Height())
      largest = tile.monitor;
  const FitRect fit = GetBestFitInfo(static_cast<int32_t>(std::min<uint32_t>(width, INT32_MAX)),
                                     static_cast<int32_t>(std::min<uint32_t>(height, INT32_MAX)),
                                     largest.Width(), largest.Height(), false);
  // Decoded straight to the size shown, into new surfaces first, so that a
  // failure keeps the last slide; the fade surface is half of that.
  CDIB final, fade;
  if (!file.Render(fit.width, fit.height, final) ||
      !fade.Create(std::max(1, final.Width() / 2), std::max(1, final.Height() / 2), 32) ||
      !final.Stretch32(fade.hdc(), 0, 0, fade.Width(), fade.Height(), 0, 0, 0, 0, kOpaque, false, true))
    return false;
  finalSurface_.Swap(final);
  fadeSurface_.Swap(fade);
  importedSlide_ = version;
  return true;
}

void Slideshow::Redraw() {
  if (stopped_ || finalSurface_.Empty() || host_.Drawing().Empty()) return;
  DrawFinal(Targets());
  host_.RefreshAll();
}

void Slideshow::Release() {
  Pause();
  fadeSurface_.Destroy();
  finalSurface_.Destroy();
  importedSlide_.clear();
}

}  // namespace velmora
