// Writes SWF movies in memory: the bit/byte primitives, shapes, the tags of a
// timeline and the file around them, from the parser's own types
// (SwfMovie.h). Used to make our demo movie and the player's test movies, so
// it only covers what those need and refuses the rest.
//
// Units are the file's own: coordinates in twips (1/20 pixel), y downwards.
#pragma once

#include "player/swf/SwfMovie.h"
#include "player/swf/TagCodes.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace velmora::swf {

using Bytes = std::vector<uint8_t>;

// Bits a signed field needs to hold `value` (0 needs none).
unsigned SignedBitsNeeded(int32_t value);
// Bits an unsigned field needs to hold `value` (0 needs none).
unsigned UnsignedBitsNeeded(uint32_t value);
// 16.16 fixed point, rounded to nearest.
int32_t ToFixed16(double value);

// Appends little-endian bytes and most-significant-first bit fields. A byte
// value written after bit fields starts on the next whole byte.
class BitWriter {
 public:
  void UI8(uint8_t value);
  void UI16(uint16_t value);
  void UI32(uint32_t value);
  void UBits(uint32_t value, unsigned count);
  void SBits(int32_t value, unsigned count);
  void FBits(double value, unsigned count);  // 16.16 fixed in `count` bits
  void Align();                              // the rest of the current byte stays zero
  void Append(const Bytes& bytes);
  void String(const std::string& text);      // with its terminating zero
  void Rgb(Rgba colour);
  void RgbaColour(Rgba colour);
  void RectField(const Rect& rect);
  void MatrixField(const Matrix& matrix);
  void ColorTransformField(const ColorTransform& transform);  // with alpha

  const Bytes& Data() const { return bytes_; }

 private:
  Bytes bytes_;
  unsigned bitsUsed_ = 0;  // of the last byte; 0 when byte aligned
};

// A filter list as PlaceObject3 and DefineButton2's records hold it: its
// count, then each filter. Convolution filters are refused.
void WriteFilterList(BitWriter& w, const std::vector<Filter>& filters);

// Record header plus body; the long header form from 63 body bytes on.
void AppendTag(Bytes& out, uint16_t code, const Bytes& body);

// One shape: its fill and line styles and its outline. Style indices are
// 1-based as in the file; 0 selects no style. The gradient square spans
// -16384..16384 twips, so its matrix maps that square onto the shape; a
// stop's ratio runs from 0 (centre or start) to 255 (edge or end).
class ShapeBuilder {
 public:
  // 1, 2 or 3 for DefineShape, DefineShape2, DefineShape3. Only 3 keeps the
  // alpha of colours.
  explicit ShapeBuilder(int version = 3);

  unsigned AddSolidFill(Rgba colour);
  unsigned AddLinearGradient(const Matrix& matrix, const std::vector<GradientStop>& stops);
  unsigned AddRadialGradient(const Matrix& matrix, const std::vector<GradientStop>& stops);
  // A picture of the dictionary; `matrix` maps its texels to the shape's twips.
  unsigned AddBitmapFill(uint16_t bitmapId, const Matrix& matrix, bool repeat, bool smooth);
  unsigned AddLineStyle(uint16_t widthTwips, Rgba colour);

  // Styles of the edges that follow. fill0 is the fill left of the drawing
  // direction, fill1 the one right of it.
  void SelectStyles(unsigned fill0, unsigned fill1, unsigned line);
  void MoveTo(int32_t x, int32_t y);
  void LineTo(int32_t x, int32_t y);
  void CurveTo(int32_t controlX, int32_t controlY, int32_t x, int32_t y);

  // Closed outlines drawn clockwise on screen, so their inside is fill1.
  void Rectangle(const Rect& rect);
  void Ellipse(int32_t centreX, int32_t centreY, int32_t radiusX, int32_t radiusY);
  struct Point {
    int32_t x, y;
  };
  void Polygon(const std::vector<Point>& points);

  uint16_t TagCode() const;
  Rect Bounds() const;  // outline, control points and half the widest line
  Bytes TagBody(uint16_t characterId) const;
  // The records alone, as a font's glyph holds them (no style tables).
  Bytes GlyphRecords() const;

 private:
  struct Record {
    enum Kind { kStyle, kMove, kLine, kCurve } kind;
    int32_t a, b, c, d;  // style: fill0 fill1 line; move/line: x y; curve: cx cy x y
  };

  unsigned AddGradient(FillKind kind, const Matrix& matrix,
                       const std::vector<GradientStop>& stops);
  void Include(int32_t x, int32_t y);
  void WriteColour(BitWriter& w, Rgba colour) const;
  void WriteRecords(BitWriter& w) const;

