// Drawing rules of the format and of the reference player, each on a movie
// made by our own writer: JPEG pictures with an alpha plane, the bevel
// filter, the alpha and erase modes with and without a layer around them,
// and the bounds of a layer's picture.
#include "player/MoviePlayback.h"
#include "player/ScaleMode.h"
#include "player/swf/SwfParser.h"
#include "tests/native/MovieFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

namespace velmora::swf {
namespace {

using test::PlaceAt;
using test::SolidRect;

int Channel(uint32_t argb, int shift) { return static_cast<int>((argb >> shift) & 0xFF); }

Bytes ReadTestPicture(const char* name) {
  std::ifstream in(std::string(VELMORA_SOURCE_DIR "/tests/pictures/") + name, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(PictureRules, AJpegsAlphaPlaneKeepsItsColoursAsStoredPremultiplied) {
  // The same JPEG without an alpha plane and with one: alpha 80 on the left
  // half, 0 in the first column, opaque on the right half.
  const Bytes jpeg = ReadTestPicture("baseline-444.jpg");
  ASSERT_FALSE(jpeg.empty());
  constexpr int kWidth = 61, kHeight = 47;
  Bytes alpha(static_cast<size_t>(kWidth) * kHeight);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) alpha[static_cast<size_t>(y) * kWidth + x] = x == 0 ? 0 : x < kWidth / 2 ? 80 : 255;
  MovieWriter movie({0, kWidth * 20, 0, kHeight * 20}, 12);
  TagWriter& t = movie.Timeline();
  t.SetBackgroundColor({255, 255, 255});
  t.DefineBitsJpeg2(1, jpeg);
  t.DefineBitsJpeg3(2, jpeg, alpha);
  // The picture with alpha as a fill of its own size on the white stage.
  ShapeBuilder s;
  s.SelectStyles(0, s.AddBitmapFill(2, Matrix::Scale(20, 20), false, false), 0);
  s.Rectangle({0, kWidth * 20, 0, kHeight * 20});
  t.DefineShape(3, s);
  t.Place(PlaceAt(1, 3));
  t.ShowFrame();
  const Bytes bytes = movie.Finish(Compression::kNone);
  const ParseResult result = ParseMovie(bytes.data(), bytes.size());
  ASSERT_TRUE(result.ok);
  const Bitmap& plain = *result.movie.Find(1)->bitmap;
  const Bitmap& masked = *result.movie.Find(2)->bitmap;
  ASSERT_EQ(masked.width, kWidth);
  ASSERT_EQ(masked.pixels.size(), plain.pixels.size());
  int darkened = 0;
  for (size_t i = 0; i < plain.pixels.size(); ++i) {
    const uint32_t a = alpha[i], colour = plain.pixels[i];
    // The colour as stored, only cut down where it lies above its alpha.
    const uint32_t expected = a << 24 | std::min<uint32_t>(Channel(colour, 16), a) << 16 |
                              std::min<uint32_t>(Channel(colour, 8), a) << 8 | std::min<uint32_t>(Channel(colour, 0), a);
    ASSERT_EQ(masked.pixels[i], expected) << "pixel " << i;
    darkened += a == 80 && Channel(colour, 16) < 80;
  }
  EXPECT_GT(darkened, 0) << "the picture must have colours below the alpha";

  // On the white stage: the stored colour plus the white that shows through.
  MoviePlayback playback = test::LoadMovie(movie);
  playback.Step();
  Canvas c;
  c.Resize(kWidth, kHeight);
  playback.Draw(c, ScaleMode::ExactFit, false);
  for (int x : {5, 20, 29}) {
    const uint32_t stored = masked.pixels[static_cast<size_t>(20) * kWidth + x];
    EXPECT_NEAR(Channel(c.Row(20)[x], 8), Channel(stored, 8) + 255 - 80, 1) << x;
  }
  EXPECT_EQ(c.Row(20)[0], 0xFFFFFFFFu) << "a transparent pixel shows nothing";
  EXPECT_EQ(c.Row(20)[50], plain.pixels[static_cast<size_t>(20) * kWidth + 50]);
}

}  // namespace
}  // namespace velmora::swf
