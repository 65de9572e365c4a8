#include "controls/RgbPictureGdi.h"

#include "common/DibInfo.h"
#include "common/EmbeddedResource.h"
#include "controls/MaskRuns.h"

#include <vector>

namespace velmora {

void DrawRgbPicture(HDC dc, int x, int y, const RgbPicture& picture) {
  if (!dc || !picture) return;
  const BITMAPINFO info = TopDownBitmapInfo(picture.width, picture.height);
  ::SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(picture.width), static_cast<DWORD>(picture.height),
                      0, 0, 0, static_cast<UINT>(picture.height), picture.pixels.data(), &info,
                      DIB_RGB_COLORS);
}

UniqueGdiObject MakeDibSection(int width, int height, void*& bits) {
  const BITMAPINFO info = TopDownBitmapInfo(width, height);
  bits = nullptr;
  UniqueGdiObject section(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bits) section.reset();
  return section;
}

std::optional<RgbPicture> EmbeddedRgbPicture(int resourceId) {
  const std::optional<std::string> bytes = EmbeddedResource(resourceId);
  return bytes ? DecodeRgbPicture(*bytes) : std::nullopt;
}

UniqueGdiObject RegionOutsideMask(const RgbPicture& picture, uint32_t maskRgb) {
  const std::vector<PixelRun> runs = MaskRuns(picture, maskRgb);
  // All runs go to the system at once, as one-pixel-high rectangles.
  std::vector<char> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
  auto* region = reinterpret_cast<RGNDATA*>(data.data());
  region->rdh.dwSize = sizeof(RGNDATAHEADER);
  region->rdh.iType = RDH_RECTANGLES;
  region->rdh.nCount = static_cast<DWORD>(runs.size());
  region->rdh.nRgnSize = static_cast<DWORD>(runs.size() * sizeof(RECT));
  region->rdh.rcBound = {0, 0, picture.width, picture.height};
  auto* rects = reinterpret_cast<RECT*>(region->Buffer);
  for (size_t i = 0; i < runs.size(); ++i)
    rects[i] = {runs[i].left, runs[i].y, runs[i].right, runs[i].y + 1};
  UniqueGdiObject made(::ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), region));
  if (!made) made.reset(::CreateRectRgn(0, 0, 0, 0));  // nothing left of the picture
  return made;
}

}  // namespace velmora
