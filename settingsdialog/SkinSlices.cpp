#include "settingsdialog/SkinSlices.h"

namespace velmora {

NineSlices SkinSlices(int32_t w, int32_t h, int32_t tw, int32_t th) {
  return {{
      {{0, 0, 108, 52}, {0, 0, 108, 52}},
      {{108, 0, w - 206, 52}, {108, 0, 5, 52}},
      {{w - 98, 0, 98, 52}, {tw - 98, 0, 98, 52}},
      {{0, 52, 15, h - 80}, {0, 52, 15, 5}},
      {{15, 52, w - 30, h - 80}, {15, 52, 5, 5}},
      {{w - 15, 52, 15, h - 80}, {tw - 15, 52, 15, 5}},
      {{0, h - 52, 150, 52}, {0, th - 52, 150, 52}},
      {{150, h - 52, w - 165, 52}, {152, th - 52, 5, 52}},
      {{w - 15, h - 52, 15, 52}, {tw - 15, th - 52, 15, 52}},
  }};
}

RgbPicture ComposeSkin(const RgbPicture& skinTemplate, int32_t width, int32_t height) {
  return ComposeNineSlice(skinTemplate,
                          SkinSlices(width, height, skinTemplate.width, skinTemplate.height), width,
                          height);
}

}  // namespace velmora
