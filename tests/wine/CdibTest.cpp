#include "iconlayer/CDIB.h"
#include "iconlayer/GdiPlusPictures.h"
#include "iconlayer/ImagePreview.h"
#include "iconlayer/LayerPainter.h"
#include "resources/ResourceIds.h"
#include "common/EmbeddedResource.h"
#include "startup/ResourceFiles.h"
#include "tests/wine/GdiplusSession.h"
#include "tests/wine/TestSupport.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <cstring>

namespace velmora {
namespace {

// The 32-bit pixel at (x, y), y counted from the top, as 0xAARRGGBB.
uint32_t PixelAt(const CDIB& s, int x, int y) {
  const uint8_t* p = s.lpBits() + (s.Height() - 1 - y) * s.BytesPerScanline() + 4 * x;
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void Fill32(CDIB& s, uint32_t argb) {
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x)
      std::memcpy(s.lpBits() + y * s.BytesPerScanline() + 4 * x, &argb, 4);
}

// Writes a solid-colour 24-bit BMP picture.
void WriteSolidBmp(const std::string& path, int w, int h, COLORREF colour) {
  CDIB s;
  ASSERT_TRUE(s.Create(w, h, 24));
  s.Cls(colour);
  ASSERT_TRUE(s.Save(path));
}

class CdibTest : public ::testing::Test {
 protected:
  test::GdiplusSession gdiplus;
  test::ScratchDir dir;
};

TEST_F(CdibTest, CreateDescribesTheSurface) {
  CDIB s;
  EXPECT_TRUE(s.Empty());
  ASSERT_TRUE(s.Create(3, 2, 24));
  EXPECT_EQ(s.Width(), 3);
  EXPECT_EQ(s.Height(), 2);
  EXPECT_EQ(s.BPP(), 24);
  EXPECT_EQ(s.BytesPerScanline(), 12);
  EXPECT_EQ(s.Size(), 24);
  EXPECT_TRUE(s.hdc() && s.hDIB() && s.lpBits());
  for (int i = 0; i < s.Size(); ++i) ASSERT_EQ(s.lpBits()[i], 0);
  EXPECT_FALSE(s.Create(0, 5, 32));
  EXPECT_TRUE(s.Empty());
  EXPECT_EQ(s.Size(), 0);
  s.Destroy();  // twice is harmless
}

TEST_F(CdibTest, SaveWritesTheExactBmpLayout) {
  CDIB s;
  ASSERT_TRUE(s.Create(3, 2, 24));
  s.Cls(RGB(10, 20, 30));
  const std::string path = dir.File("s.bmp");
  ASSERT_TRUE(s.Save(path));
  const std::string bytes = test::ReadFileBytes(path);
  ASSERT_EQ(bytes.size(), 78u);
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(static_cast<uint8_t>(bytes[2]), 78);
  EXPECT_EQ(static_cast<uint8_t>(bytes[10]), 54);
  EXPECT_EQ(static_cast<uint8_t>(bytes[14]), 40);
  // Pixels are blue, green, red; each row padded to 12 bytes.
  EXPECT_EQ(static_cast<uint8_t>(bytes[54]), 30);
  EXPECT_EQ(static_cast<uint8_t>(bytes[55]), 20);
  EXPECT_EQ(static_cast<uint8_t>(bytes[56]), 10);
  EXPECT_EQ(bytes[54 + 9], 0);

  CDIB back;
  EXPECT_EQ(back.CreateFromBitmapFile(path), 24);
  EXPECT_EQ(back.Width(), 3);
  EXPECT_EQ(std::memcmp(back.lpBits(), s.lpBits(), 24), 0);

  CDIB empty;
  EXPECT_FALSE(empty.Save(dir.File("empty.bmp")));
  EXPECT_FALSE(test::FileExists(dir.File("empty.bmp")));
  EXPECT_FALSE(s.Save(dir.File("no folder\\s.bmp")));
}

TEST_F(CdibTest, PalettesCloneAndFileWithColourTable) {
  CDIB s;
  ASSERT_TRUE(s.Create(2, 2, 8));
  std::vector<uint8_t> table(256 * 4);
  for (size_t i = 0; i < table.size(); ++i) table[i] = static_cast<uint8_t>(i * 7);
  s.SetPalette(table);
  s.lpBits()[0] = 5;
  std::vector<uint8_t> read;
  s.GetPalette(read);
  EXPECT_EQ(read.size(), 1024u);
  EXPECT_EQ(read[20], table[20]);
  EXPECT_EQ(read[21], table[21]);

  CDIB copy;
  s.CloneTo(copy);
  EXPECT_EQ(copy.BPP(), 8);
  EXPECT_EQ(copy.lpBits()[0], 5);
  std::vector<uint8_t> copied;
  copy.GetPalette(copied);
  EXPECT_EQ(copied[4 * 5 + 1], table[4 * 5 + 1]);

  ASSERT_TRUE(s.Save(dir.File("p.bmp")));
  const std::string bytes = test::ReadFileBytes(dir.File("p.bmp"));
  EXPECT_EQ(bytes.size(), 14u + 40 + 1024 + 8);
  EXPECT_EQ(static_cast<uint8_t>(bytes[10]) | static_cast<uint8_t>(bytes[11]) << 8, 54 + 1024);
}

TEST_F(CdibTest, ClipboardAndPictureRoundTrips) {
  CDIB s;
  ASSERT_TRUE(s.Create(4, 3, 32));
  Fill32(s, 0xFF112233);
  // One pixel of its own in the top row: a copy turned upside down shows.
  const uint32_t corner = 0xFF445566;
  std::memcpy(s.lpBits() + (s.Height() - 1) * s.BytesPerScanline(), &corner, 4);
  ASSERT_EQ(PixelAt(s, 0, 0), corner);
  ASSERT_NE(s.CopyToClipboard(), nullptr);
  CDIB pasted;
  ASSERT_TRUE(pasted.CreateFromClipboard());
  EXPECT_EQ(pasted.Width(), 4);
  EXPECT_EQ(pasted.Height(), 3);
  EXPECT_EQ(PixelAt(pasted, 0, 0), corner);
  EXPECT_EQ(PixelAt(pasted, 3, 2), 0xFF112233u);
  EXPECT_EQ(PixelAt(pasted, 0, 2), 0xFF112233u);

  IPicture* picture = s.Image();
  ASSERT_NE(picture, nullptr);
  CDIB fromPicture;
  EXPECT_EQ(fromPicture.CreateFromStdPicture(picture, true), 32);
  EXPECT_EQ(fromPicture.Width(), 4);
  EXPECT_EQ(PixelAt(fromPicture, 1, 1) & 0xFFFFFF, 0x112233u);
  picture->Release();  // the picture owns a copy: the surface stays valid
  EXPECT_EQ(PixelAt(s, 1, 1), 0xFF112233u);
}

TEST_F(CdibTest, Stretch32BlendsWithAlphaAndSkipsTransparent) {
  CDIB target;
  ASSERT_TRUE(target.Create(8, 8, 32));
  Fill32(target, 0xFF000000);
  CDIB white;
  ASSERT_TRUE(white.Create(2, 2, 32));
  Fill32(white, 0xFFFFFFFF);

  EXPECT_TRUE(white.Stretch32(target.hdc(), 0, 0, 8, 8, 0, 0, 0, 0, 0));
  EXPECT_EQ(PixelAt(target, 4, 4), 0xFF000000u);  // alpha 0: nothing visible
  Fill32(white, 0x00FFFFFF);
  white.Stretch32(target.hdc(), 0, 0, 8, 8, 0, 0, 0, 0, 255);
  EXPECT_EQ(PixelAt(target, 4, 4), 0xFF000000u);  // transparent pixels: nothing
  Fill32(white, 0xFFFFFFFF);
  white.Stretch32(target.hdc(), 2, 2, 4, 4, 0, 0, 0, 0, 255);
  EXPECT_EQ(PixelAt(target, 2, 2), 0xFFFFFFFFu);
  EXPECT_EQ(PixelAt(target, 5, 5), 0xFFFFFFFFu);
  EXPECT_EQ(PixelAt(target, 1, 1), 0xFF000000u);
  EXPECT_EQ(PixelAt(target, 6, 6), 0xFF000000u);
  Fill32(target, 0xFF000000);
  white.Stretch32(target.hdc(), 0, 0, 8, 8, 0, 0, 0, 0, 128);
  EXPECT_NEAR(static_cast<int>(PixelAt(target, 3, 3) & 0xFF), 128, 1);

  CDIB rgb;
  ASSERT_TRUE(rgb.Create(2, 2, 24));
  EXPECT_FALSE(rgb.Stretch32(target.hdc(), 0, 0, 8, 8, 0, 0, 0, 0, 255));
  CDIB empty;
  EXPECT_FALSE(empty.Stretch32(target.hdc(), 0, 0, 8, 8, 0, 0, 0, 0, 255));
}

TEST_F(CdibTest, Stretch32OntoAnOrdinaryDcUsesGdiplus) {
  // A device-dependent bitmap: not a surface the blend can reach directly.
  const HDC screen = ::GetDC(nullptr);
  const HDC dc = ::CreateCompatibleDC(screen);
  const HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 8, 8);
  ::ReleaseDC(nullptr, screen);
  const HGDIOBJ old = ::SelectObject(dc, bitmap);
  const RECT all{0, 0, 8, 8};
  ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  CDIB red;
  ASSERT_TRUE(red.Create(2, 2, 32));
  Fill32(red, 0xFFFF0000);
  EXPECT_TRUE(red.Stretch32(dc, 0, 0, 4, 4, 0, 0, 0, 0, 255));
  EXPECT_EQ(::GetPixel(dc, 1, 1), RGB(255, 0, 0));
  EXPECT_EQ(::GetPixel(dc, 6, 6), RGB(0, 0, 0));
  ::SelectObject(dc, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
}

TEST_F(CdibTest, StretchKeepsTheTopRowOnTop) {
  CDIB s;
  ASSERT_TRUE(s.Create(2, 2, 32));
  Fill32(s, 0xFF0000FF);
  std::memset(s.lpBits() + s.BytesPerScanline(), 0xFF, 8);  // top row (stored last) white
  CDIB target;
  ASSERT_TRUE(target.Create(4, 4, 32));
  EXPECT_NE(s.Stretch(target.hdc(), 0, 0, 4, 4), 0);
  EXPECT_EQ(PixelAt(target, 0, 0) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(PixelAt(target, 0, 3) & 0xFFFFFF, 0x0000FFu);
  CDIB copy;
  ASSERT_TRUE(copy.Create(4, 4, 32));
  EXPECT_TRUE(copy.LoadBlt(target.hdc(), 0, 0));
  EXPECT_EQ(PixelAt(copy, 3, 0) & 0xFFFFFF, 0xFFFFFFu);
  copy.Reset();
  EXPECT_EQ(PixelAt(copy, 3, 0), 0u);
}

// A PNG header claiming a huge size, with a little data after it.
std::string HugePng(uint32_t w, uint32_t h) {
  auto be = [](uint32_t v) {
    return std::string{static_cast<char>(v >> 24), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 8), static_cast<char>(v)};
  };
  auto chunk = [&](const std::string& type, const std::string& data) {
    const std::string body = type + data;
    return be(static_cast<uint32_t>(data.size())) + body +
           be(static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()),
                                          static_cast<uInt>(body.size()))));
  };
  std::string ihdr = be(w) + be(h) + std::string{8, 2, 0, 0, 0};
  std::string raw(static_cast<size_t>(w) * 3 + 1, '\0');
  std::string packed(compressBound(static_cast<uLong>(raw.size())), '\0');
  uLongf n = static_cast<uLongf>(packed.size());
  compress(reinterpret_cast<Bytef*>(packed.data()), &n, reinterpret_cast<const Bytef*>(raw.data()),
           static_cast<uLong>(raw.size()));
  packed.resize(n);
  return std::string("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", ihdr) + chunk("IDAT", packed) +
         chunk("IEND", "");
}

