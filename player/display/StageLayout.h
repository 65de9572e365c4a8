// How a movie's stage is fitted into the view that shows it: the scale mode
// and the edges the stage keeps to (Stage.scaleMode, Stage.align). The host
// gives a mode; a script may choose its own, which then holds.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora::swf {

enum class ScaleMode : int { ShowAll = 0, NoBorder = 1, ExactFit = 2, NoScale = 3 };

// Where the stage lies in a view of another shape: -1 at the left or top
// edge, 0 centred, 1 at the right or bottom edge.
struct StageAlign {
  int8_t x = 0, y = 0;
  bool operator==(const StageAlign& o) const { return x == o.x && y == o.y; }
};

// Stage.scaleMode's text, in any case; any other text is showAll.
ScaleMode ParseScaleMode(std::u16string_view text);
std::u16string ScaleModeName(ScaleMode mode);
// Stage.align's letters T, B, L, R in any case and order; none of them
// (or T with B, L with R) centre that way.
StageAlign ParseStageAlign(std::u16string_view text);
// "T", "B", "L", "R", "TL", "TR", "BL", "BR" or "".
std::u16string StageAlignName(StageAlign align);

}  // namespace velmora::swf
