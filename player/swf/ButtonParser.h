// The bodies of DefineButton and DefineButton2 after the character id: the
// records of the button's states and its actions, kept raw.
#pragma once

#include "player/swf/BitReader.h"
#include "player/swf/SwfMovie.h"

namespace velmora::swf {

// `version` is 1 for DefineButton, 2 for DefineButton2. False when the body
// is damaged; `button` then holds what was read before the damage.
bool ReadButton(BitReader& in, int version, Button& button);

}  // namespace velmora::swf
