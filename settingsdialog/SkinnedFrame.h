// A borderless window with the skin as its face and shape: the title in
// the title band, moved by pressing the left button on that band. The
// settings dialog is built on it; on its own it is the empty frame.
#pragma once

#include "common/Window.h"
#include "controls/RgbPicture.h"
#include "controls/Transparent.h"

#include <memory>
#include <string>

namespace velmora {

class SkinnedFrame : public Window {
 public:
  // The title strip (FromDrag): the top band above the accent line, at 96 DPI.
  static constexpr int kTitleStripHeight = 29;

  SkinnedFrame(std::string appDirectory, std::string title)
      : appDirectory_(std::move(appDirectory)), title_(std::move(title)) {}

  // Creates the window, owned by `owner`, at (x, y), skins it and shows it.
  bool Show(HWND owner, int x, int y, int width, int height);
  // The same without showing it (a dialog adds its controls first).
  bool CreateSkinned(HWND owner, int x, int y, int width, int height);

  const RgbPicture& Skin() const { return skin_; }
  // The DPI the frame is drawn for; set before it is made, or by the system
  // when the window moves to a monitor of another scale.
  int Dpi() const { return dpi_; }
  void SetDpi(int dpi);
  // `at96` pixels at 96 DPI in the frame's pixels.
  int Px(int at96) const;
  // The title strip in client coordinates.
  RECT TitleStrip() const;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  // The face: the skin and the title; a dialog paints its own after it.
  virtual void PaintFace(HDC dc);

 private:
  void Reskin();

  std::string appDirectory_, title_;
  int dpi_ = 96;
  SIZE skinnedSize_{};
  RgbPicture skin_;
  std::unique_ptr<Transparent> shape_;  // Transparent1
};

}  // namespace velmora
