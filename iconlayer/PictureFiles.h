// Picture files shown at a given size: the slides and the hover preview.
// JPEG, PNG, GIF and BMP files are decoded by the program's own decoders
// straight to the size shown, so a picture of any size costs about the
// pixels it is shown with; other kinds (TIFF, metafiles, icons) go through
// GDI+, raster ones only up to a size whose whole decoding stays modest.
#pragma once

#include "common/FileSystem.h"
#include "iconlayer/CDIB.h"

#include <cstdint>
#include <string>

namespace velmora {

// Pictures with more pixels than this are not shown (decoding one would
// take seconds); JPEGs reach it in little time from their low frequencies.
inline constexpr uint64_t kMaxShownPicturePixels = uint64_t{16384} * 16384;
// Pictures of other kinds are decoded whole by GDI+: up to this many pixels.
inline constexpr uint64_t kMaxWholeDecodePixels = uint64_t{4096} * 4096;
// Picture files above this size are not read.
inline constexpr uint64_t kMaxPictureFileSize = uint64_t{1} << 30;

class PictureFile {
 public:
  explicit PictureFile(const std::string& path);

  // The picture's size; false when the file is missing, is no picture this
  // program can show, or is too large.
  bool Size(uint32_t& width, uint32_t& height);

  // The picture drawn to width x height (each at most its own size for the
  // program's own decoders) into `surface`, made anew as 32 bits. False,
  // leaving the surface as it was, when it cannot be decoded.
  bool Render(int32_t width, int32_t height, CDIB& surface);

 private:
  MappedFile file_;
};

}  // namespace velmora
