#include "iconlayer/LayerMetrics.h"

#include <initializer_list>

namespace velmora {

LayerMetrics LayerMetrics::ForDpi(int dpi, int32_t systemIconSize) {
  LayerMetrics m;
  if (dpi <= 0) dpi = kBaseDpi;  // the system could not tell
  m.dpi = dpi;
  for (int32_t* measure : {&m.gridLeft, &m.columnWidth, &m.rowHeight, &m.rowCount, &m.dropRow, &m.hitWidth,
                           &m.hitHeight, &m.keepBox, &m.iconSize, &m.areaHeight, &m.arrowTop, &m.arrowSize,
                           &m.labelLeft, &m.labelTop, &m.labelWidth, &m.labelTwoLines})
    *measure = ScaleToDpi(*measure, dpi);
  if (systemIconSize > 0) m.iconSize = systemIconSize;
  m.labelPoints = m.labelPoints * static_cast<float>(dpi) / kBaseDpi;
  return m;
}

}  // namespace velmora
