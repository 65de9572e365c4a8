// A parsed movie: its header, the characters of its dictionary and the tags of
// its timelines, as plain data for the timeline and the renderer.
#pragma once

#include "player/swf/SwfTypes.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace velmora::swf {

struct GradientStop {
  uint8_t ratio = 0;
  Rgba color;
  bool operator==(const GradientStop& o) const { return ratio == o.ratio && color == o.color; }
};

enum class SpreadMode : uint8_t { Pad = 0, Reflect = 1, Repeat = 2 };
enum class Interpolation : uint8_t { Rgb = 0, LinearRgb = 1 };

struct Gradient {
  SpreadMode spread = SpreadMode::Pad;
  Interpolation interpolation = Interpolation::Rgb;
  std::vector<GradientStop> stops;
  double focalPoint = 0;  // -1..1 along the x axis, focal gradients only
};

enum class FillKind : uint8_t {
  Solid,
  LinearGradient,
  RadialGradient,
  FocalGradient,
  Bitmap,
};

struct FillStyle {
  FillKind kind = FillKind::Solid;
  Rgba color;
  Matrix matrix;  // gradient square or bitmap texels to shape twips
  Gradient gradient;
  uint16_t bitmapId = 0;
  bool bitmapRepeat = true;
  bool bitmapSmooth = true;
};

enum class CapStyle : uint8_t { Round = 0, None = 1, Square = 2 };
enum class JoinStyle : uint8_t { Round = 0, Bevel = 1, Miter = 2 };

struct LineStyle {
  uint16_t width = 0;  // twips
  Rgba color;
  CapStyle startCap = CapStyle::Round, endCap = CapStyle::Round;
  JoinStyle join = JoinStyle::Round;
  double miterLimit = 3;
  bool noClose = false;
  bool hasFill = false;
  FillStyle fill;  // when hasFill
};

// One record of a shape's outline, as stored; points are absolute twips.
struct ShapeRecord {
  enum class Kind : uint8_t { StyleChange, Line, Curve } kind = Kind::Line;
  // StyleChange
  bool hasMove = false, hasFill0 = false, hasFill1 = false, hasLine = false, hasNewStyles = false;
  uint32_t fill0 = 0, fill1 = 0, line = 0;
  uint32_t newStylesIndex = 0;  // index into Shape::styleTables
  // The pen position after the record (moveTo target or edge end) and a
  // curve's control point.
  Point control, anchor;
};

struct StyleTable {
  std::vector<FillStyle> fills;
  std::vector<LineStyle> lines;
};

struct Shape {
  Rect bounds;
  bool nonZeroWinding = false;
  // Table 0 holds the styles in front of the records, the others those that
  // records introduce.
  std::vector<StyleTable> styleTables;
  std::vector<ShapeRecord> records;
};

struct MorphFill {
  FillStyle start, end;
};

struct MorphLine {
  LineStyle start, end;
};

struct MorphShape {
  Rect startBounds, endBounds;
  std::vector<MorphFill> fills;
  std::vector<MorphLine> lines;
  std::vector<ShapeRecord> startRecords, endRecords;
};

// A decoded picture: premultiplied 0xAARRGGBB pixels, rows top to bottom.
struct Bitmap {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  bool opaque = false;  // every pixel's alpha is 255
};

// The filters of PlaceObject3, by their id in the file.
enum class FilterKind : uint8_t {
  DropShadow = 0,
  Blur = 1,
  Glow = 2,
  Bevel = 3,
  GradientGlow = 4,
  Convolution = 5,
  ColorMatrix = 6,
  GradientBevel = 7,
};

struct Filter {
  FilterKind kind = FilterKind::Blur;
  // A bevel's two colours in the file's order. The light falls against
  // `angle` (an angle of 45 degrees lights the top left): `color`, the
  // first, is drawn on the lit sides, `highlight` on the sides in shade.
  Rgba color, highlight;
  double blurX = 0, blurY = 0, angle = 0, distance = 0, strength = 1;
  bool inner = false, knockout = false, compositeSource = true, onTop = false;
  int passes = 1;
  float colorMatrix[20] = {};
  std::vector<GradientStop> gradient;  // the gradient glow's and bevel's colours

