#include "player/display/TextFieldState.h"

#include "player/display/TextFieldObject.h"

#include "player/swf/HtmlText.h"

#include <tuple>

namespace velmora::swf {
namespace {

auto Tie(const FieldLooks& l) {
  auto rgba = [](const Rgba& c) { return (uint32_t(c.r) << 24) | (uint32_t(c.g) << 16) | (uint32_t(c.b) << 8) | c.a; };
  return std::tuple_cat(std::make_tuple(l.html, l.wordWrap, l.multiline, l.border, l.background, l.autoSize,
                                        rgba(l.color), rgba(l.borderColor), rgba(l.backgroundColor)),
                        l.format.Tie());
}

constexpr char32_t kSurrogateFirst = 0xD800, kLowSurrogateFirst = 0xDC00, kSurrogateLast = 0xDFFF;
constexpr char32_t kFirstSupplementary = 0x10000;

}  // namespace

bool FieldLooks::operator==(const FieldLooks& o) const { return Tie(*this) == Tie(o); }
bool FieldLooks::operator<(const FieldLooks& o) const { return Tie(*this) < Tie(o); }

FieldLooks LooksOf(const EditText& field) {
  FieldLooks looks;
  looks.html = field.html;
  looks.wordWrap = field.wordWrap;
  looks.multiline = field.multiline;
  // A field's border flag gives it both the white box and the black line.
  looks.border = looks.background = field.border;
  looks.autoSize = field.autoSize ? FieldAutoSize::Left : FieldAutoSize::None;
  looks.color = field.color;
  return looks;
}

FieldState::FieldState() = default;

FieldState::~FieldState() {
  if (object) object->Detach();
}

void StartFieldState(FieldState& state, const EditText& field, uint8_t movieVersion) {
  state.text = Utf16(DecodeMovieText(field.initialText, movieVersion));
  state.looks = LooksOf(field);
  state.selectable = !field.noSelect;
}

void ApplyFieldFormat(FormattedText& text, const FieldFormat& f) {
  for (FormatRun& run : text.runs) {
    CharFormat& c = run.format;
    if (f.font) c.face = *f.font;
    if (f.size) c.size = *f.size;
    if (f.color) c.color = {static_cast<uint8_t>(*f.color >> 16), static_cast<uint8_t>(*f.color >> 8),
                            static_cast<uint8_t>(*f.color), 255};
    if (f.bold) c.bold = *f.bold;
    if (f.italic) c.italic = *f.italic;
    if (f.underline) c.underline = *f.underline;
  }
  for (ParagraphFormat& p : text.paragraphs) {
    if (f.align) p.align = *f.align;
    if (f.leftMargin) p.leftMargin = *f.leftMargin;
    if (f.rightMargin) p.rightMargin = *f.rightMargin;
    if (f.indent) p.indent = *f.indent;
    if (f.leading) p.leading = *f.leading;
  }
}

EditText WithLooks(const EditText& field, const FieldLooks& looks) {
  EditText out = field;
  out.initialText.clear();
  out.html = looks.html;
  out.wordWrap = looks.wordWrap;
  out.multiline = looks.multiline;
  out.border = looks.border;
  out.autoSize = looks.autoSize != FieldAutoSize::None;
  out.hasColor = true;
  out.color = looks.color;
  return out;
}

std::u32string CodePoints(std::u16string_view text) {
  std::u32string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char32_t c = text[i];
    const bool high = c >= kSurrogateFirst && c < kLowSurrogateFirst;
    if (high && i + 1 < text.size() && text[i + 1] >= kLowSurrogateFirst && text[i + 1] <= kSurrogateLast) {
      out.push_back(kFirstSupplementary + ((c - kSurrogateFirst) << 10) + (text[i + 1] - kLowSurrogateFirst));
      ++i;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::u16string Utf16(std::u32string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (char32_t c : text) {
    if (c < kFirstSupplementary) {
      out.push_back(static_cast<char16_t>(c));
      continue;
    }
    c -= kFirstSupplementary;
    out.push_back(static_cast<char16_t>(kSurrogateFirst + (c >> 10)));
    out.push_back(static_cast<char16_t>(kLowSurrogateFirst + (c & 0x3FF)));
  }
  return out;
}

}  // namespace velmora::swf
