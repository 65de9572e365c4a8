#include "iconlayer/ImagePreview.h"

#include "iconlayer/GdiPlusPictures.h"
#include "common/FileSystem.h"
#include "iconlayer/LayerPainter.h"
#include "iconlayer/PictureFiles.h"
#include "resources/ResourceIds.h"

namespace velmora {

bool ImagePreview::ThumBG(const std::string& path) {
  const LoadedPicture picture = LoadProgramPicture(path, IDR_IMAGEVIEWER_PNG);
  if (!picture) return false;
  const FitRect fit = GetBestFitInfo(static_cast<int32_t>(picture.width),
                                     static_cast<int32_t>(picture.height), 196, 146, false);
  if (!frame_.Create(fit.width, fit.height, 32)) return false;
  return RenderImageToSurface(frame_, picture.image.get());
}

bool ImagePreview::PreparePicture(const std::string& path, FitRect& fit) {
  // The picture shown last is shown again without decoding it again.
  const std::string version = path + "|" + FileVersion(path);
  if (version == pictureVersion_ && !picture_.Empty()) {
    fit = pictureFit_;
    return true;
  }
  PictureFile file(path);
  uint32_t width = 0, height = 0;
  if (!file.Size(width, height)) return false;
  fit = GetBestFitInfo(static_cast<int32_t>(std::min<uint32_t>(width, INT32_MAX)),
                       static_cast<int32_t>(std::min<uint32_t>(height, INT32_MAX)),
                       kPictureBoxWidth, kPictureBoxHeight, false);
  if (!file.Render(fit.width, fit.height, picture_)) return false;
  pictureVersion_ = version;
  pictureFit_ = fit;
  return true;
}

bool ImagePreview::ThumViewer(const std::string& path, Gdiplus::GpGraphics* graphics, int32_t x,
                              int32_t y) {
  FitRect fit;
  if (!PreparePicture(path, fit)) return false;
  DrawSurface(graphics, frame_, x, y, kFrameWidth, kFrameHeight);
  DrawSurface(graphics, picture_, x + fit.left + 8, y + fit.top, fit.width, fit.height);
  return true;
}


}  // namespace velmora
