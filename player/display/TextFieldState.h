// What a text field shows that scripts can change: its text (markup when the
// field is HTML) and the looks its script properties set, first taken from
// the field's own definition. The renderer draws a field from this state,
// and the scene state compares it, so a new text is a new picture.
#pragma once

#include "player/script/Heap.h"
#include "player/swf/SwfMovie.h"

#include <cstdint>
#include <optional>
#include <string>
#include <tuple>

namespace velmora::swf {

enum class FieldAutoSize : uint8_t { None, Left, Center, Right };

// What TextFormat objects gave the whole field (setTextFormat): each part set
// holds over the field's own format and its markup's; the rest stay.
struct FieldFormat {
  std::optional<std::string> font;
  std::optional<double> size;  // twips per em
  std::optional<uint32_t> color;  // 0xRRGGBB
  std::optional<bool> bold, italic, underline;
  std::optional<TextAlign> align;
  std::optional<double> leftMargin, rightMargin, indent, leading;  // twips

  auto Tie() const {
    return std::tie(font, size, color, bold, italic, underline, align, leftMargin, rightMargin, indent, leading);
  }
};

struct FormattedText;
// Lays `format` over every run and paragraph of `text`.
void ApplyFieldFormat(FormattedText& text, const FieldFormat& format);

struct FieldLooks {
  bool html = false, wordWrap = false, multiline = false;
  bool border = false, background = false;
  FieldAutoSize autoSize = FieldAutoSize::None;
  Rgba color{0, 0, 0, 255};
  Rgba borderColor{0, 0, 0, 255};
  Rgba backgroundColor{255, 255, 255, 255};
  FieldFormat format;

  bool operator==(const FieldLooks& o) const;
  bool operator!=(const FieldLooks& o) const { return !(*this == o); }
  bool operator<(const FieldLooks& o) const;
};

class TextFieldObject;

// One field's state, owned by its display object. Its script object, made
// when a script first names the field, answers nothing once the state goes.
struct FieldState {
  FieldState();
  ~FieldState();
  FieldState(const FieldState&) = delete;
  FieldState& operator=(const FieldState&) = delete;

  std::u16string text;  // markup when looks.html
  FieldLooks looks;
  bool selectable = true;
  // The field's variable was given its initial text (or already had a value).
  bool variableSeeded = false;
  avm1::Rooted<TextFieldObject> object;
};

// The looks a field has before any script changes them.
FieldLooks LooksOf(const EditText& field);
// Sets `state` as a field just placed shows it: its initial text, decoded as
// the movie's version stores it, and its own looks.
void StartFieldState(FieldState& state, const EditText& field, uint8_t movieVersion);
// The field as drawn with `looks`: its box, font and margins with the
// looks' colour, wrapping, markup and sizing.
EditText WithLooks(const EditText& field, const FieldLooks& looks);

// Code points of UTF-16 text (an unpaired surrogate stays as it is), and back.
std::u32string CodePoints(std::u16string_view text);
std::u16string Utf16(std::u32string_view text);

}  // namespace velmora::swf
