#include "wallpaper/BackgroundPlacement.h"

namespace velmora {

std::optional<TwipsRect> BackgroundPlacement(const TaskbarBand& band, long w, long h, int dpi) {
  const long t = PixelsToTwips(band.thickness, dpi);
  switch (band.edge) {
    case 'B': return TwipsRect{0, 0, w, h - t};
    case 'T': return TwipsRect{0, t, w, h - t};
    case 'L': return TwipsRect{t, 0, w - t, h};
    case 'R': return TwipsRect{0, 0, w - t, h};
    default: return std::nullopt;
  }
}

}  // namespace velmora
