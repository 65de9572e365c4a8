#include "player/swf/SwfWriter.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace velmora::swf {
namespace {

constexpr unsigned kMaxGradientStops = 15;
// Edge deltas are stored in at most 17 signed bits (a 4-bit count plus 2).
constexpr int32_t kMaxEdgeDelta = 65535;

// A translation in whole twips, as the file holds it.
int32_t WholeTwips(double value) {
  constexpr double kLimit = 2147483647.0;
  if (!(std::fabs(value) <= kLimit)) throw std::out_of_range("matrix translation too large");
  return static_cast<int32_t>(std::lround(value));
}

// The type byte of a fill the writer makes.
uint8_t FillType(FillKind kind) {
  switch (kind) {
    case FillKind::Solid: return filltype::kSolid;
    case FillKind::LinearGradient: return filltype::kLinearGradient;
    case FillKind::RadialGradient: return filltype::kRadialGradient;
    case FillKind::Bitmap: return filltype::kBitmap;
    default: throw std::invalid_argument("the writer makes no focal gradients");
  }
}

unsigned MaxSignedBits(std::initializer_list<int32_t> values) {
  unsigned bits = 0;
  for (int32_t v : values) bits = std::max(bits, SignedBitsNeeded(v));
  return bits;
}

}  // namespace

unsigned UnsignedBitsNeeded(uint32_t value) {
  unsigned bits = 0;
  while (value != 0) {
    ++bits;
    value >>= 1;
  }
  return bits;
}

unsigned SignedBitsNeeded(int32_t value) {
  if (value == 0) return 0;
  // A negative number needs the bits of its complement plus the sign bit.
  const uint32_t magnitude =
      value < 0 ? ~static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  return UnsignedBitsNeeded(magnitude) + 1;
}

