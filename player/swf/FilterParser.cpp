#include "player/swf/FilterParser.h"

namespace velmora::swf {
namespace {

// The gradient glow's and bevel's colours, then their ratios.
void ReadFilterGradient(BitReader& in, Filter& f) {
  const unsigned count = in.U8();
  f.gradient.resize(count);
  for (GradientStop& stop : f.gradient) stop.color = in.ReadRgba();
  for (GradientStop& stop : f.gradient) stop.ratio = in.U8();
}

}  // namespace

std::vector<Filter> ReadFilters(BitReader& in) {
  std::vector<Filter> filters;
  unsigned count = in.U8();
  for (unsigned i = 0; i < count && in.Ok(); ++i) {
    Filter f;
    f.kind = static_cast<FilterKind>(in.U8());
    // The filters share their fields' order: colours, blur sizes, angle and
    // distance where they have them, strength, then the flags and passes.
    auto blur = [&] {
      f.blurX = in.Fixed16();
      f.blurY = in.Fixed16();
    };
    auto flags = [&](bool withOnTop, unsigned passBits) {
      f.strength = in.Fixed8();
      f.inner = in.Flag();
      f.knockout = in.Flag();
      f.compositeSource = in.Flag();
      if (withOnTop) f.onTop = in.Flag();
      f.passes = static_cast<int>(in.Bits(passBits));
    };
    switch (f.kind) {
      case FilterKind::DropShadow:
        f.color = in.ReadRgba();
        blur();
        f.angle = in.Fixed16();
        f.distance = in.Fixed16();
        flags(false, 5);
        break;
      case FilterKind::Blur:
        blur();
        f.passes = static_cast<int>(in.Bits(5));
        in.Bits(3);
        break;
      case FilterKind::Glow:
        f.color = in.ReadRgba();
        blur();
        flags(false, 5);
        break;
      case FilterKind::Bevel:
        f.color = in.ReadRgba();
        f.highlight = in.ReadRgba();
        blur();
        f.angle = in.Fixed16();
        f.distance = in.Fixed16();
        flags(true, 4);
        break;
      case FilterKind::GradientGlow:
      case FilterKind::GradientBevel:
        ReadFilterGradient(in, f);
        blur();
        f.angle = in.Fixed16();
        f.distance = in.Fixed16();
        flags(true, 4);
        break;
      case FilterKind::Convolution: {
        unsigned x = in.U8(), y = in.U8();
        in.Skip(8 + 4u * x * y + 4 + 1);
        break;
      }
      case FilterKind::ColorMatrix:
        for (float& v : f.colorMatrix) v = in.Float();
        break;
      default:
        in.Fail();
    }
    in.Align();
    if (in.Ok()) filters.push_back(std::move(f));
  }
  return filters;
}

BlendMode ReadBlendMode(BitReader& in) {
  const uint8_t mode = in.U8();
  const bool known = mode >= static_cast<uint8_t>(BlendMode::Normal) &&
                     mode <= static_cast<uint8_t>(BlendMode::Hardlight);
  return known ? static_cast<BlendMode>(mode) : BlendMode::Normal;
}

}  // namespace velmora::swf
