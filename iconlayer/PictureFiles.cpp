#include "iconlayer/PictureFiles.h"

#include "iconlayer/GdiPlusPictures.h"
#include "pictures/PictureDecoder.h"

#include <cstring>

namespace velmora {
namespace {

// A picture of a kind the program does not decode itself, through GDI+: a
// metafile drawn at any size, a raster picture only within the budget.
LoadedPicture LoadOtherPicture(const MappedFile& file) {
  LoadedPicture picture =
      LoadPictureFromBytes(std::string(reinterpret_cast<const char*>(file.data()), file.size()));
  if (!picture) return picture;
  Gdiplus::ImageType type = Gdiplus::ImageTypeUnknown;
  gdip::GdipGetImageType(picture.image.get(), &type);
  if (type != Gdiplus::ImageTypeMetafile &&
      static_cast<uint64_t>(picture.width) * picture.height > kMaxWholeDecodePixels)
    return {};
  return picture;
}

}  // namespace

PictureFile::PictureFile(const std::string& path) : file_(path, kMaxPictureFileSize) {}

bool PictureFile::Size(uint32_t& width, uint32_t& height) {
  if (!file_) return false;
  if (SniffPicture(file_.data(), file_.size()) != PictureKind::kUnknown)
    return ReadPictureSize(file_.data(), file_.size(), width, height) &&
           static_cast<uint64_t>(width) * height <= kMaxShownPicturePixels;
  const LoadedPicture other = LoadOtherPicture(file_);
  width = other.width;
  height = other.height;
  return static_cast<bool>(other);
}

bool PictureFile::Render(int32_t width, int32_t height, CDIB& surface) {
  if (!file_ || width <= 0 || height <= 0) return false;
  if (SniffPicture(file_.data(), file_.size()) == PictureKind::kUnknown) {
    const LoadedPicture other = LoadOtherPicture(file_);
    CDIB made;
    if (!other || !made.Create(width, height, 32) || !RenderImageToSurface(made, other.image.get()))
      return false;
    surface.Swap(made);
    return true;
  }
  DecodedPicture picture;
  if (!DecodePictureAtSize(file_.data(), file_.size(), static_cast<uint32_t>(width),
                           static_cast<uint32_t>(height), kMaxShownPicturePixels, picture))
    return false;
  CDIB made;
  if (!made.Create(static_cast<int32_t>(picture.width), static_cast<int32_t>(picture.height), 32))
    return false;
  // RGBA rows top down into the surface's BGRA rows, bottom up.
  for (uint32_t y = 0; y < picture.height; ++y) {
    const uint8_t* in = &picture.rgba[static_cast<size_t>(y) * picture.width * 4];
    uint8_t* out = made.lpBits() + static_cast<size_t>(picture.height - 1 - y) * made.BytesPerScanline();
    for (uint32_t x = 0; x < picture.width; ++x, in += 4, out += 4) {
      out[0] = in[2];
      out[1] = in[1];
      out[2] = in[0];
      out[3] = in[3];
    }
  }
  surface.Swap(made);
  return true;
}

}  // namespace velmora
