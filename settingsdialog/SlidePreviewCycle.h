// The slide preview of the Slide Show page: the slides of the list shown
// one after another in the preview box, each fading in over the last at
// the page's speed and placement, a pause of the page's interval between
// them. Runs until it is stopped (another page, the dialog closing).
#pragma once

#include "iconlayer/CDIB.h"
#include "iconlayer/DibGeometry.h"
#include "settingsdialog/PictureBox.h"

#include <functional>
#include <string>

namespace velmora {

struct SlideCycleLinks {
  std::function<size_t()> rowCount;
  std::function<std::string(size_t row)> fileOf;  // 0-based
  std::function<int()> speed;                     // SpeedValue: the opacity step
  std::function<int()> location;                  // ImageLocation: 0 Center, 1 Stretch
  std::function<int()> intervalMilliseconds;      // IntervalValue x 500
  std::function<void(int milliseconds)> armTimer; // Timer1; 0 disables it
};

class SlidePreviewCycle {
 public:
  SlidePreviewCycle(PictureBox& box, SlideCycleLinks links) : box_(box), links_(std::move(links)) {}

  // Starts the cycle (StopPreview cleared, Timer1 enabled).
  void Start();
  // StopPreview: a running fade ends at its next frame, the timer is off.
  void Stop();
  bool Stopped() const { return stopPreview_; }
  // Timer1 fired: the next slide.
  void OnTimer();
  // Goslidepreview: slide `index` (1-based) faded in, then the timer armed.
  void Goslidepreview(int index);
  // Import: a picture fitted into the box, kept as the preview surface.
  bool Import(const std::string& path);

  int PreviewIndex() const { return previewIndex_; }
  int FramesDrawn() const { return framesDrawn_; }

 private:
  void DrawAt(uint8_t opacity);

  PictureBox& box_;
  SlideCycleLinks links_;
  bool stopPreview_ = true;
  int previewIndex_ = 0;
  int framesDrawn_ = 0;
  CDIB surface_;
  FitRect fit_;
};

}  // namespace velmora