TEST_F(CdibTest, BadPicturesAreRefusedQuickly) {
  EXPECT_FALSE(LoadPicture(dir.File("missing.png")));
  EXPECT_FALSE(LoadPicture(""));
  test::WriteFileBytes(dir.File("garbage.png"), "this is not a picture at all");
  EXPECT_FALSE(LoadPicture(dir.File("garbage.png")));
  const std::string frame = *EmbeddedResource(IDR_IMAGEVIEWER_PNG);
  test::WriteFileBytes(dir.File("cut.png"), frame.substr(0, 60));
  EXPECT_FALSE(LoadPicture(dir.File("cut.png")));
  test::WriteFileBytes(dir.File("huge.png"), HugePng(30000, 30000));
  const DWORD start = ::GetTickCount();
  EXPECT_FALSE(LoadPicture(dir.File("huge.png")));
  EXPECT_LT(::GetTickCount() - start, 3000u);
}

TEST_F(CdibTest, RenderKeepsTheTransparencyOfAPng) {
  test::WriteFileBytes(dir.File("frame.png"), *EmbeddedResource(IDR_IMAGEVIEWER_PNG));
  const LoadedPicture picture = LoadPicture(dir.File("frame.png"));
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture.width, 207u);
  CDIB s;
  ASSERT_TRUE(s.Create(207, 168, 32));
  ASSERT_TRUE(RenderImageToSurface(s, picture.image.get()));
  EXPECT_EQ(PixelAt(s, 0, 0) >> 24, 0u);      // rounded corner: transparent
  EXPECT_EQ(PixelAt(s, 100, 80) >> 24, 215u);  // the panel: translucent
  EXPECT_EQ(PixelAt(s, 100, 1) >> 24, 230u);   // the rim near the top row
  EXPECT_EQ(PixelAt(s, 100, 166) >> 24, 230u); // and near the bottom: not flipped
}