int32_t ToFixed16(double value) {
  const long long v = std::llround(value * 65536.0);
  return static_cast<int32_t>(std::clamp<long long>(
      v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// --- BitWriter ---------------------------------------------------------------

void BitWriter::Align() { bitsUsed_ = 0; }

void BitWriter::UI8(uint8_t value) {
  Align();
  bytes_.push_back(value);
}

void BitWriter::UI16(uint16_t value) {
  UI8(static_cast<uint8_t>(value));
  UI8(static_cast<uint8_t>(value >> 8));
}

void BitWriter::UI32(uint32_t value) {
  UI16(static_cast<uint16_t>(value));
  UI16(static_cast<uint16_t>(value >> 16));
}

void BitWriter::UBits(uint32_t value, unsigned count) {
  if (count > 32 || (count < 32 && (value >> count) != 0))
    throw std::out_of_range("value does not fit its bit field");
  for (unsigned i = count; i-- > 0;) {
    if (bitsUsed_ == 0) bytes_.push_back(0);
    if ((value >> i) & 1u) bytes_.back() |= static_cast<uint8_t>(0x80u >> bitsUsed_);
    bitsUsed_ = (bitsUsed_ + 1) % 8;
  }
}

void BitWriter::SBits(int32_t value, unsigned count) {
  if (count > 32 || SignedBitsNeeded(value) > count)
    throw std::out_of_range("value does not fit its bit field");
  const uint32_t mask = count == 32 ? 0xFFFFFFFFu : (1u << count) - 1;
  UBits(static_cast<uint32_t>(value) & mask, count);
}

void BitWriter::FBits(double value, unsigned count) { SBits(ToFixed16(value), count); }

void BitWriter::Append(const Bytes& bytes) {
  Align();
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
}

void BitWriter::String(const std::string& text) {
  if (text.find('\0') != std::string::npos)
    throw std::invalid_argument("string holds a zero byte");
  for (char c : text) UI8(static_cast<uint8_t>(c));
  UI8(0);
}

void BitWriter::Rgb(Rgba colour) {
  UI8(colour.r);
  UI8(colour.g);
  UI8(colour.b);
}

void BitWriter::RgbaColour(Rgba colour) {
  Rgb(colour);
  UI8(colour.a);
}

void BitWriter::RectField(const Rect& rect) {
  Align();
  const unsigned bits = MaxSignedBits({rect.xMin, rect.xMax, rect.yMin, rect.yMax});
  UBits(bits, 5);
  SBits(rect.xMin, bits);
  SBits(rect.xMax, bits);
  SBits(rect.yMin, bits);
  SBits(rect.yMax, bits);
  Align();
}

void BitWriter::MatrixField(const Matrix& matrix) {
  Align();
  // The file's scale terms are a and d, its rotate-skew terms b and c.
  const int32_t sx = ToFixed16(matrix.a), sy = ToFixed16(matrix.d);
  const int32_t r0 = ToFixed16(matrix.b), r1 = ToFixed16(matrix.c);
  // Absent scale reads as 1.0 and absent rotation as 0, so both may be left out.
  const bool hasScale = sx != 0x10000 || sy != 0x10000;
  const bool hasRotate = r0 != 0 || r1 != 0;
  UBits(hasScale, 1);
  if (hasScale) {
    const unsigned bits = MaxSignedBits({sx, sy});
    if (bits > 31) throw std::out_of_range("matrix scale too large");
    UBits(bits, 5);
    SBits(sx, bits);
    SBits(sy, bits);
  }
  UBits(hasRotate, 1);
  if (hasRotate) {
    const unsigned bits = MaxSignedBits({r0, r1});
    if (bits > 31) throw std::out_of_range("matrix rotation too large");
    UBits(bits, 5);
    SBits(r0, bits);
    SBits(r1, bits);
  }
  const int32_t tx = WholeTwips(matrix.tx), ty = WholeTwips(matrix.ty);
  const unsigned bits = MaxSignedBits({tx, ty});
  if (bits > 31) throw std::out_of_range("matrix translation too large");
  UBits(bits, 5);
  SBits(tx, bits);
  SBits(ty, bits);
  Align();
}

void BitWriter::ColorTransformField(const ColorTransform& t) {
  Align();
  // Multipliers are 8.8 fixed point, as the transform keeps them.
  const int32_t mr = t.rMult, mg = t.gMult, mb = t.bMult, ma = t.aMult;
  const bool hasMultiply = mr != 256 || mg != 256 || mb != 256 || ma != 256;
  const bool hasAdd = t.rAdd != 0 || t.gAdd != 0 || t.bAdd != 0 || t.aAdd != 0;
  unsigned bits = 0;
  if (hasMultiply) bits = std::max(bits, MaxSignedBits({mr, mg, mb, ma}));
  if (hasAdd) bits = std::max(bits, MaxSignedBits({t.rAdd, t.gAdd, t.bAdd, t.aAdd}));
  if (bits > 15) throw std::out_of_range("colour transform term too large");
  UBits(hasAdd, 1);
  UBits(hasMultiply, 1);
  UBits(bits, 4);
  if (hasMultiply) {
    for (int32_t v : {mr, mg, mb, ma}) SBits(v, bits);
  }
  if (hasAdd) {
    for (int32_t v : {t.rAdd, t.gAdd, t.bAdd, t.aAdd}) SBits(v, bits);
  }
  Align();
}

// --- Tags --------------------------------------------------------------------

void AppendTag(Bytes& out, uint16_t code, const Bytes& body) {
  if (code > 0x3FF) throw std::out_of_range("tag code too large");
  BitWriter w;
  if (body.size() < tag::kLongLength) {
    w.UI16(static_cast<uint16_t>(code << tag::kCodeShift | body.size()));
  } else {
    if (body.size() > 0x7FFFFFFF) throw std::length_error("tag too long");
    w.UI16(static_cast<uint16_t>(code << tag::kCodeShift | tag::kLongLength));
    w.UI32(static_cast<uint32_t>(body.size()));
  }
  out.insert(out.end(), w.Data().begin(), w.Data().end());
  out.insert(out.end(), body.begin(), body.end());
}

// --- ShapeBuilder ------------------------------------------------------------

ShapeBuilder::ShapeBuilder(int version) : version_(version) {
  if (version < 1 || version > 3) throw std::invalid_argument("shape version 1..3");
}

unsigned ShapeBuilder::AddSolidFill(Rgba colour) {
  FillStyle fill;
  fill.kind = FillKind::Solid;
  fill.color = colour;
  fills_.push_back(fill);
  return static_cast<unsigned>(fills_.size());
}

unsigned ShapeBuilder::AddLinearGradient(const Matrix& matrix,
                                         const std::vector<GradientStop>& stops) {
  return AddGradient(FillKind::LinearGradient, matrix, stops);
}

unsigned ShapeBuilder::AddRadialGradient(const Matrix& matrix,
                                         const std::vector<GradientStop>& stops) {
  return AddGradient(FillKind::RadialGradient, matrix, stops);
}

unsigned ShapeBuilder::AddGradient(FillKind kind, const Matrix& matrix,
                                   const std::vector<GradientStop>& stops) {
  if (stops.empty() || stops.size() > kMaxGradientStops)
    throw std::invalid_argument("a gradient has 1 to 15 stops");
  FillStyle fill;
  fill.kind = kind;
  fill.matrix = matrix;
  fill.gradient.stops = stops;
  fills_.push_back(fill);
  return static_cast<unsigned>(fills_.size());
}

unsigned ShapeBuilder::AddBitmapFill(uint16_t bitmapId, const Matrix& matrix, bool repeat, bool smooth) {
  FillStyle fill;
  fill.kind = FillKind::Bitmap;
  fill.bitmapId = bitmapId;
  fill.matrix = matrix;
  fill.bitmapRepeat = repeat;
  fill.bitmapSmooth = smooth;
  fills_.push_back(fill);
  return static_cast<unsigned>(fills_.size());
}

unsigned ShapeBuilder::AddLineStyle(uint16_t widthTwips, Rgba colour) {
  LineStyle line;
  line.width = widthTwips;
  line.color = colour;
  lines_.push_back(line);
  return static_cast<unsigned>(lines_.size());
}

void ShapeBuilder::SelectStyles(unsigned fill0, unsigned fill1, unsigned line) {
  if (fill0 > fills_.size() || fill1 > fills_.size() || line > lines_.size())
    throw std::out_of_range("no such style");
  records_.push_back({Record::kStyle, static_cast<int32_t>(fill0),
                      static_cast<int32_t>(fill1), static_cast<int32_t>(line), 0});
}

void ShapeBuilder::Include(int32_t x, int32_t y) {
  if (empty_) {
    extent_ = {x, x, y, y};
    empty_ = false;
    return;
  }
  extent_.xMin = std::min(extent_.xMin, x);
  extent_.xMax = std::max(extent_.xMax, x);
  extent_.yMin = std::min(extent_.yMin, y);
  extent_.yMax = std::max(extent_.yMax, y);
}

void ShapeBuilder::MoveTo(int32_t x, int32_t y) {
  records_.push_back({Record::kMove, x, y, 0, 0});
  Include(x, y);
}

void ShapeBuilder::LineTo(int32_t x, int32_t y) {
  records_.push_back({Record::kLine, x, y, 0, 0});
  Include(x, y);
}

void ShapeBuilder::CurveTo(int32_t controlX, int32_t controlY, int32_t x, int32_t y) {
  records_.push_back({Record::kCurve, controlX, controlY, x, y});
  Include(controlX, controlY);
  Include(x, y);
}

void ShapeBuilder::Rectangle(const Rect& r) {
  MoveTo(r.xMin, r.yMin);
  LineTo(r.xMax, r.yMin);
  LineTo(r.xMax, r.yMax);
  LineTo(r.xMin, r.yMax);
  LineTo(r.xMin, r.yMin);
}

void ShapeBuilder::Ellipse(int32_t cx, int32_t cy, int32_t rx, int32_t ry) {
  // Eight 45-degree quadratic arcs; each control point lies on the tangents
  // at both anchors, i.e. at radius / cos(22.5 degrees) on the middle angle.
  const double pi = std::acos(-1.0);
  const double step = pi / 4;
  const double reach = 1.0 / std::cos(step / 2);
  MoveTo(cx + rx, cy);
  for (int i = 1; i <= 8; ++i) {
    const double mid = (i - 0.5) * step, end = i * step;
    const auto px = [&](double a, double k) {
      return cx + static_cast<int32_t>(std::lround(rx * k * std::cos(a)));
    };
    const auto py = [&](double a, double k) {
      return cy + static_cast<int32_t>(std::lround(ry * k * std::sin(a)));
    };
    if (i == 8)  // end exactly where we started so the outline closes
      CurveTo(px(mid, reach), py(mid, reach), cx + rx, cy);
    else
      CurveTo(px(mid, reach), py(mid, reach), px(end, 1), py(end, 1));
  }
}

void ShapeBuilder::Polygon(const std::vector<Point>& points) {
  if (points.size() < 2) throw std::invalid_argument("a polygon needs points");
  MoveTo(points[0].x, points[0].y);
  for (size_t i = 1; i < points.size(); ++i) LineTo(points[i].x, points[i].y);
  LineTo(points[0].x, points[0].y);
}

uint16_t ShapeBuilder::TagCode() const {
  return version_ == 1 ? tag::kDefineShape
                       : version_ == 2 ? tag::kDefineShape2 : tag::kDefineShape3;
}

Rect ShapeBuilder::Bounds() const {
  if (empty_) return {};
  uint16_t widest = 0;
  for (const LineStyle& l : lines_) widest = std::max(widest, l.width);
  const int32_t half = (widest + 1) / 2;
  return {extent_.xMin - half, extent_.xMax + half, extent_.yMin - half,
          extent_.yMax + half};
}

void ShapeBuilder::WriteColour(BitWriter& w, Rgba colour) const {
  if (version_ >= 3)
    w.RgbaColour(colour);
  else
    w.Rgb(colour);
}

Bytes ShapeBuilder::TagBody(uint16_t characterId) const {
  BitWriter w;
  w.UI16(characterId);
  w.RectField(Bounds());

  // Counts of 255 and more take the extended form, which version 1 lacks.
  const auto count = [&](size_t n) {
    if (n < 0xFF) {
      w.UI8(static_cast<uint8_t>(n));
    } else if (version_ >= 2 && n <= 0xFFFF) {
      w.UI8(0xFF);
      w.UI16(static_cast<uint16_t>(n));
    } else {
      throw std::length_error("too many styles");
    }
  };
  count(fills_.size());
  for (const FillStyle& f : fills_) {
    if (f.kind == FillKind::Bitmap) {
      w.UI8(filltype::kBitmap | (f.bitmapRepeat ? 0 : filltype::kBitmapClippedBit) |
            (f.bitmapSmooth ? 0 : filltype::kBitmapUnsmoothedBit));
      w.UI16(f.bitmapId);
      w.MatrixField(f.matrix);
      continue;
    }
    w.UI8(FillType(f.kind));
    if (f.kind == FillKind::Solid) {
      WriteColour(w, f.color);
      continue;
    }
    w.MatrixField(f.matrix);
    // Spread and interpolation modes stay 0 (pad, RGB): shapes 1-3 have no others.
    w.UI8(static_cast<uint8_t>(f.gradient.stops.size()));
    for (const GradientStop& s : f.gradient.stops) {
      w.UI8(s.ratio);
      WriteColour(w, s.color);
    }
  }
  count(lines_.size());
  for (const LineStyle& l : lines_) {
    w.UI16(l.width);
    WriteColour(w, l.color);
  }
  WriteRecords(w);
  return w.Data();
}

Bytes ShapeBuilder::GlyphRecords() const {
  BitWriter w;
  WriteRecords(w);
  return w.Data();
}

void ShapeBuilder::WriteRecords(BitWriter& w) const {
  const unsigned fillBits = UnsignedBitsNeeded(static_cast<uint32_t>(fills_.size()));
  const unsigned lineBits = UnsignedBitsNeeded(static_cast<uint32_t>(lines_.size()));
  if (fillBits > 15 || lineBits > 15) throw std::length_error("too many styles");
  w.UBits(fillBits, 4);
  w.UBits(lineBits, 4);

  int32_t penX = 0, penY = 0;
  // Edge deltas are relative; a delta too long for one record is halved.
  const auto edge = [&](auto& self, int32_t dx, int32_t dy) -> void {
    if (dx == 0 && dy == 0) return;
    if (std::abs(static_cast<long long>(dx)) > kMaxEdgeDelta ||
        std::abs(static_cast<long long>(dy)) > kMaxEdgeDelta) {
      self(self, dx / 2, dy / 2);
      self(self, dx - dx / 2, dy - dy / 2);
      return;
    }
    w.UBits(1, 1);  // edge
    w.UBits(1, 1);  // straight
    const bool general = dx != 0 && dy != 0;
    const unsigned bits = std::max(2u, MaxSignedBits({dx, dy}));
    w.UBits(bits - 2, 4);
    w.UBits(general, 1);
    if (general) {
      w.SBits(dx, bits);
      w.SBits(dy, bits);
    } else {
      const bool vertical = dx == 0;
      w.UBits(vertical, 1);
      w.SBits(vertical ? dy : dx, bits);
    }
  };

  for (size_t i = 0; i < records_.size(); ++i) {
    const Record& r = records_[i];
    switch (r.kind) {
      case Record::kStyle:
      case Record::kMove: {
        // A style selection and the move after it share one record.
        const Record* style = r.kind == Record::kStyle ? &r : nullptr;
        const Record* move = r.kind == Record::kMove ? &r : nullptr;
        if (style && i + 1 < records_.size() && records_[i + 1].kind == Record::kMove)
          move = &records_[++i];
        w.UBits(0, 1);  // not an edge
        w.UBits(0, 1);  // no new styles
        w.UBits(style != nullptr, 1);  // line style
        w.UBits(style != nullptr, 1);  // fill style 1
        w.UBits(style != nullptr, 1);  // fill style 0
        w.UBits(move != nullptr, 1);
        if (move) {
          // The move target is absolute, relative to the shape's origin.
          const unsigned bits = MaxSignedBits({move->a, move->b});
          w.UBits(bits, 5);
          w.SBits(move->a, bits);
          w.SBits(move->b, bits);
          penX = move->a;
          penY = move->b;
        }
        if (style) {
          w.UBits(static_cast<uint32_t>(style->a), fillBits);
          w.UBits(static_cast<uint32_t>(style->b), fillBits);
          w.UBits(static_cast<uint32_t>(style->c), lineBits);
        }
        break;
      }
      case Record::kLine:
        edge(edge, r.a - penX, r.b - penY);
        penX = r.a;
        penY = r.b;
        break;
      case Record::kCurve: {
        const int32_t cdx = r.a - penX, cdy = r.b - penY;
        const int32_t adx = r.c - r.a, ady = r.d - r.b;
        const unsigned bits = std::max(2u, MaxSignedBits({cdx, cdy, adx, ady}));
        if (bits > 17) throw std::out_of_range("curve too long for one record");
        w.UBits(1, 1);  // edge
        w.UBits(0, 1);  // curved
        w.UBits(bits - 2, 4);
        w.SBits(cdx, bits);
        w.SBits(cdy, bits);
        w.SBits(adx, bits);
        w.SBits(ady, bits);
        penX = r.c;
        penY = r.d;
        break;
      }
    }
  }
  w.UBits(0, 6);  // end of shape
  w.Align();
}

// --- FontBuilder -------------------------------------------------------------

FontBuilder::FontBuilder(int version) : version_(version) {
  if (version != 2 && version != 3) throw std::invalid_argument("font version 2 or 3");
}

void FontBuilder::AddGlyph(uint16_t code, const ShapeBuilder& outline, int16_t advance) {
  if (glyphs_.size() >= 0xFFFF) throw std::length_error("too many glyphs");
  glyphs_.push_back({code, outline.GlyphRecords(), advance, outline.Bounds()});
}

void FontBuilder::AddKerning(uint16_t left, uint16_t right, int16_t adjustment) {
  if (kerning_.size() >= 0xFFFF) throw std::length_error("too many kerning pairs");
  kerning_.push_back({left, right, adjustment});
}

uint16_t FontBuilder::TagCode() const { return version_ == 3 ? tag::kDefineFont3 : tag::kDefineFont2; }

Bytes FontBuilder::TagBody(uint16_t characterId) const {
  if (name_.size() > 255) throw std::length_error("font name too long");
  // Offsets count from the offset table: the glyphs' and then the code table's.
  const size_t count = glyphs_.size();
  size_t glyphBytes = 0;
  for (const Glyph& g : glyphs_) glyphBytes += g.records.size();
  const bool wide = (count + 1) * 2 + glyphBytes > 0xFFFF;
  const size_t offsetSize = wide ? 4 : 2;
  BitWriter w;
  w.UI16(characterId);
  uint8_t flags = fontflag::kHasLayout | fontflag::kWideCodes;
  if (wide) flags |= fontflag::kWideOffsets;
  if (italic_) flags |= fontflag::kItalic;
  if (bold_) flags |= fontflag::kBold;
  w.UI8(flags);
  w.UI8(0);  // language
  w.UI8(static_cast<uint8_t>(name_.size()));
  for (char c : name_) w.UI8(static_cast<uint8_t>(c));
  w.UI16(static_cast<uint16_t>(count));
  size_t offset = (count + 1) * offsetSize;
  auto writeOffset = [&](size_t value) {
    if (wide)
      w.UI32(static_cast<uint32_t>(value));
    else
      w.UI16(static_cast<uint16_t>(value));
  };
  for (const Glyph& g : glyphs_) {
    writeOffset(offset);
    offset += g.records.size();
  }
  writeOffset(offset);
  for (const Glyph& g : glyphs_) w.Append(g.records);
  for (const Glyph& g : glyphs_) w.UI16(g.code);
  w.UI16(ascent_);
  w.UI16(descent_);
  w.UI16(static_cast<uint16_t>(leading_));
  for (const Glyph& g : glyphs_) w.UI16(static_cast<uint16_t>(g.advance));
  for (const Glyph& g : glyphs_) w.RectField(g.bounds);
  w.UI16(static_cast<uint16_t>(kerning_.size()));
  for (const Kerning& k : kerning_) {
    w.UI16(k.left);
    w.UI16(k.right);
    w.UI16(static_cast<uint16_t>(k.adjustment));
  }
  return w.Data();
}

// --- ActionBuilder -----------------------------------------------------------

ActionBuilder& ActionBuilder::Stop() {
  actions_.push_back(action::kStop);
  return *this;
}

ActionBuilder& ActionBuilder::Play() {
  actions_.push_back(action::kPlay);
  return *this;
}

ActionBuilder& ActionBuilder::GotoFrame(uint16_t frameIndex) {
  // The code, the payload's 16-bit length (2), then the frame.
  actions_.insert(actions_.end(), {action::kGotoFrame, 2, 0, static_cast<uint8_t>(frameIndex),
                                   static_cast<uint8_t>(frameIndex >> 8)});
  return *this;
}

Bytes ActionBuilder::TagBody() const {
  Bytes body = actions_;
  body.push_back(action::kEnd);
  return body;
}

// --- TagWriter ---------------------------------------------------------------

void TagWriter::Raw(uint16_t code, const Bytes& body) { AppendTag(bytes_, code, body); }

void TagWriter::SetBackgroundColor(Rgba colour) {
  BitWriter w;
  w.Rgb(colour);
  Raw(tag::kSetBackgroundColor, w.Data());
}

void TagWriter::DefineShape(uint16_t characterId, const ShapeBuilder& shape) {
  Raw(shape.TagCode(), shape.TagBody(characterId));
}

void TagWriter::DefineSprite(uint16_t characterId, const TagWriter& timeline) {
  BitWriter w;
  w.UI16(characterId);
  w.UI16(timeline.FrameCount());
  w.Append(timeline.Data());
  Bytes body = w.Data();
  AppendTag(body, tag::kEnd, {});
  Raw(tag::kDefineSprite, body);
}

void TagWriter::DefineFont(uint16_t characterId, const FontBuilder& font) {
  Raw(font.TagCode(), font.TagBody(characterId));
}

void TagWriter::DefineEditText(uint16_t characterId, const EditText& t) {
  using namespace edittextflag;
  uint8_t flags = 0, flags2 = kHasLayout;
  if (!t.initialText.empty()) flags |= kHasText;
  if (t.wordWrap) flags |= kWordWrap;
  if (t.multiline) flags |= kMultiline;
  if (t.password) flags |= kPassword;
  if (t.readOnly) flags |= kReadOnly;
  if (t.hasColor) flags |= kHasTextColor;
  if (t.maxLength > 0) flags |= kHasMaxLength;
  if (t.hasFont) flags |= kHasFont;
  if (!t.fontClass.empty()) flags2 |= kHasFontClass;
  if (t.autoSize) flags2 |= kAutoSize;
  if (t.noSelect) flags2 |= kNoSelect;
  if (t.border) flags2 |= kBorder;
  if (t.wasStatic) flags2 |= kWasStatic;
  if (t.html) flags2 |= kHtml;
  if (t.useOutlines) flags2 |= kUseOutlines;
  BitWriter w;
  w.UI16(characterId);
  w.RectField(t.bounds);
  w.UI8(flags);
  w.UI8(flags2);
  if (t.hasFont) w.UI16(t.fontId);
  if (!t.fontClass.empty()) w.String(t.fontClass);
  if (t.hasFont || !t.fontClass.empty()) w.UI16(t.height);
  if (t.hasColor) w.RgbaColour(t.color);
  if (t.maxLength > 0) w.UI16(t.maxLength);
  w.UI8(static_cast<uint8_t>(t.align));
  w.UI16(t.leftMargin);
  w.UI16(t.rightMargin);
  w.UI16(t.indent);
  w.UI16(static_cast<uint16_t>(t.leading));
  w.String(t.variableName);
  if (!t.initialText.empty()) w.String(t.initialText);
  Raw(tag::kDefineEditText, w.Data());
}

namespace {

void WriteClipActions(BitWriter& w, const std::vector<ClipAction>& actions) {
  uint32_t all = 0;
  for (const ClipAction& a : actions) all |= a.events;
  w.UI16(0);
  w.UI32(all);
  for (const ClipAction& a : actions) {
    if (a.events == 0) throw std::invalid_argument("a clip action answers no event");
    const bool key = (a.events & clipevent::kKeyPress) != 0;
    w.UI32(a.events);
    w.UI32(static_cast<uint32_t>(a.actions.size() + (key ? 1 : 0)));
    if (key) w.UI8(a.keyCode);
    w.Append(a.actions);
  }
  w.UI32(0);
}

}  // namespace

void TagWriter::Place(const PlaceObject& p) {
  if (p.hasVisible) throw std::invalid_argument("the writer writes no visibility");
  uint8_t flags = 0;
  if (p.hasClipDepth) flags |= placeflag::kHasClipDepth;
  if (p.hasName) flags |= placeflag::kHasName;
  if (p.hasRatio) flags |= placeflag::kHasRatio;
  if (p.hasColorTransform) flags |= placeflag::kHasColorTransform;
  if (p.hasMatrix) flags |= placeflag::kHasMatrix;
  if (p.hasCharacter) flags |= placeflag::kHasCharacter;
  if (p.move) flags |= placeflag::kMove;
  if (!p.clipActions.empty()) flags |= placeflag::kHasClipActions;
  uint8_t flags2 = 0;
  if (p.hasOpaqueBackground) flags2 |= placeflag::kHasOpaqueBackground;
  if (p.hasBlendMode) flags2 |= placeflag::kHasBlendMode;
  if (p.hasFilters) flags2 |= placeflag::kHasFilters;
  if (p.hasCacheAsBitmap) flags2 |= placeflag::kHasCacheAsBitmap;
  BitWriter w;
  w.UI8(flags);
  if (flags2 != 0) w.UI8(flags2);
  w.UI16(p.depth);
  if (p.hasCharacter) w.UI16(p.characterId);
  if (p.hasMatrix) w.MatrixField(p.matrix);
  if (p.hasColorTransform) w.ColorTransformField(p.colorTransform);
  if (p.hasRatio) w.UI16(p.ratio);
  if (p.hasName) w.String(p.name);
  if (p.hasClipDepth) w.UI16(p.clipDepth);
  if (p.hasFilters) WriteFilterList(w, p.filters);
  if (p.hasBlendMode) w.UI8(static_cast<uint8_t>(p.blendMode));
  if (p.hasCacheAsBitmap) w.UI8(p.cacheAsBitmap ? 1 : 0);
  if (p.hasOpaqueBackground) w.RgbaColour(p.opaqueBackground);
  if (!p.clipActions.empty()) WriteClipActions(w, p.clipActions);
  Raw(flags2 != 0 ? tag::kPlaceObject3 : tag::kPlaceObject2, w.Data());
}

void TagWriter::Remove(uint16_t depth) {
  BitWriter w;
  w.UI16(depth);
  Raw(tag::kRemoveObject2, w.Data());
}

void TagWriter::FrameLabel(const std::string& name) {
  BitWriter w;
  w.String(name);
  Raw(tag::kFrameLabel, w.Data());
}

void TagWriter::DoAction(const Bytes& actions) { Raw(tag::kDoAction, actions); }

void TagWriter::DoInitAction(uint16_t spriteId, const Bytes& actions) {
  BitWriter w;
  w.UI16(spriteId);
  w.Append(actions);
  Raw(tag::kDoInitAction, w.Data());
}

void TagWriter::ExportAssets(const std::vector<std::pair<uint16_t, std::string>>& names) {
  BitWriter w;
  w.UI16(static_cast<uint16_t>(names.size()));
  for (const auto& [id, name] : names) {
    w.UI16(id);
    w.String(name);
  }
  Raw(tag::kExportAssets, w.Data());
}

void TagWriter::DoAction(const ActionBuilder& actions) {
  Raw(tag::kDoAction, actions.TagBody());
}

void TagWriter::ShowFrame() {
  if (frames_ == 0xFFFF) throw std::length_error("too many frames");
  Raw(tag::kShowFrame, {});
  ++frames_;
}

// --- MovieWriter -------------------------------------------------------------

MovieWriter::MovieWriter(const Rect& stage, double framesPerSecond, uint8_t version)
    : stage_(stage), framesPerSecond_(framesPerSecond), version_(version) {}

Bytes MovieWriter::Finish(Compression compression) const {
  BitWriter body;
  body.RectField(stage_);
  // 8.8 fixed point: the whole frames in the high byte.
  body.UI16(static_cast<uint16_t>(
      std::clamp<long>(std::lround(framesPerSecond_ * 256.0), 0, 0xFFFF)));
  body.UI16(timeline_.FrameCount());
  Bytes tags;
  if (version_ >= 8) AppendTag(tags, tag::kFileAttributes, {0, 0, 0, 0});
  tags.insert(tags.end(), timeline_.Data().begin(), timeline_.Data().end());
  AppendTag(tags, tag::kEnd, {});
  body.Append(tags);
  const Bytes& rest = body.Data();

  BitWriter file;
  file.UI8(compression == Compression::kZlib ? 'C' : 'F');
  file.UI8('W');
  file.UI8('S');
  file.UI8(version_);
  // Always the uncompressed length of the whole file, header included.
  file.UI32(static_cast<uint32_t>(8 + rest.size()));
  Bytes out = file.Data();
  if (compression == Compression::kNone) {
    out.insert(out.end(), rest.begin(), rest.end());
    return out;
  }
  uLongf packedSize = compressBound(static_cast<uLong>(rest.size()));
  Bytes packed(packedSize);
  if (compress2(packed.data(), &packedSize, rest.data(), static_cast<uLong>(rest.size()),
                Z_BEST_COMPRESSION) != Z_OK)
    throw std::runtime_error("zlib compression failed");
  out.insert(out.end(), packed.begin(), packed.begin() + packedSize);
  return out;
}

}  // namespace velmora::swf
