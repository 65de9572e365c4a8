// Where the user put each desktop item, remembered by the item (its path, or
// a special item's shell name) and by the size of the layer, so that adding
// or removing a file or going back to an earlier screen size keeps every
// other item where it was.
#pragma once

#include "iconlayer/LayoutGrid.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

using PlacedItems = std::map<std::string, ItemPosition>;

// One line an item: "left*top*key". Keys hold no line break (paths cannot).
std::string FormatPlacedItems(const PlacedItems& placed);
PlacedItems ParsePlacedItems(std::string_view text);

// The positions of the items `keys` (in item order) on a layer `clientHeight`
// pixels high: a remembered item keeps its place; a new one takes the first
// cell of the default grid (moved to `gridOrigin`, the primary monitor's
// corner) that no remembered item holds and no new item took before it.
std::vector<ItemPosition> PlaceItems(const std::vector<std::string>& keys,
                                     const PlacedItems& remembered, int32_t clientHeight,
                                     const LayerMetrics& m = LayerMetrics(), ItemPosition gridOrigin = {});

// The positions as a memory (keys and positions in item order).
PlacedItems Remember(const std::vector<std::string>& keys,
                     const std::vector<ItemPosition>& positions);

// The registry value name a layer size is remembered under: "1024x738" at
// 96 DPI, "1024x738@144" at another (places of one DPI do not fit another's
// grid; going back to a DPI finds its places again).
std::string LayerSizeName(int32_t width, int32_t height, int dpi = kBaseDpi);

}  // namespace velmora
