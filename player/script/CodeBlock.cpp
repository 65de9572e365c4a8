#include "player/script/CodeBlock.h"

#include "player/script/Text.h"

namespace velmora::avm1 {
namespace {

constexpr size_t kInstrBytes = sizeof(Instr) + sizeof(int32_t);

}  // namespace

const FunctionDef& ScriptFunction::Def() const { return code_->Function(def_); }

void ScriptFunction::Trace(Tracer& tracer) {
  Object::Trace(tracer);
  tracer.Mark(code_);
  tracer.Mark(closure_);
  tracer.Mark(target_);
}

const Instr* CodeBlock::At(Heap& heap, uint32_t offset) {
  if (offset >= bytes_.size()) return nullptr;
  if (index_.empty()) {
    index_.assign(bytes_.size(), -1);
    heap.Charge(this, static_cast<ptrdiff_t>(bytes_.size() * sizeof(int32_t)));
  }
  int32_t slot = index_[offset];
  if (slot >= 0) return &instrs_[static_cast<size_t>(slot)];
  ActionRecord record;
  if (!ActionReader(bytes_.data(), bytes_.size()).ReadAt(offset, record)) return nullptr;
  instrs_.push_back(Decode(heap, record));
  heap.Charge(this, kInstrBytes);
  index_[offset] = static_cast<int32_t>(instrs_.size() - 1);
  return &instrs_.back();
}

Str* CodeBlock::Text(Heap& heap, const std::string& bytes) {
  return heap.Intern(version_ >= 6 ? FromUtf8(bytes) : FromLatin1(bytes));
}

Instr CodeBlock::Decode(Heap& heap, const ActionRecord& record) {
  Instr instr;
  instr.op = static_cast<Op>(record.code);
  instr.offset = static_cast<uint32_t>(record.offset);
  instr.next = static_cast<uint32_t>(record.End());
  PayloadReader in(bytes_.data() + record.payloadOffset, record.length);
  auto addString = [&](const std::string& text) {
    strings_.push_back(Text(heap, text));
    return static_cast<uint32_t>(strings_.size() - 1);
  };
  switch (instr.op) {
    case Op::Push: DecodePush(heap, in, instr); break;
    case Op::ConstantPool: {
      uint16_t count = in.U16();
      std::vector<Str*> pool;
      for (uint16_t i = 0; i < count && in.Ok(); ++i) {
        std::string text = in.String();
        if (in.Ok()) pool.push_back(Text(heap, text));
      }
      heap.Charge(this, static_cast<ptrdiff_t>(pool.size() * sizeof(Str*)));
      pools_.push_back(std::move(pool));
      instr.aux = static_cast<uint32_t>(pools_.size() - 1);
      break;
    }
    case Op::GotoFrame: instr.aux = in.U16(); break;
    case Op::GotoLabel:
    case Op::SetTarget: instr.aux = addString(in.String()); break;
    case Op::GetUrl: {
      instr.aux = addString(in.String());
      addString(in.String());
      break;
    }
    case Op::StoreRegister: instr.aux = in.U8(); break;
    case Op::WaitForFrame:
      instr.aux = in.U16();
      instr.count = in.U8();
      break;
    case Op::WaitForFrame2: instr.count = in.U8(); break;
    case Op::Jump:
    case Op::If: instr.target = static_cast<int64_t>(instr.next) + in.S16(); break;
    case Op::With: instr.target = static_cast<int64_t>(instr.next) + in.U16(); break;
    case Op::GetUrl2: instr.aux = in.U8(); break;
    case Op::GotoFrame2: {
      instr.aux = in.U8();
      if (instr.aux & 0x02) instr.count = in.U16();
      break;
    }
    case Op::DefineFunction: DecodeFunction(heap, in, instr, false); break;
    case Op::DefineFunction2: DecodeFunction(heap, in, instr, true); break;
    case Op::Try: DecodeTry(heap, in, instr); break;
    default: break;
  }
  return instr;
}

void CodeBlock::DecodePush(Heap& heap, PayloadReader& in, Instr& instr) {
  instr.aux = static_cast<uint32_t>(pushes_.size());
  while (in.Remaining() > 0) {
    PushItem item;
    item.type = static_cast<PushType>(in.U8());
    switch (item.type) {
      case PushType::String: {
        std::string text = in.String();
        item.value = Value::String(Text(heap, text));
        break;
      }
      case PushType::Float: item.value = Value::Number(in.F32()); break;
      case PushType::Null: item.value = Value::Null(); break;
      case PushType::Undefined: break;
      case PushType::Register: item.index = in.U8(); break;
      case PushType::Boolean: item.value = Value::Bool(in.U8() != 0); break;
      case PushType::Double: item.value = Value::Number(in.F64()); break;
      case PushType::Integer: item.value = Value::Number(static_cast<int32_t>(in.U32())); break;
      case PushType::Constant8: item.index = in.U8(); break;
      case PushType::Constant16: item.index = in.U16(); break;
      default: in = PayloadReader(nullptr, 0); break;  // an unknown kind ends the push
    }
    if (!in.Ok()) break;
    pushes_.push_back(item);
  }
  instr.count = static_cast<uint32_t>(pushes_.size()) - instr.aux;
  heap.Charge(this, static_cast<ptrdiff_t>(instr.count * sizeof(PushItem)));
}

void CodeBlock::DecodeFunction(Heap& heap, PayloadReader& in, Instr& instr, bool v2) {
  FunctionDef def;
  def.v2 = v2;
  std::string name = in.String();
  if (!name.empty()) def.name = Text(heap, name);
  uint16_t count = in.U16();
  if (v2) {
    def.registerCount = in.U8();
    def.flags = in.U16();
  }
  for (uint16_t i = 0; i < count && in.Ok(); ++i) {
    FunctionParam param;
    if (v2) param.reg = in.U8();
    std::string text = in.String();
    param.name = Text(heap, text);
    if (in.Ok()) def.params.push_back(param);
  }
  uint16_t size = in.U16();
  // The body follows the record; a body longer than the block is cut at its end.
  def.start = instr.next;
  def.end = static_cast<uint32_t>(std::min<size_t>(bytes_.size(), size_t{instr.next} + size));
  instr.next = def.end;
  functions_.push_back(std::move(def));
  instr.aux = static_cast<uint32_t>(functions_.size() - 1);
  heap.Charge(this, static_cast<ptrdiff_t>(sizeof(FunctionDef) + count * sizeof(FunctionParam)));
}

void CodeBlock::DecodeTry(Heap& heap, PayloadReader& in, Instr& instr) {
  TryDef def;
  def.flags = in.U8();
  uint32_t trySize = in.U16(), catchSize = in.U16(), finallySize = in.U16();
  if (def.flags & kTryCatchInRegister) {
    def.catchRegister = in.U8();
  } else {
    def.catchName = Text(heap, in.String());
  }
  if (!(def.flags & kTryHasCatch)) catchSize = 0;
  if (!(def.flags & kTryHasFinally)) finallySize = 0;
  auto clamp = [&](size_t offset) { return static_cast<uint32_t>(std::min<size_t>(offset, bytes_.size())); };
  def.tryStart = instr.next;
  def.catchStart = clamp(size_t{def.tryStart} + trySize);
  def.finallyStart = clamp(size_t{def.catchStart} + catchSize);
  def.end = clamp(size_t{def.finallyStart} + finallySize);
  tries_.push_back(def);
  instr.aux = static_cast<uint32_t>(tries_.size() - 1);
}

void CodeBlock::Trace(Tracer& tracer) {
  for (const PushItem& item : pushes_) tracer.Mark(item.value);
  for (const auto& pool : pools_) {
    for (Str* s : pool) tracer.Mark(s);
  }
  for (Str* s : strings_) tracer.Mark(s);
  for (const FunctionDef& def : functions_) {
    tracer.Mark(def.name);
    for (const FunctionParam& p : def.params) tracer.Mark(p.name);
  }
  for (const TryDef& def : tries_) tracer.Mark(def.catchName);
}

}  // namespace velmora::avm1
