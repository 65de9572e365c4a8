// The writer's filters, buttons and pictures (the rest is in SwfWriter.cpp).
#include "player/swf/SwfWriter.h"

#include <zlib.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace velmora::swf {
namespace {

void Fixed16Field(BitWriter& w, double value) { w.UI32(static_cast<uint32_t>(ToFixed16(value))); }

// 8.8 fixed point, rounded to nearest.
void Fixed8Field(BitWriter& w, double value) {
  const long v = std::lround(value * 256.0);
  if (v < std::numeric_limits<int16_t>::min() || v > std::numeric_limits<int16_t>::max())
    throw std::out_of_range("filter strength out of range");
  w.UI16(static_cast<uint16_t>(static_cast<int16_t>(v)));
}

void FloatField(BitWriter& w, float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  w.UI32(bits);
}

void PassesField(BitWriter& w, int passes, unsigned bits) {
  if (passes < 0 || passes >= (1 << bits)) throw std::out_of_range("filter passes out of range");
  w.UBits(static_cast<uint32_t>(passes), bits);
}

// Strength, the flags and the passes that end the shadow-like filters.
void FilterFlags(BitWriter& w, const Filter& f, bool withOnTop, unsigned passBits) {
  Fixed8Field(w, f.strength);
  w.UBits(f.inner, 1);
  w.UBits(f.knockout, 1);
  w.UBits(f.compositeSource, 1);
  if (withOnTop) w.UBits(f.onTop, 1);
  PassesField(w, f.passes, passBits);
  w.Align();
}

void WriteFilter(BitWriter& w, const Filter& f) {
  w.UI8(static_cast<uint8_t>(f.kind));
  auto blur = [&] {
    Fixed16Field(w, f.blurX);
    Fixed16Field(w, f.blurY);
  };
  auto angleAndDistance = [&] {
    Fixed16Field(w, f.angle);
    Fixed16Field(w, f.distance);
  };
  switch (f.kind) {
    case FilterKind::DropShadow:
      w.RgbaColour(f.color);
      blur();
      angleAndDistance();
      FilterFlags(w, f, false, 5);
      return;
    case FilterKind::Blur:
      blur();
      PassesField(w, f.passes, 5);
      w.UBits(0, 3);
      w.Align();
      return;
    case FilterKind::Glow:
      w.RgbaColour(f.color);
      blur();
      FilterFlags(w, f, false, 5);
      return;
    case FilterKind::Bevel:
      w.RgbaColour(f.color);
      w.RgbaColour(f.highlight);
      blur();
      angleAndDistance();
      FilterFlags(w, f, true, 4);
      return;
    case FilterKind::GradientGlow:
    case FilterKind::GradientBevel:
      if (f.gradient.size() > 255) throw std::length_error("too many gradient colours");
      w.UI8(static_cast<uint8_t>(f.gradient.size()));
      for (const GradientStop& stop : f.gradient) w.RgbaColour(stop.color);
      for (const GradientStop& stop : f.gradient) w.UI8(stop.ratio);
      blur();
      angleAndDistance();
      FilterFlags(w, f, true, 4);
      return;
    case FilterKind::ColorMatrix:
      for (float v : f.colorMatrix) FloatField(w, v);
      return;
    default:
      throw std::invalid_argument("the writer writes no convolution filters");
  }
}

uint8_t RecordFlags(const ButtonRecord& r, bool withEffects) {
  uint8_t flags = 0;
  if (r.up) flags |= buttonflag::kStateUp;
  if (r.over) flags |= buttonflag::kStateOver;
  if (r.down) flags |= buttonflag::kStateDown;
  if (r.hitTest) flags |= buttonflag::kStateHitTest;
  if (withEffects && !r.filters.empty()) flags |= buttonflag::kHasFilterList;
  if (withEffects && r.blendMode != BlendMode::Normal) flags |= buttonflag::kHasBlendMode;
  // A record of no state would read as the end of the records.
  if ((flags & 0x0F) == 0) throw std::invalid_argument("a button record shows in no state");
  return flags;
}

void WriteRecords(BitWriter& w, const Button& button, bool withEffects) {
  for (const ButtonRecord& r : button.records) {
    const uint8_t flags = RecordFlags(r, withEffects);
    w.UI8(flags);
    w.UI16(r.characterId);
    w.UI16(r.depth);
    w.MatrixField(r.matrix);
    if (!withEffects) continue;
    w.ColorTransformField(r.colorTransform);
    if (flags & buttonflag::kHasFilterList) WriteFilterList(w, r.filters);
    if (flags & buttonflag::kHasBlendMode) w.UI8(static_cast<uint8_t>(r.blendMode));
  }
  w.UI8(0);  // end of the records
}

Bytes Compress(const Bytes& data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  Bytes packed(size);
  if (compress2(packed.data(), &size, data.data(), static_cast<uLong>(data.size()), Z_BEST_COMPRESSION) != Z_OK)
    throw std::runtime_error("zlib compression failed");
  packed.resize(size);
  return packed;
}

}  // namespace

