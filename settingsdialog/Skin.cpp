#include "settingsdialog/Skin.h"

#include "common/DesktopHost.h"
#include "common/FileSystem.h"
#include "controls/RgbPictureGdi.h"
#include "resources/ResourceIds.h"
#include "settingsdialog/SkinSlices.h"

namespace velmora {

RgbPicture useSkins(int width, int height, const std::string& appDirectory, int dpi) {
  static const RgbPicture templates[2] = {EmbeddedRgbPicture(IDR_SKIN_BMP).value_or(RgbPicture()),
                                          EmbeddedRgbPicture(IDR_SKIN_2X_PNG).value_or(RgbPicture())};
  int artScale = 1;
  const RgbPicture& skinTemplate = ArtForDpi(templates[0], templates[1], dpi, artScale);
  if (!skinTemplate) return {};
  RgbPicture skin = ComposeSkin(skinTemplate, width, height, dpi, artScale);
  // A copy for whoever looks for it; a folder that cannot be written (a
  // program folder under Program Files, a locked stick) changes nothing.
  if (!appDirectory.empty()) ReplaceWholeFile(appDirectory + "\\Skintemp.bmp", EncodeBmp(skin));
  return skin;
}

RgbPicture LoadSkin(HWND window, const std::string& appDirectory, Transparent& shape, int dpi) {
  const BusyPointer busy;
  RECT client{};
  ::GetClientRect(window, &client);
  RgbPicture skin = useSkins(client.right, client.bottom, appDirectory, dpi);
  shape.SetMaskColor(RGB(255, 0, 255));
  shape.SetMaskPicture(skin);
  return skin;
}

void DragByTitleStrip(HWND window) {
  ::ReleaseCapture();
  ::SendMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

}  // namespace velmora
