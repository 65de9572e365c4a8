#include "player/swf/SwfWriter.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace velmora::swf {
namespace {

// Reads back what the writer packs, independently of its code.
class BitReader {
 public:
  BitReader(const Bytes& bytes, size_t start) : bytes_(bytes), bit_(start * 8) {}

  uint32_t U(unsigned count) {
    uint32_t v = 0;
    for (unsigned i = 0; i < count; ++i, ++bit_) {
      if (bit_ / 8 >= bytes_.size()) throw std::out_of_range("read past the end");
      v = v << 1 | ((bytes_[bit_ / 8] >> (7 - bit_ % 8)) & 1u);
    }
    return v;
  }
  int32_t S(unsigned count) {
    if (count == 0) return 0;
    const uint32_t v = U(count);
    const uint32_t sign = 1u << (count - 1);
    return static_cast<int32_t>((v ^ sign) - sign);
  }
  void Align() { bit_ = (bit_ + 7) / 8 * 8; }
  size_t BytePos() const { return (bit_ + 7) / 8; }
  uint16_t UI16() {
    Align();
    const uint16_t v = static_cast<uint16_t>(bytes_.at(bit_ / 8) | bytes_.at(bit_ / 8 + 1) << 8);
    bit_ += 16;
    return v;
  }
  uint32_t UI32() {
    const uint32_t low = UI16();
    return low | static_cast<uint32_t>(UI16()) << 16;
  }
  void Skip(size_t bytes) {
    Align();
    bit_ += bytes * 8;
  }

