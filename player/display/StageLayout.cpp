#include "player/display/StageLayout.h"

namespace velmora::swf {
namespace {

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool SameText(std::u16string_view text, std::u16string_view lowerName) {
  if (text.size() != lowerName.size()) return false;
  for (size_t i = 0; i < text.size(); ++i)
    if (Lower(text[i]) != lowerName[i]) return false;
  return true;
}

}  // namespace

ScaleMode ParseScaleMode(std::u16string_view text) {
  if (SameText(text, u"noscale")) return ScaleMode::NoScale;
  if (SameText(text, u"exactfit")) return ScaleMode::ExactFit;
  if (SameText(text, u"noborder")) return ScaleMode::NoBorder;
  return ScaleMode::ShowAll;
}

std::u16string ScaleModeName(ScaleMode mode) {
  switch (mode) {
    case ScaleMode::NoScale: return u"noScale";
    case ScaleMode::ExactFit: return u"exactFit";
    case ScaleMode::NoBorder: return u"noBorder";
    case ScaleMode::ShowAll: break;
  }
  return u"showAll";
}

StageAlign ParseStageAlign(std::u16string_view text) {
  bool top = false, bottom = false, left = false, right = false;
  for (char16_t c : text) {
    switch (Lower(c)) {
      case u't': top = true; break;
      case u'b': bottom = true; break;
      case u'l': left = true; break;
      case u'r': right = true; break;
      default: break;
    }
  }
  StageAlign a;
  a.y = static_cast<int8_t>(top == bottom ? 0 : top ? -1 : 1);
  a.x = static_cast<int8_t>(left == right ? 0 : left ? -1 : 1);
  return a;
}

std::u16string StageAlignName(StageAlign align) {
  std::u16string name;
  if (align.y < 0) name += u'T';
  if (align.y > 0) name += u'B';
  if (align.x < 0) name += u'L';
  if (align.x > 0) name += u'R';
  return name;
}

}  // namespace velmora::swf
