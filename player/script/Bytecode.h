// Action records of an ActionScript 1/2 code block: the action codes, a
// bounds-checked reader of records (code, length, payload) over a byte span
// and of the values inside a payload. Every byte here comes from a movie
// off the internet, so nothing is read past the span.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace velmora::avm1 {

enum class Op : uint8_t {
  End = 0x00,
  NextFrame = 0x04, PrevFrame = 0x05, Play = 0x06, Stop = 0x07, ToggleQuality = 0x08,
  StopSounds = 0x09, Add = 0x0A, Subtract = 0x0B, Multiply = 0x0C, Divide = 0x0D,
  Equals = 0x0E, Less = 0x0F, And = 0x10, Or = 0x11, Not = 0x12, StringEquals = 0x13,
  StringLength = 0x14, StringExtract = 0x15, Pop = 0x17, ToInteger = 0x18,
  GetVariable = 0x1C, SetVariable = 0x1D, SetTarget2 = 0x20, StringAdd = 0x21,
  GetProperty = 0x22, SetProperty = 0x23, CloneSprite = 0x24, RemoveSprite = 0x25,
  Trace = 0x26, StartDrag = 0x27, EndDrag = 0x28, StringLess = 0x29, Throw = 0x2A,
  CastOp = 0x2B, ImplementsOp = 0x2C, FsCommand2 = 0x2D, RandomNumber = 0x30,
  MbStringLength = 0x31, CharToAscii = 0x32, AsciiToChar = 0x33, GetTime = 0x34,
  MbStringExtract = 0x35, MbCharToAscii = 0x36, MbAsciiToChar = 0x37,
  Delete = 0x3A, Delete2 = 0x3B, DefineLocal = 0x3C, CallFunction = 0x3D, Return = 0x3E,
  Modulo = 0x3F, NewObject = 0x40, DefineLocal2 = 0x41, InitArray = 0x42,
  InitObject = 0x43, TypeOf = 0x44, TargetPath = 0x45, Enumerate = 0x46, Add2 = 0x47,
  Less2 = 0x48, Equals2 = 0x49, ToNumber = 0x4A, ToString = 0x4B, PushDuplicate = 0x4C,
  StackSwap = 0x4D, GetMember = 0x4E, SetMember = 0x4F, Increment = 0x50,
  Decrement = 0x51, CallMethod = 0x52, NewMethod = 0x53, InstanceOf = 0x54,
  Enumerate2 = 0x55, BitAnd = 0x60, BitOr = 0x61, BitXor = 0x62, BitLShift = 0x63,
  BitRShift = 0x64, BitURShift = 0x65, StrictEquals = 0x66, Greater = 0x67,
  StringGreater = 0x68, Extends = 0x69,
  GotoFrame = 0x81, GetUrl = 0x83, StoreRegister = 0x87, ConstantPool = 0x88,
  WaitForFrame = 0x8A, SetTarget = 0x8B, GotoLabel = 0x8C, WaitForFrame2 = 0x8D,
  DefineFunction2 = 0x8E, Try = 0x8F, With = 0x94, Push = 0x96, Jump = 0x99,
  GetUrl2 = 0x9A, DefineFunction = 0x9B, If = 0x9D, Call = 0x9E, GotoFrame2 = 0x9F,
};

// Value kinds inside a Push record.
enum class PushType : uint8_t {
  String = 0, Float = 1, Null = 2, Undefined = 3, Register = 4, Boolean = 5,
  Double = 6, Integer = 7, Constant8 = 8, Constant16 = 9,
};

// Flags of DefineFunction2, as the 16-bit little-endian field reads.
enum FunctionFlags : uint16_t {
  kPreloadThis = 0x0001, kSuppressThis = 0x0002, kPreloadArguments = 0x0004,
  kSuppressArguments = 0x0008, kPreloadSuper = 0x0010, kSuppressSuper = 0x0020,
  kPreloadRoot = 0x0040, kPreloadParent = 0x0080, kPreloadGlobal = 0x0100,
};

// Flags of Try.
enum TryFlags : uint8_t { kTryHasCatch = 0x01, kTryHasFinally = 0x02, kTryCatchInRegister = 0x04 };

// One action record: codes from 0x80 carry a 16-bit payload length.
struct ActionRecord {
  uint8_t code = 0;
  size_t offset = 0;         // of the code byte
  size_t payloadOffset = 0;  // of the payload (after the length field)
  size_t length = 0;         // payload bytes
  size_t End() const { return payloadOffset + length; }
};

// Reads records one after another; a record that does not fit in the span
// ends the reading (Ok() turns false).
class ActionReader {
 public:
  ActionReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  // Reads the record at `offset`; false at the end of the span, at End, or
  // when the record is cut off.
  bool ReadAt(size_t offset, ActionRecord& record) const;
  size_t Size() const { return size_; }

 private:
  const uint8_t* data_;
  size_t size_;
};

// Little-endian fields of a payload; reads past the end give zeros and
// clear Ok().
class PayloadReader {
 public:
  PayloadReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint8_t U8();
  uint16_t U16();
  int16_t S16() { return static_cast<int16_t>(U16()); }
  uint32_t U32();
  float F32();
  double F64();  // the two 32-bit halves stored high word first
  // A zero-terminated string; a string that runs to the end of the payload
  // without its terminator is taken as it is and clears Ok().
  std::string String();
  bool Ok() const { return ok_; }
  size_t Position() const { return pos_; }
  size_t Remaining() const { return size_ - pos_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  bool ok_ = true;
};

}  // namespace velmora::avm1