  // A box blur of `blurX` x `blurY` pixels, `passes` times over.
  static Filter Blur(double blurX, double blurY, int passes) {
    Filter f;
    f.kind = FilterKind::Blur;
    f.blurX = blurX;
    f.blurY = blurY;
    f.passes = passes;
    return f;
  }
};

// PlaceObject3's blend modes, by their number in the file.
enum class BlendMode : uint8_t {
  Normal = 1,
  Layer = 2,
  Multiply = 3,
  Screen = 4,
  Lighten = 5,
  Darken = 6,
  Difference = 7,
  Add = 8,
  Subtract = 9,
  Invert = 10,
  Alpha = 11,
  Erase = 12,
  Overlay = 13,
  Hardlight = 14,
};

// The handler of one or more clip events of a placed clip (onClipEvent):
// the events it answers (clipevent:: in TagCodes.h, the same bits in every
// version), the key of a keyPress, and its action records as the file holds
// them, run by the script engine only when one of those events happens.
struct ClipAction {
  uint32_t events = 0;
  uint8_t keyCode = 0;
  std::vector<uint8_t> actions;
};

struct PlaceObject {
  uint16_t depth = 0;
  bool move = false;  // modifies the object already at `depth`
  bool hasCharacter = false, hasMatrix = false, hasColorTransform = false, hasRatio = false,
       hasClipDepth = false, hasName = false, hasBlendMode = false, hasFilters = false,
       hasVisible = false, hasOpaqueBackground = false, hasCacheAsBitmap = false;
  uint16_t characterId = 0;
  Matrix matrix;
  ColorTransform colorTransform;
  uint16_t ratio = 0;
  uint16_t clipDepth = 0;
  std::string name;
  BlendMode blendMode = BlendMode::Normal;
  std::vector<Filter> filters;
  bool visible = true;
  Rgba opaqueBackground{0, 0, 0, 0};  // painted over the object's bounds, under it
  bool cacheAsBitmap = false;  // drawn as a picture whose corner sits on a whole pixel
  std::vector<ClipAction> clipActions;
};

// A sprite's initialisation actions (DoInitAction): run once, before the
// frame scripts of the first frame of the movie that holds them.
struct InitAction {
  uint16_t spriteId = 0;
  std::vector<uint8_t> actions;
};

struct ControlTag {
  enum class Kind : uint8_t { Place, Remove } kind = Kind::Place;
  PlaceObject place;  // Place; Remove uses place.depth only
};

// A frame's tags, and its scripts (DoAction) as raw action records in the
// file's order, for the script engine.
struct Frame {
  std::vector<ControlTag> tags;
  std::vector<std::vector<uint8_t>> scripts;
  std::vector<InitAction> initActions;  // the movie's own timeline only
};

struct Timeline {
  std::vector<Frame> frames;
  std::map<std::string, uint32_t> labels;  // label to 0-based frame
};

// An embedded font: one outline per glyph, filled with style 1, in an EM
// square of `emSize` units. A font without glyphs names a device font.
struct Font {
  double emSize = 1024;  // DefineFont3 outlines are 20 times finer
  std::string name;      // without the terminating zeros some tools write
  bool bold = false, italic = false;
  std::vector<std::shared_ptr<const Shape>> glyphs;
  std::vector<uint16_t> codes;     // character code of each glyph, when given
  std::vector<int16_t> advances;   // em units, when the font has a layout
  // The layout's line metrics in em units (0 without a layout).
  double ascent = 0, descent = 0, leading = 0;
  std::map<uint16_t, uint32_t> glyphOfCode;  // character code to glyph index
  // Em units between two character codes beyond the first one's advance.
  std::map<std::pair<uint16_t, uint16_t>, int16_t> kerning;

  bool HasLayout() const { return !advances.empty(); }
};

struct TextGlyph {
  uint32_t index = 0;  // into the font's glyphs
  int32_t advance = 0;  // twips to the next glyph
};

