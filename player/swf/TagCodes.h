// The codes of the movie file's tags, for the parser and the writer alike.
#pragma once

#include <cstdint>

namespace velmora::swf::tag {

constexpr uint16_t kEnd = 0;
constexpr uint16_t kShowFrame = 1;
constexpr uint16_t kDefineShape = 2;
constexpr uint16_t kPlaceObject = 4;
constexpr uint16_t kRemoveObject = 5;
constexpr uint16_t kDefineBits = 6;
constexpr uint16_t kJpegTables = 8;
constexpr uint16_t kSetBackgroundColor = 9;
constexpr uint16_t kDefineFont = 10;
constexpr uint16_t kDefineText = 11;
constexpr uint16_t kDoAction = 12;
constexpr uint16_t kDefineBitsLossless = 20;
constexpr uint16_t kDefineBitsJpeg2 = 21;
constexpr uint16_t kDefineShape2 = 22;
constexpr uint16_t kPlaceObject2 = 26;
constexpr uint16_t kRemoveObject2 = 28;
constexpr uint16_t kDefineShape3 = 32;
constexpr uint16_t kDefineText2 = 33;
constexpr uint16_t kDefineBitsJpeg3 = 35;
constexpr uint16_t kDefineBitsLossless2 = 36;
constexpr uint16_t kDefineSprite = 39;
constexpr uint16_t kFrameLabel = 43;
constexpr uint16_t kDefineMorphShape = 46;
constexpr uint16_t kDefineFont2 = 48;
constexpr uint16_t kFileAttributes = 69;
constexpr uint16_t kPlaceObject3 = 70;
constexpr uint16_t kDefineFont3 = 75;
constexpr uint16_t kDefineShape4 = 83;
constexpr uint16_t kDefineMorphShape2 = 84;
constexpr uint16_t kDefineBitsJpeg4 = 90;

}  // namespace velmora::swf::tag