  int version_;
  std::vector<FillStyle> fills_;
  std::vector<LineStyle> lines_;
  std::vector<Record> records_;
  bool empty_ = true;
  Rect extent_;
};

// A font of DefineFont2 (version 2) or DefineFont3 (version 3) with its
// layout: glyph outlines in an EM square of 1024 units (20480 for version 3)
// drawn with fill style 1, y down from the baseline.
class FontBuilder {
 public:
  explicit FontBuilder(int version = 3);

  void SetName(const std::string& name) { name_ = name; }
  void SetStyle(bool bold, bool italic) {
    bold_ = bold;
    italic_ = italic;
  }
  void SetMetrics(uint16_t ascent, uint16_t descent, int16_t leading) {
    ascent_ = ascent;
    descent_ = descent;
    leading_ = leading;
  }
  // `outline` has one solid fill that its outlines select.
  void AddGlyph(uint16_t code, const ShapeBuilder& outline, int16_t advance);
  void AddKerning(uint16_t left, uint16_t right, int16_t adjustment);

  uint16_t TagCode() const;
  Bytes TagBody(uint16_t characterId) const;

 private:
  struct Glyph {
    uint16_t code;
    Bytes records;
    int16_t advance;
    Rect bounds;
  };
  struct Kerning {
    uint16_t left, right;
    int16_t adjustment;
  };

  int version_;
  std::string name_;
  bool bold_ = false, italic_ = false;
  uint16_t ascent_ = 0, descent_ = 0;
  int16_t leading_ = 0;
  std::vector<Glyph> glyphs_;
  std::vector<Kerning> kerning_;
};

// Actions of one DoAction tag.
class ActionBuilder {
 public:
  ActionBuilder& Stop();
  ActionBuilder& Play();
  ActionBuilder& GotoFrame(uint16_t frameIndex);  // 0 = first frame
  Bytes TagBody() const;                          // with the closing zero

 private:
  Bytes actions_;
};

// The tags of one timeline: the movie's or a sprite's.
class TagWriter {
 public:
  void SetBackgroundColor(Rgba colour);
  void DefineShape(uint16_t characterId, const ShapeBuilder& shape);
  void DefineSprite(uint16_t characterId, const TagWriter& timeline);
  void DefineFont(uint16_t characterId, const FontBuilder& font);
  // Every field of the text field; the layout is always written.
  void DefineEditText(uint16_t characterId, const EditText& text);
  // Writes the fields whose has-flag is set, but no visibility: a placement
  // with one is refused. Clip actions are written with the 32-bit event
  // flags of version 6 and later.
  void Place(const PlaceObject& place);
  void Remove(uint16_t depth);
  void FrameLabel(const std::string& name);
  void DoAction(const ActionBuilder& actions);
  // Action records made elsewhere (the script engine's assembler), written
  // as they are: they should end with the End action.
  void DoAction(const Bytes& actions);
  void DoInitAction(uint16_t spriteId, const Bytes& actions);
  // The names scripts find these characters by.
  void ExportAssets(const std::vector<std::pair<uint16_t, std::string>>& names);
  void ShowFrame();
  void Raw(uint16_t code, const Bytes& body);

  // Buttons. DefineButton writes each record's states, character, depth and
  // matrix, and the actions of its first condition (run on release);
  // DefineButton2 also each record's colour transform, filters and blend
  // mode, and every condition with its flags and raw actions.
  void DefineButton(uint16_t characterId, const Button& button);
  void DefineButton2(uint16_t characterId, const Button& button);
  // The colour transform of DefineButton's records (no alpha).
  void DefineButtonCxform(uint16_t characterId, const ColorTransform& transform);
  // Pictures: a JPEG (or PNG) file as it is, and for DefineBitsJPEG3 one
  // alpha byte per pixel, rows top to bottom, written zlib-compressed.
  void DefineBitsJpeg2(uint16_t characterId, const Bytes& picture);
  void DefineBitsJpeg3(uint16_t characterId, const Bytes& jpeg, const Bytes& alpha);

  uint16_t FrameCount() const { return frames_; }
  const Bytes& Data() const { return bytes_; }

 private:
  Bytes bytes_;
  uint16_t frames_ = 0;
};

enum class Compression { kNone, kZlib };  // "FWS" / "CWS"

// A whole file: header, the main timeline's tags and the closing End tag.
// From version 8 on a FileAttributes tag leads, as players expect.
class MovieWriter {
 public:
  MovieWriter(const Rect& stage, double framesPerSecond, uint8_t version = 8);

  TagWriter& Timeline() { return timeline_; }
  Bytes Finish(Compression compression) const;

 private:
  Rect stage_;
  double framesPerSecond_;
  uint8_t version_;
  TagWriter timeline_;
};

}  // namespace velmora::swf
