// The display-object effects of PlaceObject3 and DefineButton2's records:
// the filter list and the blend mode byte.
#pragma once

#include "player/swf/BitReader.h"
#include "player/swf/SwfMovie.h"

#include <vector>

namespace velmora::swf {

// A filter list: its count, then each filter. A filter of an unknown kind
// fails the reader; the filters read before it are kept.
std::vector<Filter> ReadFilters(BitReader& in);

// A blend mode byte; 0 and unknown values are the normal mode.
BlendMode ReadBlendMode(BitReader& in);

}  // namespace velmora::swf
