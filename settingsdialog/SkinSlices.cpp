#include "settingsdialog/SkinSlices.h"

#include "common/Units.h"

namespace velmora {

NineSlices SkinSlices(int32_t w, int32_t h, int32_t tw, int32_t th, int dpi, int artScale) {
  const auto t = [dpi](int32_t at96) { return ScaleToDpi(at96, dpi); };  // on the skin
  const auto f = [artScale](int32_t at1x) { return at1x * artScale; };  // on the template
  const int32_t band = t(52), side = t(15);
  return {{
      {{0, 0, t(108), band}, {0, 0, f(108), f(52)}},
      {{t(108), 0, w - t(108) - t(98), band}, {f(108), 0, f(5), f(52)}},
      {{w - t(98), 0, t(98), band}, {tw - f(98), 0, f(98), f(52)}},
      {{0, band, side, h - band - t(28)}, {0, f(52), f(15), f(5)}},
      {{side, band, w - 2 * side, h - band - t(28)}, {f(15), f(52), f(5), f(5)}},
      {{w - side, band, side, h - band - t(28)}, {tw - f(15), f(52), f(15), f(5)}},
      {{0, h - band, t(150), band}, {0, th - f(52), f(150), f(52)}},
      {{t(150), h - band, w - t(150) - side, band}, {f(152), th - f(52), f(5), f(52)}},
      {{w - side, h - band, side, band}, {tw - f(15), th - f(52), f(15), f(52)}},
  }};
}

RgbPicture ComposeSkin(const RgbPicture& skinTemplate, int32_t width, int32_t height, int dpi,
                       int artScale) {
  return ComposeNineSlice(skinTemplate,
                          SkinSlices(width, height, skinTemplate.width, skinTemplate.height, dpi, artScale),
                          width, height, SamplingForDpi(dpi, artScale, kSkinMaskRgb));
}

}  // namespace velmora
