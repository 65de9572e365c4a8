// Text fields: the DefineEditText body after the character id.
#pragma once

#include "player/swf/BitReader.h"
#include "player/swf/SwfMovie.h"

namespace velmora::swf {

// False when the body ends before its fixed fields; a field whose variable
// name or text is cut keeps what was read.
bool ReadEditText(BitReader& in, EditText& text);

}  // namespace velmora::swf
