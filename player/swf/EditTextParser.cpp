#include "player/swf/EditTextParser.h"

#include "player/swf/TagCodes.h"

namespace velmora::swf {
namespace {

constexpr uint8_t kLastAlign = static_cast<uint8_t>(TextAlign::Justify);

void ReadLayout(BitReader& in, EditText& text) {
  const uint8_t align = in.U8();
  // An unknown alignment reads as left, as the reference player shows it.
  text.align = align <= kLastAlign ? static_cast<TextAlign>(align) : TextAlign::Left;
  text.leftMargin = in.U16();
  text.rightMargin = in.U16();
  text.indent = in.U16();
  text.leading = in.S16();
}

}  // namespace

bool ReadEditText(BitReader& in, EditText& text) {
  using namespace edittextflag;
  text.bounds = in.ReadRect();
  const uint8_t flags = in.U8(), flags2 = in.U8();
  if (!in.Ok()) return false;
  text.wordWrap = (flags & kWordWrap) != 0;
  text.multiline = (flags & kMultiline) != 0;
  text.password = (flags & kPassword) != 0;
  text.readOnly = (flags & kReadOnly) != 0;
  text.autoSize = (flags2 & kAutoSize) != 0;
  text.noSelect = (flags2 & kNoSelect) != 0;
  text.border = (flags2 & kBorder) != 0;
  text.wasStatic = (flags2 & kWasStatic) != 0;
  text.html = (flags2 & kHtml) != 0;
  text.useOutlines = (flags2 & kUseOutlines) != 0;
  text.hasFont = (flags & kHasFont) != 0;
  if (text.hasFont) text.fontId = in.U16();
  if (flags2 & kHasFontClass) text.fontClass = in.String();
  if (text.hasFont || (flags2 & kHasFontClass)) text.height = in.U16();
  if (flags & kHasTextColor) {
    text.hasColor = true;
    text.color = in.ReadRgba();
  }
  if (flags & kHasMaxLength) text.maxLength = in.U16();
  if (flags2 & kHasLayout) ReadLayout(in, text);
  if (!in.Ok()) return false;
  text.variableName = in.String();
  if (flags & kHasText) text.initialText = in.String();
  return in.Ok();
}

}  // namespace velmora::swf
