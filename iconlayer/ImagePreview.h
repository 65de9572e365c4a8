// The framed preview of a picture file that the icon layer shows beside the
// item under the pointer.
#pragma once

#include "common/GdiPlus.h"
#include "iconlayer/CDIB.h"

#include <string>

namespace velmora {

class ImagePreview {
 public:
  static constexpr int kFrameWidth = 207, kFrameHeight = 168;
  static constexpr int kPictureBoxWidth = 186, kPictureBoxHeight = 164;

  // Prepares the frame from a picture file (or the program's own frame when
  // the file cannot be read), fitted into 196 x 146. False when no frame
  // could be made (the preview is then drawn without frame).
  bool ThumBG(const std::string& path);

  // Draws the frame and the fitted picture of `path` with the top-left
  // corner at (x, y), through a GDI+ graphics object (the icon layer
  // composes premultiplied pixels). False, drawing nothing, when the picture
  // cannot be loaded.
  bool ThumViewer(const std::string& path, Gdiplus::GpGraphics* graphics, int32_t x, int32_t y);

  const CDIB& PreviewFrame() const { return frame_; }
  const CDIB& PreviewPicture() const { return picture_; }

 private:
  // Loads and fits the picture into the preview surface; its placement.
  bool PreparePicture(const std::string& path, FitRect& fit);

  CDIB frame_;
  CDIB picture_;
  std::string pictureVersion_;  // path and version of the picture in picture_
  FitRect pictureFit_;
};

}  // namespace velmora
