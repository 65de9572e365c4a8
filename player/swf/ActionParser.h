// The frame-control part of a frame script: stop, play, next/previous frame
// and the go-to actions with a constant target. Everything else in a script is
// skipped by its length.
#pragma once

#include "player/swf/SwfMovie.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmora::swf {

std::vector<Action> ParseFrameActions(const uint8_t* data, size_t size);

}  // namespace velmora::swf
