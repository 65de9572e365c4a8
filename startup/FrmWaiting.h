// The splash window shown while the background window loads: the skin as
// its face and shape, the splash picture in its middle. It stays on top and
// closes itself at the first 10 ms tick after the load has finished.
#pragma once

#include "common/Handles.h"
#include "common/Window.h"
#include "controls/RgbPicture.h"
#include "controls/Transparent.h"

#include <functional>
#include <memory>
#include <string>

namespace velmora {

class FrmWaiting : public Window {
 public:
  // `loadFinished` tells when the background window's load is complete; the
  // skin's copy goes to `appDirectory`.
  FrmWaiting(std::function<bool()> loadFinished, std::string appDirectory = {})
      : loadFinished_(std::move(loadFinished)), appDirectory_(std::move(appDirectory)) {}

  // Creates and shows the window centred on the screen, at its scale.
  bool Show();
  // Closes the window if it is still open.
  void Unload() { Destroy(); }
  bool IsOpen() const { return hwnd() != nullptr; }
  const RgbPicture& Skin() const { return skin_; }
  const RgbPicture& Picture() const { return picture_; }
  int Dpi() const { return dpi_; }

  static constexpr UINT kTimerId = 1;
  static constexpr UINT kTimerInterval = 10;
  // The window around the 320 x 120 picture: the skin's side bands, and
  // room for its title and bottom bands above and below (at 96 DPI; both
  // grow with the screen's scale).
  static constexpr int kWidth = 352, kHeight = 208;
  static constexpr int kPictureWidth = 320, kPictureHeight = 120;

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Paint();

  std::function<bool()> loadFinished_;
  std::string appDirectory_;
  RgbPicture picture_;  // Image1
  RgbPicture skin_;
  int dpi_ = 96;
  std::unique_ptr<Transparent> shape_;  // Transparent1
};

}  // namespace velmora
