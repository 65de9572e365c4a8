// libFuzzer target: any bytes as a text field's text, plain or HTML, laid out
// and drawn in an embedded font and in a device font. The first bytes choose
// the field's flags and alignment. Nothing may crash, hang or grow without bound.
#include "player/display/Timeline.h"
#include "player/render/FrameRenderer.h"
#include "player/render/TextFieldLayout.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace {

using namespace velmora::swf;

// Every character a square, so each one draws.
class SquareGlyphs : public GlyphSource {
 public:
  bool Metrics(const DeviceFont& font, DeviceFontMetrics& out) override {
    out.ascent = 0.8 * font.emSize;
    out.descent = 0.2 * font.emSize;
    return font.face != "missing";
  }
  bool Glyph(const DeviceFont& font, char32_t code, GlyphOutline& out) override {
    if (code % 7 == 0) return false;
    const double s = font.emSize / 2;
    using Kind = GlyphOutline::Piece::Kind;
    out.pieces = {{Kind::Move, {}, {0, 0}}, {Kind::Line, {}, {0, -s}}, {Kind::Curve, {s, -s}, {s, 0}}};
    out.advance = (code % 5) * font.emSize / 4;
    return true;
  }
};

std::shared_ptr<Shape> Square() {
  auto shape = std::make_shared<Shape>();
  shape->styleTables.emplace_back();
  shape->styleTables[0].fills.emplace_back();
  ShapeRecord move;
  move.kind = ShapeRecord::Kind::StyleChange;
  move.hasMove = move.hasFill1 = true;
  move.fill1 = 1;
  shape->records.push_back(move);
  for (Point p : {Point{0, -800}, Point{800, -800}, Point{800, 0}, Point{0, 0}}) {
    ShapeRecord line;
    line.anchor = p;
    shape->records.push_back(line);
  }
  return shape;
}

Movie MakeMovie(const EditText& field) {
  Movie movie;
  movie.version = 8;
  movie.stage = {0, 2000, 0, 2000};
  auto font = std::make_shared<Font>();
  font->name = "Blocks";
  font->ascent = 800;
  font->descent = 200;
  auto square = Square();
  for (uint16_t code = 32; code < 128; code += 3) {
    font->glyphs.push_back(square);
    font->codes.push_back(code);
    font->advances.push_back(static_cast<int16_t>(code * 7));
    font->glyphOfCode[code] = static_cast<uint32_t>(font->glyphs.size() - 1);
    font->kerning[{code, static_cast<uint16_t>(code + 3)}] = -100;
  }
  Character f;
  f.kind = Character::Kind::Font;
  f.font = font;
  movie.dictionary.emplace(1, f);
  Character t;
  t.kind = Character::Kind::EditText;
  t.editText = std::make_shared<EditText>(field);
  movie.dictionary.emplace(2, t);
  Frame frame;
  ControlTag place;
  place.place.depth = 1;
  place.place.hasCharacter = place.place.hasMatrix = true;
  place.place.characterId = 2;
  place.place.matrix = Matrix::ScaleRotateTranslate(1, 1, (field.leading % 3) * 0.2, 100, 100);
  frame.tags.push_back(place);
  movie.timeline.frames.push_back(frame);
  return movie;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  EditText field;
  const uint8_t flags = data[0], more = data[1];
  field.html = flags & 1;
  field.wordWrap = flags & 2;
  field.multiline = flags & 4;
  field.password = flags & 8;
  field.autoSize = flags & 16;
  field.border = flags & 32;
  field.useOutlines = flags & 64;
  field.hasFont = true;
  field.fontId = (flags & 128) ? 1 : 9;  // 9: no such font, a device face
  field.align = static_cast<TextAlign>(more & 3);
  field.leftMargin = (more >> 2 & 3) * 100;
  field.rightMargin = (more >> 4 & 3) * 100;
  field.indent = (more >> 6) * 100;
  field.leading = static_cast<int16_t>(data[2]) - 64;
  field.height = static_cast<uint16_t>(20 + data[3] * 4);
  field.bounds = {0, 20 + data[3] * 20, 0, 20 + data[2] * 10};
  field.initialText.assign(reinterpret_cast<const char*>(data + 4), size - 4);
  const Movie movie = MakeMovie(field);
  SquareGlyphs glyphs;
  Clip root(movie, movie.timeline, false);
  root.Start();
  FrameRenderer renderer(movie, &glyphs);
  Canvas canvas;
  canvas.Resize(64, 48);
  renderer.Render(root, Matrix::Scale(0.05, 0.05), RenderOptions{}, 0xFFFFFFFF, canvas);
  return 0;
}