// A run of glyphs of one font, colour and height; fields a record leaves out
// carry over from the record before it.
struct TextRecord {
  uint16_t fontId = 0;
  Rgba color;
  double x = 0, y = 0;  // twips, the baseline start of the first glyph
  uint16_t height = 0;  // twips per em
  std::vector<TextGlyph> glyphs;
};

struct StaticText {
  Rect bounds;
  Matrix matrix;
  std::vector<TextRecord> records;
};

enum class TextAlign : uint8_t { Left = 0, Right = 1, Center = 2, Justify = 3 };

// A text field (DefineEditText): its box in twips, the format its text
// starts with and its initial text. What a user may do with it (select,
// edit) does not change how it is drawn.
struct EditText {
  Rect bounds;
  bool wordWrap = false, multiline = false, password = false, readOnly = false, autoSize = false,
       noSelect = false, border = false, wasStatic = false, html = false, useOutlines = false;
  bool hasFont = false;
  uint16_t fontId = 0;
  std::string fontClass;  // a font named by its class instead of an id
  uint16_t height = 240;  // twips per em of the text
  bool hasColor = false;
  Rgba color{0, 0, 0, 255};
  uint16_t maxLength = 0;  // 0: no limit
  TextAlign align = TextAlign::Left;
  uint16_t leftMargin = 0, rightMargin = 0, indent = 0;  // twips
  int16_t leading = 0;                                   // twips between lines
  // The variable the field shows; a script binds it.
  std::string variableName;
  // As stored: UTF-8 from version 6, single bytes before.
  std::string initialText;
};

  
// The four states of a button: the pointer away, over it, pressed on it, and
// the area that counts as the button for the pointer.
enum class ButtonState : uint8_t { Up, Over, Down, HitTest };

// One character of a button: the states it shows in and its placement in
// the button. DefineButton's records take their colour transform from
// DefineButtonCxform; only DefineButton2's carry filters and a blend mode.
struct ButtonRecord {
  bool up = false, over = false, down = false, hitTest = false;
  uint16_t characterId = 0;
  uint16_t depth = 0;
  Matrix matrix;
  ColorTransform colorTransform;
  BlendMode blendMode = BlendMode::Normal;
  std::vector<Filter> filters;

  bool ShownIn(ButtonState state) const {
    switch (state) {
      case ButtonState::Up: return up;
      case ButtonState::Over: return over;
      case ButtonState::Down: return down;
      case ButtonState::HitTest: return hitTest;
    }
    return false;
  }
};

// Actions a button runs on the pointer or key transitions its flags name
// (buttoncond:: in TagCodes.h), kept as the file holds them for the script
// engine. DefineButton's actions are one such entry, on release.
struct ButtonCondition {
  uint16_t conditions = 0;
  std::vector<uint8_t> actions;  // action records, with the end action when the file has it
};

struct Button {
  bool trackAsMenu = false;
  std::vector<ButtonRecord> records;  // in the file's order
  std::vector<ButtonCondition> conditions;
};

struct Character {
  enum class Kind : uint8_t { Shape, MorphShape, Bitmap, Sprite, Font, Text, EditText, Button } kind = Kind::Shape;
  std::shared_ptr<const Shape> shape;
  std::shared_ptr<const MorphShape> morph;
  std::shared_ptr<const Bitmap> bitmap;
  std::shared_ptr<const Timeline> sprite;
  std::shared_ptr<const Font> font;
  std::shared_ptr<const StaticText> text;
  std::shared_ptr<const EditText> editText;
  std::shared_ptr<const Button> button;
};

struct Movie {
  uint8_t version = 0;
  Rect stage;
  double frameRate = 12;
  uint16_t frameCount = 0;
  bool hasBackground = false;
  Rgba background{255, 255, 255, 255};
  std::map<uint16_t, Character> dictionary;
  Timeline timeline;
  // ExportAssets: the names scripts attach symbols by (attachMovie,
  // registerClass), as the file spells them.
  std::map<std::string, uint16_t> exports;

  const Character* Find(uint16_t id) const {
    auto it = dictionary.find(id);
    return it == dictionary.end() ? nullptr : &it->second;
  }
};

}  // namespace velmora::swf
