// A block of actions (a frame's DoAction, an event handler, a button's
// actions) with the records it has been asked for decoded once: pushes with
// their values, constant pools and names as interned strings, functions'
// headers, jumps' targets. Decoding is lazy and by offset, so a jump into
// the middle of a record decodes from there, as the reference player reads.
#pragma once

#include "player/script/Bytecode.h"
#include "player/script/Function.h"

#include <vector>

namespace velmora::avm1 {

struct PushItem {
  PushType type = PushType::Undefined;
  uint16_t index = 0;  // register or constant
  Value value;         // immediate values
};

struct TryDef {
  uint8_t flags = 0;
  uint32_t tryStart = 0, catchStart = 0, finallyStart = 0, end = 0;
  Str* catchName = nullptr;
  uint8_t catchRegister = 0;
};

constexpr int64_t kNoTarget = -1;

struct Instr {
  Op op = Op::End;
  uint32_t offset = 0;
  uint32_t next = 0;      // the record after this one
  uint32_t aux = 0;       // op-specific: first push item, pool, string, definition
  uint32_t count = 0;     // op-specific: push items, skip count, scene bias
  int64_t target = kNoTarget;  // Jump/If/With: absolute offset (may lie outside)
};

class CodeBlock final : public GcCell {
 public:
  CodeBlock(std::vector<uint8_t> bytes, int version) : bytes_(std::move(bytes)), version_(version) {}

  // The record at `offset`, or null where the code ends or is cut off.
  const Instr* At(Heap& heap, uint32_t offset);
  uint32_t Size() const { return static_cast<uint32_t>(bytes_.size()); }
  int Version() const { return version_; }

  const PushItem& Push(uint32_t i) const { return pushes_[i]; }
  const std::vector<Str*>& Pool(int i) const { return pools_[static_cast<size_t>(i)]; }
  Str* String(uint32_t i) const { return strings_[i]; }
  const FunctionDef& Function(uint32_t i) const { return functions_[i]; }
  const TryDef& Try(uint32_t i) const { return tries_[i]; }

  void Trace(Tracer& tracer) override;

 private:
  Instr Decode(Heap& heap, const ActionRecord& record);
  Str* Text(Heap& heap, const std::string& bytes);
  void DecodePush(Heap& heap, PayloadReader& in, Instr& instr);
  void DecodeFunction(Heap& heap, PayloadReader& in, Instr& instr, bool v2);
  void DecodeTry(Heap& heap, PayloadReader& in, Instr& instr);

  std::vector<uint8_t> bytes_;
  int version_;
  std::vector<int32_t> index_;  // offset -> instrs_ entry, -1 not yet decoded
  std::vector<Instr> instrs_;
  std::vector<PushItem> pushes_;
  std::vector<std::vector<Str*>> pools_;
  std::vector<Str*> strings_;
  std::vector<FunctionDef> functions_;
  std::vector<TryDef> tries_;
};

}  // namespace velmora::avm1
