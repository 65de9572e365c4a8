// The codes of the movie file, for the parser and the writer alike: its
// tags, the flags of a placement and of a button, the kinds of fill and the
// frame actions.
// (The filters' ids and the blend modes are the values of `FilterKind` and
// `BlendMode` in SwfMovie.h.)
#pragma once

#include <cstdint>

namespace velmora::swf {
namespace tag {

// A tag's header is a 16-bit word: the code above the low 6 bits, the length
// in them; a length of kLongLength says a 32-bit length follows.
constexpr unsigned kCodeShift = 6;
constexpr uint16_t kLongLength = 0x3F;

constexpr uint16_t kEnd = 0;
constexpr uint16_t kShowFrame = 1;
constexpr uint16_t kDefineShape = 2;
constexpr uint16_t kPlaceObject = 4;
constexpr uint16_t kRemoveObject = 5;
constexpr uint16_t kDefineBits = 6;
constexpr uint16_t kDefineButton = 7;
constexpr uint16_t kJpegTables = 8;
constexpr uint16_t kSetBackgroundColor = 9;
constexpr uint16_t kDefineFont = 10;
constexpr uint16_t kDefineText = 11;
constexpr uint16_t kDoAction = 12;
constexpr uint16_t kDefineFontInfo = 13;
constexpr uint16_t kDefineBitsLossless = 20;
constexpr uint16_t kDefineButtonCxform = 23;
constexpr uint16_t kDefineBitsJpeg2 = 21;
constexpr uint16_t kDefineShape2 = 22;
constexpr uint16_t kPlaceObject2 = 26;
constexpr uint16_t kRemoveObject2 = 28;
constexpr uint16_t kDefineShape3 = 32;
constexpr uint16_t kDefineText2 = 33;
constexpr uint16_t kDefineButton2 = 34;
constexpr uint16_t kDefineBitsJpeg3 = 35;
constexpr uint16_t kDefineBitsLossless2 = 36;
constexpr uint16_t kDefineEditText = 37;
constexpr uint16_t kDefineSprite = 39;
constexpr uint16_t kExportAssets = 56;
constexpr uint16_t kDoInitAction = 59;
constexpr uint16_t kFrameLabel = 43;
constexpr uint16_t kDefineMorphShape = 46;
constexpr uint16_t kDefineFont2 = 48;
constexpr uint16_t kDefineFontInfo2 = 62;
constexpr uint16_t kFileAttributes = 69;
constexpr uint16_t kPlaceObject3 = 70;
constexpr uint16_t kDefineFont3 = 75;
constexpr uint16_t kDefineShape4 = 83;
constexpr uint16_t kDefineMorphShape2 = 84;
constexpr uint16_t kDefineBitsJpeg4 = 90;

}  // namespace tag

// The flag bytes of PlaceObject2 and PlaceObject3.
namespace placeflag {

constexpr uint8_t kMove = 0x01;
constexpr uint8_t kHasCharacter = 0x02;
constexpr uint8_t kHasMatrix = 0x04;
constexpr uint8_t kHasColorTransform = 0x08;
constexpr uint8_t kHasRatio = 0x10;
constexpr uint8_t kHasName = 0x20;
constexpr uint8_t kHasClipDepth = 0x40;
constexpr uint8_t kHasClipActions = 0x80;
// The second byte, PlaceObject3's.
constexpr uint8_t kHasFilters = 0x01;
constexpr uint8_t kHasBlendMode = 0x02;
constexpr uint8_t kHasCacheAsBitmap = 0x04;
constexpr uint8_t kHasClassName = 0x08;
constexpr uint8_t kHasImage = 0x10;
constexpr uint8_t kHasVisible = 0x20;
constexpr uint8_t kHasOpaqueBackground = 0x40;

}  // namespace placeflag

// The events of a clip action: the file's flags read as a little-endian
// word, 16 bits of them before version 6 and 32 from it.
namespace clipevent {

constexpr uint32_t kLoad = 1u << 0;
constexpr uint32_t kEnterFrame = 1u << 1;
constexpr uint32_t kUnload = 1u << 2;
constexpr uint32_t kMouseMove = 1u << 3;
constexpr uint32_t kMouseDown = 1u << 4;
constexpr uint32_t kMouseUp = 1u << 5;
constexpr uint32_t kKeyDown = 1u << 6;
constexpr uint32_t kKeyUp = 1u << 7;
constexpr uint32_t kData = 1u << 8;
constexpr uint32_t kInitialize = 1u << 9;
constexpr uint32_t kPress = 1u << 10;
constexpr uint32_t kRelease = 1u << 11;
constexpr uint32_t kReleaseOutside = 1u << 12;
constexpr uint32_t kRollOver = 1u << 13;
constexpr uint32_t kRollOut = 1u << 14;
constexpr uint32_t kDragOver = 1u << 15;
constexpr uint32_t kDragOut = 1u << 16;
constexpr uint32_t kKeyPress = 1u << 17;  // a key code byte follows the flags
constexpr uint32_t kConstruct = 1u << 18;

}  // namespace clipevent

// The flag byte of DefineFont2 and DefineFont3.
namespace fontflag {

constexpr uint8_t kHasLayout = 0x80;
constexpr uint8_t kShiftJis = 0x40;
constexpr uint8_t kSmallText = 0x20;
constexpr uint8_t kAnsi = 0x10;
constexpr uint8_t kWideOffsets = 0x08;
constexpr uint8_t kWideCodes = 0x04;
constexpr uint8_t kItalic = 0x02;
constexpr uint8_t kBold = 0x01;

}  // namespace fontflag

// The flag byte of DefineFontInfo and DefineFontInfo2.
namespace fontinfoflag {

constexpr uint8_t kItalic = 0x04;
constexpr uint8_t kBold = 0x02;
constexpr uint8_t kWideCodes = 0x01;

}  // namespace fontinfoflag

// The two flag bytes of DefineEditText.
namespace edittextflag {

constexpr uint8_t kHasText = 0x80;
constexpr uint8_t kWordWrap = 0x40;
constexpr uint8_t kMultiline = 0x20;
constexpr uint8_t kPassword = 0x10;
constexpr uint8_t kReadOnly = 0x08;
constexpr uint8_t kHasTextColor = 0x04;
constexpr uint8_t kHasMaxLength = 0x02;
constexpr uint8_t kHasFont = 0x01;
// The second byte.
constexpr uint8_t kHasFontClass = 0x80;
constexpr uint8_t kAutoSize = 0x40;
constexpr uint8_t kHasLayout = 0x20;
constexpr uint8_t kNoSelect = 0x10;
constexpr uint8_t kBorder = 0x08;
constexpr uint8_t kWasStatic = 0x04;
constexpr uint8_t kHtml = 0x02;
constexpr uint8_t kUseOutlines = 0x01;

}  // namespace edittextflag
// The flag byte that opens a button record; a zero byte ends the records.
namespace buttonflag {

constexpr uint8_t kStateUp = 0x01;
constexpr uint8_t kStateOver = 0x02;
constexpr uint8_t kStateDown = 0x04;
constexpr uint8_t kStateHitTest = 0x08;
// DefineButton2 only.
constexpr uint8_t kHasFilterList = 0x10;
constexpr uint8_t kHasBlendMode = 0x20;
// DefineButton2's flag byte before its records.
constexpr uint8_t kTrackAsMenu = 0x01;

}  // namespace buttonflag

// The transitions of a DefineButton2 action record, as its two flag bytes
// read as one big-endian word (ButtonCondition::conditions).
namespace buttoncond {

constexpr uint16_t kIdleToOverDown = 0x8000;
constexpr uint16_t kOutDownToIdle = 0x4000;
constexpr uint16_t kOutDownToOverDown = 0x2000;
constexpr uint16_t kOverDownToOutDown = 0x1000;
constexpr uint16_t kOverDownToOverUp = 0x0800;  // released over the button: DefineButton's actions
constexpr uint16_t kOverUpToOverDown = 0x0400;
constexpr uint16_t kOverUpToIdle = 0x0200;
constexpr uint16_t kIdleToOverUp = 0x0100;
constexpr uint16_t kKeyPressMask = 0x00FE;  // the key's code, shifted by kKeyPressShift
constexpr unsigned kKeyPressShift = 1;
constexpr uint16_t kOverDownToIdle = 0x0001;

}  // namespace buttoncond

// The type byte of a fill style.
namespace filltype {

constexpr uint8_t kSolid = 0x00;
constexpr uint8_t kLinearGradient = 0x10;
constexpr uint8_t kRadialGradient = 0x12;
constexpr uint8_t kFocalGradient = 0x13;
// The bitmap fills, 0x40 to 0x43, by two bits.
constexpr uint8_t kBitmap = 0x40;
constexpr uint8_t kBitmapClippedBit = 0x01;     // else repeated
constexpr uint8_t kBitmapUnsmoothedBit = 0x02;  // else smoothed

}  // namespace filltype

// The codes of the frame actions; from 0x80 on an action carries a 16-bit
// length and a payload.
namespace action {

constexpr uint8_t kEnd = 0x00;
constexpr uint8_t kNextFrame = 0x04;
constexpr uint8_t kPrevFrame = 0x05;
constexpr uint8_t kPlay = 0x06;
constexpr uint8_t kStop = 0x07;
constexpr uint8_t kGotoFrame = 0x81;
constexpr uint8_t kGotoLabel = 0x8C;
constexpr uint8_t kPush = 0x96;
constexpr uint8_t kGotoFrame2 = 0x9F;
constexpr uint8_t kWithPayload = 0x80;

}  // namespace action
}  // namespace velmora::swf
