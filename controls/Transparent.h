// The shape control: gives the window it belongs to the shape of a picture.
// Every pixel of the picture that is not the mask colour belongs to the
// window; every pixel in the mask colour is cut away (not drawn, and the
// pointer reaches what lies below). It draws nothing of its own.
#pragma once

#include "controls/RgbPicture.h"

#include <windows.h>

namespace velmora {

class Transparent {
 public:
  // The skinned windows cut away magenta; the default is the system's
  // button-face colour.
  explicit Transparent(HWND container) : container_(container), maskColor_(::GetSysColor(COLOR_BTNFACE)) {}

  // Each setter shapes the window again at once.
  void SetMaskPicture(RgbPicture picture);
  void SetMaskColor(COLORREF color);
  const RgbPicture& MaskPicture() const { return picture_; }
  COLORREF MaskColor() const { return maskColor_; }

 private:
  // Makes the window as large as the picture and hands it the picture's
  // shape; a missing picture changes nothing.
  void Rebuild();

  HWND container_;
  RgbPicture picture_;
  COLORREF maskColor_;
};

}  // namespace velmora
