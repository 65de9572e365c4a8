// Desktop items over several monitors: the default grid on the primary
// monitor's work area, items kept on a monitor, and items carried over
// when the monitors change (a monitor added, removed, moved or resized).
// Positions are in the layer's pixels, whose origin is the layout's window.
#pragma once

#include "common/MonitorLayout.h"
#include "iconlayer/LayoutGrid.h"

#include <vector>

namespace velmora {

// The default grid of `count` items on the primary monitor's work area.
// At another DPI the grid's measures are those of `m`, as everywhere below.
std::vector<ItemPosition> PrimaryGrid(int count, const DesktopLayout& layout, const LayerMetrics& m = LayerMetrics());

// The monitor whose work area holds an item's top-left corner, or -1.
int MonitorOfItem(ItemPosition at, const DesktopLayout& layout);

// Every item left where it is when it lies on a monitor's work area; the
// others take the first cells of the primary grid that no item holds.
std::vector<ItemPosition> KeepOnMonitors(std::vector<ItemPosition> positions,
                                         const DesktopLayout& layout, const LayerMetrics& m = LayerMetrics());

// The positions of `from` carried to the layout `to`: an item keeps its
// place on its monitor (known by its name, or by its rectangle when it has
// none), moved in by as little as keeps it on a monitor that became
// smaller; an item of a monitor that is gone, or of none, goes to a free
// cell of the primary grid.
std::vector<ItemPosition> CarryOver(const std::vector<ItemPosition>& positions,
                                    const DesktopLayout& from, const DesktopLayout& to,
                                    const LayerMetrics& m = LayerMetrics());

}  // namespace velmora
