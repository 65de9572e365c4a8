// libFuzzer target: any bytes through the picture decoders, at their own size
// and scaled down. Nothing may crash, hang or take memory without bound.
#include "pictures/PictureDecoder.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  velmora::DecodedPicture picture;
  velmora::DecodePicture(data, size, 1 << 22, picture);
  velmora::DecodePictureAtSize(data, size, 37, 23, uint64_t{1} << 26, picture);
  return 0;
}