void WriteFilterList(BitWriter& w, const std::vector<Filter>& filters) {
  if (filters.size() > 255) throw std::length_error("too many filters");
  w.UI8(static_cast<uint8_t>(filters.size()));
  for (const Filter& f : filters) WriteFilter(w, f);
}

void TagWriter::DefineButton(uint16_t characterId, const Button& button) {
  BitWriter w;
  w.UI16(characterId);
  WriteRecords(w, button, false);
  if (!button.conditions.empty()) w.Append(button.conditions.front().actions);
  Raw(tag::kDefineButton, w.Data());
}

void TagWriter::DefineButton2(uint16_t characterId, const Button& button) {
  BitWriter records;
  WriteRecords(records, button, true);
  BitWriter w;
  w.UI16(characterId);
  w.UI8(button.trackAsMenu ? buttonflag::kTrackAsMenu : 0);
  // The offset counts from its own field: its two bytes, then the records.
  const size_t offset = button.conditions.empty() ? 0 : 2 + records.Data().size();
  if (offset > 0xFFFF) throw std::length_error("button records too long");
  w.UI16(static_cast<uint16_t>(offset));
  w.Append(records.Data());
  for (size_t i = 0; i < button.conditions.size(); ++i) {
    const ButtonCondition& c = button.conditions[i];
    const bool last = i + 1 == button.conditions.size();
    const size_t size = 4 + c.actions.size();
    if (size > 0xFFFF) throw std::length_error("button actions too long");
    w.UI16(last ? 0 : static_cast<uint16_t>(size));
    w.UI8(static_cast<uint8_t>(c.conditions >> 8));
    w.UI8(static_cast<uint8_t>(c.conditions));
    w.Append(c.actions);
  }
  Raw(tag::kDefineButton2, w.Data());
}

void TagWriter::DefineButtonCxform(uint16_t characterId, const ColorTransform& t) {
  // The alpha-free form: both parts, in the bits the widest value needs.
  const int32_t values[] = {t.rMult, t.gMult, t.bMult, t.rAdd, t.gAdd, t.bAdd};
  unsigned bits = 1;
  for (int32_t v : values) bits = std::max(bits, SignedBitsNeeded(v));
  if (bits > 15) throw std::out_of_range("colour transform value too large");
  BitWriter w;
  w.UI16(characterId);
  w.UBits(1, 1);  // has add
  w.UBits(1, 1);  // has mult
  w.UBits(bits, 4);
  for (int32_t v : {t.rMult, t.gMult, t.bMult, t.rAdd, t.gAdd, t.bAdd}) w.SBits(v, bits);
  w.Align();
  Raw(tag::kDefineButtonCxform, w.Data());
}

void TagWriter::DefineBitsJpeg2(uint16_t characterId, const Bytes& picture) {
  BitWriter w;
  w.UI16(characterId);
  w.Append(picture);
  Raw(tag::kDefineBitsJpeg2, w.Data());
}

void TagWriter::DefineBitsJpeg3(uint16_t characterId, const Bytes& jpeg, const Bytes& alpha) {
  BitWriter w;
  w.UI16(characterId);
  w.UI32(static_cast<uint32_t>(jpeg.size()));
  w.Append(jpeg);
  w.Append(Compress(alpha));
  Raw(tag::kDefineBitsJpeg3, w.Data());
}

}  // namespace velmora::swf
