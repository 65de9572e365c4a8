// The program's push button with a drawn face: stretched from one of three
// 88 x 25 templates (up, down, disabled) to any size, with its caption
// centred on one line. It tells its container about presses and releases;
// what a button does is the container's business.
#pragma once

#include "common/Handles.h"
#include "common/Window.h"
#include "controls/RgbPicture.h"

#include <functional>
#include <string>

namespace velmora {

// Mouse events as the container gets them: button (1 left, 2 right, 4
// middle), shift state (1 Shift, 2 Ctrl, 4 Alt) and the position in the
// button.
struct ButtonEvents {
  std::function<void(int button, int shift, int x, int y)> mouseDown, mouseUp;
};

class ucCustomButton : public Window {
 public:
  enum class Look { kUp, kDown, kDisabled };
  static constexpr COLORREF kDisabledTextColor = RGB(196, 195, 191);

  explicit ucCustomButton(ButtonEvents events) : events_(std::move(events)) {}

  bool Create(HWND parent, int x, int y, int width, int height, const std::string& caption);

  // Setting the caption shows the button in its up look.
  void SetCaption(const std::string& caption);
  const std::string& Caption() const { return caption_; }
  void SetEnabled(bool enabled);
  bool Enabled() const { return enabled_; }
  // Pictures the container may give the button; kept, not drawn (the face
  // covers the whole button).
  void SetPictureUp(RgbPicture picture) { pictureUp_ = std::move(picture); }
  void SetPictureDown(RgbPicture picture) { pictureDown_ = std::move(picture); }
  const RgbPicture& PictureUp() const { return pictureUp_; }
  const RgbPicture& PictureDown() const { return pictureDown_; }
  void SetFont(HFONT font);
  // The DPI the face is drawn for (its borders and the caption's place).
  void SetDpi(int dpi);

  Look CurrentLook() const { return look_; }
  COLORREF ForeColor() const { return foreColor_; }
  // The face as it is drawn now: the template stretched and the caption.
  RgbPicture RenderFace() const;

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void ShowLook(Look look);
  void Pressed(int button, WPARAM keys, LPARAM at);
  void Released(int button, WPARAM keys, LPARAM at);

  ButtonEvents events_;
  std::string caption_;
  bool enabled_ = true;
  COLORREF foreColor_ = RGB(0, 0, 0);
  Look look_ = Look::kUp;
  RgbPicture pictureUp_, pictureDown_;
  int dpi_ = 96;
  HFONT font_ = nullptr;  // the container's; the default GUI font when none
};

}  // namespace velmora
