// The icon layer's measures at the DPI of the monitor it is on: the grid,
// the item's hit and keep boxes, the label's place, width and font, the
// icon and the arrow. They are drawn for 96 DPI and grow with the DPI, so
// at 120 and 144 DPI the grid makes room for the larger icons and text the
// system draws there.
#pragma once

#include "common/Units.h"

#include <cstdint>

namespace velmora {

struct LayerMetrics {
  int dpi = kBaseDpi;
  // The default grid: the first column's left edge, the columns' and rows'
  // spacing, and the height a row is counted in (a column takes an item while
  // its rows do not exceed the layer's height divided by it).
  int32_t gridLeft = 30, columnWidth = 90, rowHeight = 72, rowCount = 80;
  // An item dropped at a point: its row counted in this many pixels.
  int32_t dropRow = 70;
  // The hit box (strictly inside) and the keep box of a release, from the
  // item's top-left corner.
  int32_t hitWidth = 33, hitHeight = 72, keepBox = 35;
  // The icon (the system's large icon at 96 DPI), the area under the icon
  // that takes the pointer, and the shortcut arrow at the icon's lower left.
  int32_t iconSize = 32, areaHeight = 50, arrowTop = 21, arrowSize = 11;
  // The label: its box left of the icon's edge by labelLeft, labelTop below
  // its top, labelWidth wide, two lines labelTwoLines high; the font.
  int32_t labelLeft = 30, labelTop = 35, labelWidth = 90, labelTwoLines = 27;
  float labelPoints = 8.0f;

  // Every measure at `dpi`; the icon's size as the system gives it there
  // (0: the 96-DPI size scaled).
  static LayerMetrics ForDpi(int dpi, int32_t systemIconSize = 0);
};

}  // namespace velmora
