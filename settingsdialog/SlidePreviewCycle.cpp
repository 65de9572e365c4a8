#include "settingsdialog/SlidePreviewCycle.h"

#include "common/DesktopHost.h"
#include "iconlayer/PictureFiles.h"

namespace velmora {

void SlidePreviewCycle::Start() {
  stopPreview_ = false;
  if (links_.armTimer) links_.armTimer(1);
}

void SlidePreviewCycle::Stop() {
  stopPreview_ = true;
  if (links_.armTimer) links_.armTimer(0);
}

void SlidePreviewCycle::OnTimer() {
  if (links_.armTimer) links_.armTimer(0);
  if (stopPreview_) {
    previewIndex_ = 0;
    return;
  }
  const size_t rows = links_.rowCount ? links_.rowCount() : 0;
  if (rows == 0) return;
  ++previewIndex_;
  if (previewIndex_ > static_cast<int>(rows)) previewIndex_ = 1;
  Goslidepreview(previewIndex_);
}

bool SlidePreviewCycle::Import(const std::string& path) {
  if (path.empty()) return false;
  PictureFile picture(path);
  uint32_t sw = 0, sh = 0;
  if (!picture.Size(sw, sh)) return false;
  const FitRect fit = GetBestFitInfo(static_cast<int32_t>(sw), static_cast<int32_t>(sh),
                                     box_.Width() - 4, box_.Height() - 4, false);
  CDIB surface;
  if (fit.width <= 0 || fit.height <= 0 || !picture.Render(fit.width, fit.height, surface)) return false;
  surface_.Swap(surface);
  fit_ = fit;
  return true;
}

void SlidePreviewCycle::DrawAt(uint8_t opacity) {
  if (links_.location && links_.location() == 1)
    box_.DrawSurface(surface_, 0, 0, box_.Width(), box_.Height(), opacity);
  else
    box_.DrawSurface(surface_, fit_.left + 2, fit_.top + 2, fit_.width, fit_.height, opacity);
  ++framesDrawn_;
}

void SlidePreviewCycle::Goslidepreview(int index) {
  if (index < 1 || static_cast<size_t>(index) > links_.rowCount()) return;
  // A slide that cannot be decoded leaves the last one shown.
  const bool shown = Import(links_.fileOf(static_cast<size_t>(index - 1)));
  const int step = links_.speed ? links_.speed() : 30;
  // A step of 0 would make no progress: like the desktop slideshow, such a
  // slide is shown at once.
  for (int opacity = 0; shown && step > 0 && opacity <= 255; opacity += step) {
    DispatchPendingMessages();
    if (stopPreview_) {
      previewIndex_ = 0;
      return;
    }
    box_.Refresh();
    DrawAt(static_cast<uint8_t>(opacity));
    long wait = 20;  // DelayFrmsetting
    WaitMilliseconds(wait, [this] { return stopPreview_; });
    if (stopPreview_) {
      previewIndex_ = 0;
      return;
    }
  }
  if (shown) {
    DrawAt(255);
    box_.Refresh();
  }
  if (links_.armTimer) links_.armTimer(links_.intervalMilliseconds ? links_.intervalMilliseconds() : 5000);
}

}  // namespace velmora
