#include "controls/Transparent.h"

#include "common/Handles.h"
#include "controls/RgbPictureGdi.h"

namespace velmora {

void Transparent::SetMaskPicture(RgbPicture picture) {
  picture_ = std::move(picture);
  Rebuild();
}

void Transparent::SetMaskColor(COLORREF color) {
  maskColor_ = color;
  Rebuild();
}

void Transparent::Rebuild() {
  if (!picture_ || !container_) return;
  ::SetWindowPos(container_, nullptr, 0, 0, picture_.width, picture_.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  const uint32_t maskRgb = uint32_t{GetRValue(maskColor_)} << 16 |
                           uint32_t{GetGValue(maskColor_)} << 8 | GetBValue(maskColor_);
  UniqueGdiObject region = RegionOutsideMask(picture_, maskRgb);
  // The window owns the region once it has taken it; the previous one is
  // freed by the system.
  if (region && ::SetWindowRgn(container_, static_cast<HRGN>(region.get()), TRUE)) region.release();
}

}  // namespace velmora
