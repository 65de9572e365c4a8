// Embedded fonts and static text: the DefineFont, DefineFont2/3 and
// DefineText/DefineText2 bodies after the character id.
#pragma once

#include "player/swf/BitReader.h"
#include "player/swf/SwfMovie.h"

namespace velmora::swf {

// `fontVersion` 1 for DefineFont, 2 and 3 for DefineFont2 and DefineFont3.
bool ReadFont(BitReader& in, int fontVersion, Font& font);
// `textVersion` 1 for DefineText (RGB colours), 2 for DefineText2 (RGBA).
bool ReadStaticText(BitReader& in, int textVersion, StaticText& text);

}  // namespace velmora::swf