 private:
  const Bytes& bytes_;
  size_t bit_;
};

struct TagRecord {
  uint16_t code;
  size_t bodyStart, length;
};

std::vector<TagRecord> ReadTags(const Bytes& data, size_t start, size_t end) {
  std::vector<TagRecord> tags;
  BitReader r(data, start);
  while (r.BytePos() < end) {
    const uint16_t header = r.UI16();
    uint32_t length = header & 0x3F;
    if (length == 0x3F) length = r.UI32();
    tags.push_back({static_cast<uint16_t>(header >> 6), r.BytePos(), length});
    r.Skip(length);
  }
  EXPECT_EQ(r.BytePos(), end) << "tag lengths overrun the data";
  return tags;
}

// Offset of the first tag in an uncompressed file: after the stage RECT,
// frame rate and frame count.
size_t FirstTagOffset(const Bytes& file) {
  BitReader r(file, 8);
  const unsigned bits = r.U(5);
  r.U(bits * 4);
  r.Align();
  return r.BytePos() + 4;
}

TEST(SwfBits, RectPacksFiveBitCountThenFourFieldsMostSignificantFirst) {
  // 550 x 400 pixels: 15 bits each (11000 needs 14 plus the sign), 65 bits.
  BitWriter stage;
  stage.RectField({0, 11000, 0, 8000});
  EXPECT_EQ(stage.Data(), (Bytes{0x78, 0x00, 0x05, 0x5F, 0x00, 0x00, 0x0F, 0xA0, 0x00}));

  // 00011 111 010 000 011 -> 0001 1111 | 0100 0001 | 1000 0000
  BitWriter small;
  small.RectField({-1, 2, 0, 3});
  EXPECT_EQ(small.Data(), (Bytes{0x1F, 0x41, 0x80}));
}

TEST(SwfBits, NegativeNumbersNeedTheirComplementsBitsPlusSign) {
  EXPECT_EQ(SignedBitsNeeded(-1), 1u);
  EXPECT_EQ(SignedBitsNeeded(-2), 2u);
  EXPECT_EQ(SignedBitsNeeded(-3), 3u);
  EXPECT_EQ(SignedBitsNeeded(-4), 3u);
  EXPECT_EQ(SignedBitsNeeded(-5), 4u);
  EXPECT_EQ(SignedBitsNeeded(-128), 8u);
  EXPECT_EQ(SignedBitsNeeded(-129), 9u);
  EXPECT_EQ(SignedBitsNeeded(INT32_MIN), 32u);
  EXPECT_EQ(SignedBitsNeeded(1), 2u);
  EXPECT_EQ(SignedBitsNeeded(127), 8u);
  EXPECT_EQ(SignedBitsNeeded(128), 9u);

  BitWriter w;
  w.SBits(-3, 3);  // 101
  w.SBits(-4, 3);  // 100
  EXPECT_EQ(w.Data(), (Bytes{0xB0}));
  EXPECT_THROW(w.SBits(-5, 3), std::out_of_range);
  EXPECT_THROW(w.SBits(4, 3), std::out_of_range);
}

TEST(SwfBits, TranslationMatrixLeavesOutScaleAndRotation) {
  // 0 (no scale) 0 (no rotation) 00110, 20 = 010100, -20 = 101100
  BitWriter w;
  w.MatrixField(Matrix::Translate(20, -20));
  EXPECT_EQ(w.Data(), (Bytes{0x0C, 0xA5, 0x80}));
}

TEST(SwfBits, ByteValuesAfterBitFieldsStartOnTheNextByte) {
  BitWriter w;
  w.UBits(1, 1);
  w.UI16(0x1234);
  w.String("ab");
  EXPECT_EQ(w.Data(), (Bytes{0x80, 0x34, 0x12, 'a', 'b', 0}));
}

TEST(SwfBits, ColorTransformKeepsAlphaMultiplierInEightDotEight) {
  BitWriter w;
  w.ColorTransformField(ColorTransform::Alpha(0.5));
  BitReader r(w.Data(), 0);
  EXPECT_EQ(r.U(1), 0u);  // no add terms
  EXPECT_EQ(r.U(1), 1u);  // multiply terms
  const unsigned bits = r.U(4);
  EXPECT_EQ(bits, 10u);  // 256 needs 9 bits plus the sign
  EXPECT_EQ(r.S(bits), 256);
  EXPECT_EQ(r.S(bits), 256);
  EXPECT_EQ(r.S(bits), 256);
  EXPECT_EQ(r.S(bits), 128);
}

TEST(SwfTags, ShortHeaderUpTo62BytesLongFormFrom63) {
  Bytes shortTag;
  AppendTag(shortTag, tag::kDoAction, Bytes(62, 0xAA));
  ASSERT_EQ(shortTag.size(), 2u + 62u);
  EXPECT_EQ(shortTag[0], 0x3E);  // 12 << 6 | 62 = 0x033E
  EXPECT_EQ(shortTag[1], 0x03);
  EXPECT_EQ(shortTag[2], 0xAA);

  Bytes longTag;
  AppendTag(longTag, tag::kDoAction, Bytes(63, 0xAA));
  ASSERT_EQ(longTag.size(), 6u + 63u);
  EXPECT_EQ(longTag[0], 0x3F);
  EXPECT_EQ(longTag[1], 0x03);
  EXPECT_EQ((Bytes{longTag.begin() + 2, longTag.begin() + 6}), (Bytes{63, 0, 0, 0}));
  EXPECT_EQ(longTag[6], 0xAA);
}

TEST(SwfTags, PlacementsTheWriterCannotWriteAreRefused) {
  TagWriter t;
  PlaceObject visible;
  visible.hasVisible = true;
  EXPECT_THROW(t.Place(visible), std::invalid_argument);
  PlaceObject convolved;
  convolved.hasFilters = true;
  convolved.filters.resize(1);
  convolved.filters[0].kind = FilterKind::Convolution;
  EXPECT_THROW(t.Place(convolved), std::invalid_argument);
  PlaceObject far;
  far.hasMatrix = true;
  far.matrix = Matrix::Translate(3e9, 0);
  EXPECT_THROW(t.Place(far), std::out_of_range);
  EXPECT_TRUE(t.Data().empty());
}

MovieWriter SampleMovie() {
  MovieWriter movie({0, 1920 * 20, 0, 1080 * 20}, 30);
  TagWriter& t = movie.Timeline();
  t.SetBackgroundColor({10, 20, 30});
  ShapeBuilder shape;
  shape.AddRadialGradient(Matrix::ScaleRotateTranslate(0.05, 0.05, 0, 2000, 2000),
                          {{0, {255, 255, 255, 255}}, {255, {0, 0, 0, 0}}});
  shape.SelectStyles(0, 1, 0);
  shape.Ellipse(2000, 2000, 800, 800);
  t.DefineShape(1, shape);

  TagWriter sprite;
  PlaceObject first;
  first.depth = 1;
  first.hasCharacter = true;
  first.characterId = 1;
  first.hasMatrix = true;
  sprite.Place(first);
  sprite.ShowFrame();
  sprite.ShowFrame();
  sprite.ShowFrame();
  t.DefineSprite(2, sprite);

  for (int i = 0; i < 5; ++i) {
    PlaceObject p;
    p.depth = 1;
    p.move = i > 0;
    p.hasCharacter = i == 0;
    p.characterId = 2;
    p.hasMatrix = p.hasColorTransform = true;
    p.matrix = Matrix::ScaleRotateTranslate(1 + i * 0.1, 1, i * 0.2, i * 100, -i * 100);
    p.colorTransform = ColorTransform::Alpha(1 - i * 0.1);
    t.Place(p);
    if (i == 4) t.DoAction(ActionBuilder().GotoFrame(0).Play());
    t.ShowFrame();
  }
  return movie;
}

TEST(SwfMovie, CompressedFileInflatesToTheUncompressedOne) {
  const MovieWriter movie = SampleMovie();
  const Bytes plain = movie.Finish(Compression::kNone);
  const Bytes packed = movie.Finish(Compression::kZlib);

  ASSERT_GE(plain.size(), 8u);
  EXPECT_EQ((Bytes{plain.begin(), plain.begin() + 3}), (Bytes{'F', 'W', 'S'}));
  BitReader plainHeader(plain, 4);
  EXPECT_EQ(plainHeader.UI32(), plain.size());

  ASSERT_GE(packed.size(), 8u);
  EXPECT_EQ((Bytes{packed.begin(), packed.begin() + 3}), (Bytes{'C', 'W', 'S'}));
  EXPECT_EQ(packed[3], plain[3]);
  BitReader packedHeader(packed, 4);
  const uint32_t declared = packedHeader.UI32();
  ASSERT_GT(declared, 8u);

  // One byte more room than declared shows whether the body is longer.
  Bytes body(declared - 8 + 1);
  uLongf bodySize = static_cast<uLongf>(body.size());
  ASSERT_EQ(uncompress(body.data(), &bodySize, packed.data() + 8,
                       static_cast<uLong>(packed.size() - 8)),
            Z_OK);
  EXPECT_EQ(bodySize + 8, declared);
  body.resize(bodySize);
  EXPECT_EQ(body, (Bytes{plain.begin() + 8, plain.end()}));
}

TEST(SwfMovie, HeaderFrameCountIsTheMainTimelinesShowFrames) {
  const Bytes file = SampleMovie().Finish(Compression::kNone);
  const size_t first = FirstTagOffset(file);
  BitReader counts(file, first - 4);
  EXPECT_EQ(counts.UI16(), 30 * 256);  // 30 fps in 8.8
  const uint16_t declaredFrames = counts.UI16();

  const std::vector<TagRecord> tags = ReadTags(file, first, file.size());
  ASSERT_FALSE(tags.empty());
  EXPECT_EQ(tags.front().code, tag::kFileAttributes);
  EXPECT_EQ(tags.back().code, tag::kEnd);
  int shown = 0;
  for (const TagRecord& t : tags) shown += t.code == tag::kShowFrame;
  EXPECT_EQ(shown, 5);
  EXPECT_EQ(declaredFrames, shown);

  // The sprite's frames are its own: counted in its header, not the movie's.
  for (const TagRecord& t : tags) {
    if (t.code != tag::kDefineSprite) continue;
    BitReader r(file, t.bodyStart);
    EXPECT_EQ(r.UI16(), 2);
    const uint16_t spriteFrames = r.UI16();
    const std::vector<TagRecord> inner =
        ReadTags(file, t.bodyStart + 4, t.bodyStart + t.length);
    int innerShown = 0;
    for (const TagRecord& i : inner) innerShown += i.code == tag::kShowFrame;
    EXPECT_EQ(spriteFrames, 3);
    EXPECT_EQ(innerShown, 3);
    ASSERT_FALSE(inner.empty());
    EXPECT_EQ(inner.back().code, tag::kEnd);
  }
}

// Walks the outline of a DefineShape3 body with no styles beyond one fill and
// returns the pen positions after each record, to see edges add up.
struct Outline {
  std::vector<std::pair<int32_t, int32_t>> pen;
  int curves = 0, lines = 0;
};

Outline WalkShape(const Bytes& body, size_t fillStyleBytes) {
  BitReader r(body, 2);
  const unsigned rectBits = r.U(5);
  r.U(rectBits * 4);
  r.Align();
  r.Skip(fillStyleBytes);  // fill style array as written
  r.Skip(1);               // no line styles
  const unsigned fillBits = r.U(4), lineBits = r.U(4);
  Outline out;
  int32_t x = 0, y = 0;
  for (;;) {
    if (r.U(1) == 0) {
      const unsigned flags = r.U(5);
      if (flags == 0) break;
      if (flags & 1) {
        const unsigned bits = r.U(5);
        x = r.S(bits);
        y = r.S(bits);
      }
      if (flags & 2) r.U(fillBits);
      if (flags & 4) r.U(fillBits);
      if (flags & 8) r.U(lineBits);
    } else if (r.U(1) == 1) {
      const unsigned bits = r.U(4) + 2;
      if (r.U(1) == 1) {
        x += r.S(bits);
        y += r.S(bits);
      } else if (r.U(1) == 1) {
        y += r.S(bits);
      } else {
        x += r.S(bits);
      }
      ++out.lines;
    } else {
      const unsigned bits = r.U(4) + 2;
      x += r.S(bits);
      y += r.S(bits);
      x += r.S(bits);
      y += r.S(bits);
      ++out.curves;
    }
    out.pen.push_back({x, y});
  }
  return out;
}

TEST(SwfShape, EllipseIsEightCurvesThatCloseOnTheStartPoint) {
  ShapeBuilder shape;
  shape.AddSolidFill({1, 2, 3, 4});
  shape.SelectStyles(0, 1, 0);
  shape.Ellipse(-300, 500, 1000, 333);
  const Outline o = WalkShape(shape.TagBody(7), 1 + 1 + 4);
  EXPECT_EQ(o.curves, 8);
  ASSERT_FALSE(o.pen.empty());
  EXPECT_EQ(o.pen.front(), (std::pair<int32_t, int32_t>{700, 500}));
  EXPECT_EQ(o.pen.back(), o.pen.front());
  const Rect b = shape.Bounds();
  EXPECT_LE(b.xMin, -1300);
  EXPECT_GE(b.xMax, 700);
  EXPECT_LE(b.yMin, 500 - 333);
  EXPECT_GE(b.yMax, 500 + 333);
}

TEST(SwfShape, LongAndAxisAlignedEdgesReachTheirPoints) {
  ShapeBuilder shape;
  shape.AddSolidFill({1, 2, 3, 4});
  shape.SelectStyles(0, 1, 0);
  // 200000 twips does not fit one edge record; the diagonal is general.
  shape.Polygon({{0, 0}, {200000, 0}, {200000, -70000}, {5, 3}});
  const Outline o = WalkShape(shape.TagBody(1), 1 + 1 + 4);
  ASSERT_FALSE(o.pen.empty());
  EXPECT_GT(o.lines, 4);
  EXPECT_EQ(o.pen.back(), (std::pair<int32_t, int32_t>{0, 0}));
  bool sawCorner = false, sawFar = false;
  for (const auto& p : o.pen) {
    sawFar |= p == std::pair<int32_t, int32_t>{200000, 0};
    sawCorner |= p == std::pair<int32_t, int32_t>{200000, -70000};
  }
  EXPECT_TRUE(sawFar);
  EXPECT_TRUE(sawCorner);
}

TEST(SwfShape, TooManyGradientStopsAreRefused) {
  ShapeBuilder shape;
  std::vector<GradientStop> stops(16);
  EXPECT_THROW(shape.AddLinearGradient({}, stops), std::invalid_argument);
  stops.resize(15);
  EXPECT_EQ(shape.AddLinearGradient({}, stops), 1u);
}

}  // namespace
}  // namespace velmora::swf