TEST_F(CdibTest, PreviewPlacesThePictureInTheFrame) {
  test::WriteFileBytes(dir.File("frame.png"), *EmbeddedResource(IDR_IMAGEVIEWER_PNG));
  WriteSolidBmp(dir.File("small.bmp"), 100, 50, RGB(255, 0, 0));
  WriteSolidBmp(dir.File("large.bmp"), 400, 300, RGB(0, 0, 255));
  ImagePreview preview;
  // Without its file the frame is the program's own.
  ASSERT_TRUE(preview.ThumBG(dir.File("missing.png")));
  EXPECT_EQ(preview.PreviewFrame().Width(), 180);
  ASSERT_TRUE(preview.ThumBG(dir.File("frame.png")));
  EXPECT_EQ(preview.PreviewFrame().Width(), 180);  // 207 x 168 fitted into 196 x 146
  EXPECT_EQ(preview.PreviewFrame().Height(), 146);

  // Drawn as the icon layer draws it: through a GDI+ graphics object on the
  // composition surface.
  CDIB layer;
  ASSERT_TRUE(layer.Create(400, 300, 32));
  const auto drawInto = [&](CDIB& target, const std::string& file, int x, int y) {
    const SurfaceCanvas canvas(target);
    return preview.ThumViewer(file, canvas.graphics(), x, y);
  };
  ASSERT_TRUE(drawInto(layer, dir.File("small.bmp"), 20, 30));
  EXPECT_EQ(PixelAt(layer, 20 + 51, 30 + 57), 0xFFFF0000u);
  EXPECT_EQ(PixelAt(layer, 20 + 150, 30 + 106), 0xFFFF0000u);
  EXPECT_NE(PixelAt(layer, 20 + 50, 30 + 57), 0xFFFF0000u);
  EXPECT_NE(PixelAt(layer, 20 + 151, 30 + 57), 0xFFFF0000u);
  EXPECT_EQ(PixelAt(layer, 20, 30) >> 24, 0u);  // the frame's transparent corner

  ASSERT_TRUE(drawInto(layer, dir.File("large.bmp"), 0, 0));
  EXPECT_EQ(preview.PreviewPicture().Width(), 186);
  EXPECT_EQ(preview.PreviewPicture().Height(), 140);
  EXPECT_EQ(PixelAt(layer, 8, 12), 0xFF0000FFu);
  EXPECT_EQ(PixelAt(layer, 8 + 185, 12 + 139), 0xFF0000FFu);
  EXPECT_NE(PixelAt(layer, 8, 11), 0xFF0000FFu);

  CDIB untouched;
  ASSERT_TRUE(untouched.Create(10, 10, 32));
  EXPECT_FALSE(drawInto(untouched, dir.File("missing.bmp"), 0, 0));
  EXPECT_EQ(PixelAt(untouched, 0, 0), 0u);
}

}  // namespace
}  // namespace velmora
