#include "player/swf/ShapeParser.h"

#include "player/swf/TagCodes.h"

namespace velmora::swf {
namespace {

Rgba ReadColor(BitReader& in, int shapeVersion) {
  return shapeVersion >= 3 ? in.ReadRgba() : in.ReadRgb();
}

uint32_t ReadCount(BitReader& in, int shapeVersion) {
  uint32_t count = in.U8();
  if (count == 0xFF && shapeVersion >= 2) count = in.U16();
  return count;
}

void ReadGradient(BitReader& in, int shapeVersion, bool focal, Gradient& g) {
  in.Align();
  g.spread = static_cast<SpreadMode>(in.Bits(2));
  if (static_cast<int>(g.spread) > 2) g.spread = SpreadMode::Pad;
  g.interpolation = in.Bits(2) == 1 ? Interpolation::LinearRgb : Interpolation::Rgb;
  unsigned count = in.Bits(4);
  for (unsigned i = 0; i < count && in.Ok(); ++i) {
    GradientStop stop;
    stop.ratio = in.U8();
    stop.color = ReadColor(in, shapeVersion);
    g.stops.push_back(stop);
  }
  if (focal) g.focalPoint = std::clamp(in.Fixed8(), -1.0, 1.0);
}

bool SetFillKind(uint8_t type, FillStyle& fill) {
  switch (type) {
    case filltype::kSolid: fill.kind = FillKind::Solid; return true;
    case filltype::kLinearGradient: fill.kind = FillKind::LinearGradient; return true;
    case filltype::kRadialGradient: fill.kind = FillKind::RadialGradient; return true;
    case filltype::kFocalGradient: fill.kind = FillKind::FocalGradient; return true;
    case filltype::kBitmap:
    case filltype::kBitmap | filltype::kBitmapClippedBit:
    case filltype::kBitmap | filltype::kBitmapUnsmoothedBit:
    case filltype::kBitmap | filltype::kBitmapClippedBit | filltype::kBitmapUnsmoothedBit:
      fill.kind = FillKind::Bitmap;
      fill.bitmapRepeat = (type & filltype::kBitmapClippedBit) == 0;
      fill.bitmapSmooth = (type & filltype::kBitmapUnsmoothedBit) == 0;
      return true;
    default: return false;
  }
}

void ReadLineStyle(BitReader& in, int shapeVersion, LineStyle& line) {
  line.width = in.U16();
  if (shapeVersion < 4) {
    line.color = ReadColor(in, shapeVersion);
    return;
  }
  line.startCap = static_cast<CapStyle>(std::min<uint32_t>(in.Bits(2), 2));
  line.join = static_cast<JoinStyle>(std::min<uint32_t>(in.Bits(2), 2));
  line.hasFill = in.Flag();
  in.Bits(3);  // horizontal/vertical scaling and pixel hinting
  in.Bits(5);
  line.noClose = in.Flag();
  line.endCap = static_cast<CapStyle>(std::min<uint32_t>(in.Bits(2), 2));
  if (line.join == JoinStyle::Miter) line.miterLimit = in.Fixed8();
  if (line.hasFill)
    line.fill = ReadFillStyle(in, shapeVersion);
  else
    line.color = in.ReadRgba();
}

struct MorphFillPair {
  FillStyle start, end;
};

void ReadMorphGradient(BitReader& in, Gradient& start, Gradient& end) {
  uint8_t header = in.U8();
  start.spread = end.spread = static_cast<SpreadMode>(std::min(header >> 6, 2));
  start.interpolation = end.interpolation =
      ((header >> 4) & 3) == 1 ? Interpolation::LinearRgb : Interpolation::Rgb;
  unsigned count = header & 0x0F;
  for (unsigned i = 0; i < count && in.Ok(); ++i) {
    GradientStop s, e;
    s.ratio = in.U8();
    s.color = in.ReadRgba();
    e.ratio = in.U8();
    e.color = in.ReadRgba();
    start.stops.push_back(s);
    end.stops.push_back(e);
  }
}

MorphFill ReadMorphFill(BitReader& in) {
  MorphFill f;
  uint8_t type = in.U8();
  if (!SetFillKind(type, f.start)) {
    in.Fail();
    return f;
  }
  f.end.kind = f.start.kind;
  f.end.bitmapRepeat = f.start.bitmapRepeat;
  f.end.bitmapSmooth = f.start.bitmapSmooth;
  if (f.start.kind == FillKind::Solid) {
    f.start.color = in.ReadRgba();
    f.end.color = in.ReadRgba();
  } else if (f.start.kind == FillKind::Bitmap) {
    f.start.bitmapId = f.end.bitmapId = in.U16();
    f.start.matrix = in.ReadMatrix();
    f.end.matrix = in.ReadMatrix();
  } else {
    f.start.matrix = in.ReadMatrix();
    f.end.matrix = in.ReadMatrix();
    ReadMorphGradient(in, f.start.gradient, f.end.gradient);
    if (f.start.kind == FillKind::FocalGradient) {
      f.start.gradient.focalPoint = std::clamp(in.Fixed8(), -1.0, 1.0);
      f.end.gradient.focalPoint = std::clamp(in.Fixed8(), -1.0, 1.0);
    }
  }
  return f;
}

MorphLine ReadMorphLine(BitReader& in, int morphVersion) {
  MorphLine l;
  l.start.width = in.U16();
  l.end.width = in.U16();
  if (morphVersion < 2) {
    l.start.color = in.ReadRgba();
    l.end.color = in.ReadRgba();
    return l;
  }
  l.start.startCap = static_cast<CapStyle>(std::min<uint32_t>(in.Bits(2), 2));
  l.start.join = static_cast<JoinStyle>(std::min<uint32_t>(in.Bits(2), 2));
  l.start.hasFill = in.Flag();
  in.Bits(3);
  in.Bits(5);
  l.start.noClose = in.Flag();
  l.start.endCap = static_cast<CapStyle>(std::min<uint32_t>(in.Bits(2), 2));
  if (l.start.join == JoinStyle::Miter) l.start.miterLimit = in.Fixed8();
  if (l.start.hasFill) {
    MorphFill f = ReadMorphFill(in);
    l.start.fill = f.start;
    l.end.fill = f.end;
  } else {
    l.start.color = in.ReadRgba();
    l.end.color = in.ReadRgba();
  }
  uint16_t endWidth = l.end.width;
  Rgba endColor = l.end.color;
  FillStyle endFill = l.end.fill;
  l.end = l.start;
  l.end.width = endWidth;
  l.end.color = endColor;
  l.end.fill = endFill;
  return l;
}

// Guards against records that claim millions of styles in a few bytes: each
// style needs at least one byte.
bool CountFits(BitReader& in, uint32_t count) { return count <= in.Remaining(); }

}  // namespace

FillStyle ReadFillStyle(BitReader& in, int shapeVersion) {
  FillStyle fill;
  uint8_t type = in.U8();
  if (!SetFillKind(type, fill)) {
    in.Fail();
    return fill;
  }
  switch (fill.kind) {
    case FillKind::Solid:
      fill.color = ReadColor(in, shapeVersion);
      break;
    case FillKind::Bitmap:
      fill.bitmapId = in.U16();
      fill.matrix = in.ReadMatrix();
      break;
    default:
      fill.matrix = in.ReadMatrix();
      ReadGradient(in, shapeVersion, fill.kind == FillKind::FocalGradient, fill.gradient);
  }
  return fill;
}

StyleTable ReadStyleTable(BitReader& in, int shapeVersion) {
  StyleTable table;
  uint32_t fills = ReadCount(in, shapeVersion);
  if (!CountFits(in, fills)) {
    in.Fail();
    return table;
  }
  for (uint32_t i = 0; i < fills && in.Ok(); ++i) table.fills.push_back(ReadFillStyle(in, shapeVersion));
  uint32_t lines = in.U8();
  if (lines == 0xFF) lines = in.U16();
  if (!CountFits(in, lines)) {
    in.Fail();
    return table;
  }
  for (uint32_t i = 0; i < lines && in.Ok(); ++i) {
    LineStyle line;
    ReadLineStyle(in, shapeVersion, line);
    table.lines.push_back(line);
  }
  return table;
}

void ReadShapeRecords(BitReader& in, int shapeVersion, Shape& shape) {
  in.Align();
  unsigned fillBits = in.Bits(4);
  unsigned lineBits = in.Bits(4);
  Point pen;
  while (in.Ok()) {
    ShapeRecord rec;
    if (!in.Flag()) {
      unsigned flags = in.Bits(5);
      if (!in.Ok() || flags == 0) break;
      rec.kind = ShapeRecord::Kind::StyleChange;
      rec.hasNewStyles = (flags & 0x10) != 0;
      rec.hasLine = (flags & 0x08) != 0;
      rec.hasFill1 = (flags & 0x04) != 0;
      rec.hasFill0 = (flags & 0x02) != 0;
      rec.hasMove = (flags & 0x01) != 0;
      if (rec.hasMove) {
        unsigned bits = in.Bits(5);
        pen.x = in.SignedBits(bits);
        pen.y = in.SignedBits(bits);
      }
      if (rec.hasFill0) rec.fill0 = in.Bits(fillBits);
      if (rec.hasFill1) rec.fill1 = in.Bits(fillBits);
      if (rec.hasLine) rec.line = in.Bits(lineBits);
      // Shape version 1 has no new styles; the flag then ends the shape.
      if (rec.hasNewStyles) {
        if (shapeVersion < 2) break;
        shape.styleTables.push_back(ReadStyleTable(in, shapeVersion));
        rec.newStylesIndex = static_cast<uint32_t>(shape.styleTables.size() - 1);
        in.Align();
        fillBits = in.Bits(4);
        lineBits = in.Bits(4);
      }
      rec.anchor = pen;
    } else if (in.Flag()) {
      unsigned bits = in.Bits(4) + 2;
      rec.kind = ShapeRecord::Kind::Line;
      if (in.Flag()) {
        pen.x += in.SignedBits(bits);
        pen.y += in.SignedBits(bits);
      } else if (in.Flag()) {
        pen.y += in.SignedBits(bits);
      } else {
        pen.x += in.SignedBits(bits);
      }
      rec.anchor = pen;
    } else {
      unsigned bits = in.Bits(4) + 2;
      rec.kind = ShapeRecord::Kind::Curve;
      rec.control = {pen.x + in.SignedBits(bits), pen.y + in.SignedBits(bits)};
      pen = {rec.control.x + in.SignedBits(bits), rec.control.y + in.SignedBits(bits)};
      rec.anchor = pen;
    }
    if (!in.Ok()) break;
    shape.records.push_back(rec);
  }
}

bool ReadShape(BitReader& in, int shapeVersion, Shape& shape) {
  shape.bounds = in.ReadRect();
  if (shapeVersion >= 4) {
    in.ReadRect();  // edge bounds
    uint8_t flags = in.U8();
    shape.nonZeroWinding = (flags & 0x04) != 0;
  }
  shape.styleTables.push_back(ReadStyleTable(in, shapeVersion));
  if (!in.Ok()) return false;
  ReadShapeRecords(in, shapeVersion, shape);
  return true;
}

bool ReadMorphShape(BitReader& in, int morphVersion, MorphShape& morph) {
  morph.startBounds = in.ReadRect();
  morph.endBounds = in.ReadRect();
  if (morphVersion >= 2) {
    in.ReadRect();
    in.ReadRect();
    in.U8();
  }
  uint32_t offset = in.U32();
  size_t endEdgesAt = in.Position() + offset;
  uint32_t fills = in.U8();
  if (fills == 0xFF) fills = in.U16();
  if (!CountFits(in, fills)) return false;
  for (uint32_t i = 0; i < fills && in.Ok(); ++i) morph.fills.push_back(ReadMorphFill(in));
  uint32_t lines = in.U8();
  if (lines == 0xFF) lines = in.U16();
  if (!CountFits(in, lines)) return false;
  for (uint32_t i = 0; i < lines && in.Ok(); ++i) morph.lines.push_back(ReadMorphLine(in, morphVersion));
  if (!in.Ok()) return false;

  Shape start;
  ReadShapeRecords(in, 3, start);
  morph.startRecords = std::move(start.records);
  if (endEdgesAt < in.Size()) {
    BitReader end(in.Data() + endEdgesAt, in.Size() - endEdgesAt);
    Shape endShape;
    ReadShapeRecords(end, 3, endShape);
    morph.endRecords = std::move(endShape.records);
  }
  return !morph.startRecords.empty();
}

}  // namespace velmora::swf
