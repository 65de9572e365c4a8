// The icon layer at the DPI of its monitor: the measures, the icons at the
// system's large icon size there, the arrow.
#include "iconlayer/FrmShortcut.h"

#include "common/Dpi.h"
#include "common/WinText.h"
#include "iconlayer/GdiPlusPictures.h"
#include "resources/ResourceIds.h"

namespace velmora {

bool FrmShortcut::FollowDpi() {
  const int dpi = dpiQuery_ ? dpiQuery_(hwnd()) : DpiOfWindow(hwnd());
  const LayerMetrics now = LayerMetrics::ForDpi(dpi, SystemMetricForDpi(SM_CXICON, dpi));
  if (metricsKnown_ && now.dpi == metrics_.dpi && now.iconSize == metrics_.iconSize) return false;
  const bool first = !metricsKnown_;
  metrics_ = now;
  metricsKnown_ = true;
  if (first) return true;  // the load makes the rest
  // Everything drawn at the old scale goes; the positions are those of the
  // new DPI's grid (or remembered for it).
  labelCache_.clear();
  labelPainter_.reset();
  MakeArrow();
  GainIconHdc();
  FollowBackground();
  layoutDirty_ = true;
  wholeNext_ = true;
  return true;
}

void FrmShortcut::MakeArrow() {
  // The arrow at the size it is drawn at, once.
  const int32_t size = metrics_.arrowSize;
  LoadedPicture arrow = LoadProgramPicture(appDirectory_ + "\\Shortcut.png", IDR_SHORTCUT_PNG);
  CDIB drawn;
  if (!arrow || !drawn.Create(size, size, 32)) return;
  {
    const SurfaceCanvas canvas(drawn);
    if (canvas) gdip::GdipDrawImageRectI(canvas.graphics(), arrow.image.get(), 0, 0, size, size);
  }
  arrowSprite_ = SpriteOfSurface(drawn);
}

UniqueIcon FrmShortcut::IconAtSize(UniqueIcon icon, int32_t size) {
  if (!icon || size <= 0) return icon;
  ICONINFO info{};
  if (!::GetIconInfo(icon.get(), &info)) return icon;
  const UniqueGdiObject colour(info.hbmColor), mask(info.hbmMask);
  BITMAP bits{};
  ::GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bits, &bits);
  if (bits.bmWidth == size) return icon;
  const HANDLE copy = ::CopyImage(icon.get(), IMAGE_ICON, size, size, LR_COPYFROMRESOURCE);
  if (!copy) return icon;
  return UniqueIcon(static_cast<HICON>(copy));
}

HICON FrmShortcut::ExtractIconFrom(const std::string& file, int32_t index, int32_t size) {
  const std::wstring path = Wide(file);
  if (size > 0 && size != ::GetSystemMetrics(SM_CXICON)) {
    // Another size than the system's large icons: the icon as drawn for it.
    HICON icon = nullptr;
    UINT id = 0;
    const UINT found = ::PrivateExtractIconsW(path.c_str(), index, size, size, &icon, &id, 1, 0);
    if (found == 1 && icon) return icon;
    if (icon) ::DestroyIcon(icon);
  }
  const HICON icon = ::ExtractIconW(::GetModuleHandleW(nullptr), path.c_str(), static_cast<UINT>(index));
  // ExtractIcon answers 1 for a file that is not an icon source at all.
  return reinterpret_cast<uintptr_t>(icon) == 1 ? nullptr : icon;
}

}  // namespace velmora
