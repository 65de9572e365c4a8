// The splash window shown while the background window loads. It stays on top
// and closes itself at the first 10 ms tick after the load has finished.
#pragma once

#include "common/Handles.h"
#include "common/Window.h"

#include <functional>

namespace velmora {

class FrmWaiting : public Window {
 public:
  // `loadFinished` tells when the background window's load is complete.
  explicit FrmWaiting(std::function<bool()> loadFinished) : loadFinished_(std::move(loadFinished)) {}

  // Creates and shows the window centred on the screen.
  bool Show();
  // Closes the window if it is still open.
  void Unload() { Destroy(); }
  bool IsOpen() const { return hwnd() != nullptr; }

  static constexpr UINT kTimerId = 1;
  static constexpr UINT kTimerInterval = 10;

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Paint();

  std::function<bool()> loadFinished_;
  UniqueGdiObject picture_;  // Image1
  SIZE pictureSize_{};
};

}  // namespace velmora
