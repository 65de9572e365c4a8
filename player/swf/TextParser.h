// Embedded fonts and static text: the DefineFont, DefineFont2/3,
// DefineFontInfo/2 and DefineText/DefineText2 bodies after the character id.
#pragma once

#include "player/swf/BitReader.h"
#include "player/swf/SwfMovie.h"

namespace velmora::swf {

// `fontVersion` 1 for DefineFont, 2 and 3 for DefineFont2 and DefineFont3.
bool ReadFont(BitReader& in, int fontVersion, Font& font);
// DefineFontInfo (1) or DefineFontInfo2 (2) after the font id: the name,
// style and character codes of a DefineFont's glyphs.
bool ReadFontInfo(BitReader& in, int infoVersion, Font& font);
// Fills `glyphOfCode` from the font's codes.
void IndexCodes(Font& font);
// `textVersion` 1 for DefineText (RGB colours), 2 for DefineText2 (RGBA).
bool ReadStaticText(BitReader& in, int textVersion, StaticText& text);

}  // namespace velmora::swf
