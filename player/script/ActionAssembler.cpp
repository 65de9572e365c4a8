#include "player/script/ActionAssembler.h"

#include <cstring>
#include <limits>

namespace velmora::avm1 {
namespace {

constexpr size_t kUnbound = std::numeric_limits<size_t>::max();

}  // namespace

void ActionAssembler::AddString(std::vector<uint8_t>& out, const std::string& s) {
  out.insert(out.end(), s.begin(), s.end());
  out.push_back(0);
}

void ActionAssembler::AddU16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v & 0xFF));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void ActionAssembler::Record(uint8_t code, const std::vector<uint8_t>& payload) {
  code_.push_back(code);
  if (code < 0x80) return;
  AddU16(code_, static_cast<uint16_t>(payload.size()));
  code_.insert(code_.end(), payload.begin(), payload.end());
}

void ActionAssembler::U16At(size_t at, size_t value) {
  code_[at] = static_cast<uint8_t>(value & 0xFF);
  code_[at + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

ActionAssembler& ActionAssembler::Push(std::initializer_list<PushArg> values) {
  std::vector<uint8_t> p;
  for (const PushArg& v : values) {
    p.push_back(static_cast<uint8_t>(v.type));
    switch (v.type) {
      case PushType::String: AddString(p, v.text); break;
      case PushType::Float: {
        float f = static_cast<float>(v.number);
        uint32_t bits;
        std::memcpy(&bits, &f, 4);
        for (int i = 0; i < 4; ++i) p.push_back(static_cast<uint8_t>(bits >> (8 * i)));
        break;
      }
      case PushType::Register:
      case PushType::Constant8: p.push_back(static_cast<uint8_t>(v.index)); break;
      case PushType::Boolean: p.push_back(v.flag ? 1 : 0); break;
      case PushType::Double: {
        uint64_t bits;
        std::memcpy(&bits, &v.number, 8);
        uint32_t high = static_cast<uint32_t>(bits >> 32), low = static_cast<uint32_t>(bits);
        for (int i = 0; i < 4; ++i) p.push_back(static_cast<uint8_t>(high >> (8 * i)));
        for (int i = 0; i < 4; ++i) p.push_back(static_cast<uint8_t>(low >> (8 * i)));
        break;
      }
      case PushType::Integer: {
        uint32_t bits = static_cast<uint32_t>(static_cast<int32_t>(v.number));
        for (int i = 0; i < 4; ++i) p.push_back(static_cast<uint8_t>(bits >> (8 * i)));
        break;
      }
      case PushType::Constant16: AddU16(p, v.index); break;
      default: break;
    }
  }
  Record(static_cast<uint8_t>(Op::Push), p);
  return *this;
}

ActionAssembler& ActionAssembler::Do(Op op) {
  Record(static_cast<uint8_t>(op), {});
  return *this;
}

ActionAssembler& ActionAssembler::Raw(uint8_t code, const std::vector<uint8_t>& payload) {
  Record(code, payload);
  return *this;
}

ActionAssembler& ActionAssembler::ConstantPool(const std::vector<std::string>& names) {
  std::vector<uint8_t> p;
  AddU16(p, static_cast<uint16_t>(names.size()));
  for (const std::string& n : names) AddString(p, n);
  Record(static_cast<uint8_t>(Op::ConstantPool), p);
  return *this;
}

ActionAssembler& ActionAssembler::GotoFrame(uint16_t frame0) {
  std::vector<uint8_t> p;
  AddU16(p, frame0);
  Record(static_cast<uint8_t>(Op::GotoFrame), p);
  return *this;
}

ActionAssembler& ActionAssembler::GotoLabel(const std::string& label) {
  std::vector<uint8_t> p;
  AddString(p, label);
  Record(static_cast<uint8_t>(Op::GotoLabel), p);
  return *this;
}

ActionAssembler& ActionAssembler::SetTarget(const std::string& path) {
  std::vector<uint8_t> p;
  AddString(p, path);
  Record(static_cast<uint8_t>(Op::SetTarget), p);
  return *this;
}

ActionAssembler& ActionAssembler::GetUrl(const std::string& url, const std::string& target) {
  std::vector<uint8_t> p;
  AddString(p, url);
  AddString(p, target);
  Record(static_cast<uint8_t>(Op::GetUrl), p);
  return *this;
}

ActionAssembler& ActionAssembler::GetUrl2(uint8_t flags) {
  Record(static_cast<uint8_t>(Op::GetUrl2), {flags});
  return *this;
}

ActionAssembler& ActionAssembler::GotoFrame2(bool play, uint16_t sceneBias) {
  std::vector<uint8_t> p{static_cast<uint8_t>((play ? 1 : 0) | (sceneBias ? 2 : 0))};
  if (sceneBias) AddU16(p, sceneBias);
  Record(static_cast<uint8_t>(Op::GotoFrame2), p);
  return *this;
}

ActionAssembler& ActionAssembler::StoreRegister(uint8_t reg) {
  Record(static_cast<uint8_t>(Op::StoreRegister), {reg});
  return *this;
}

ActionAssembler& ActionAssembler::WaitForFrame(uint16_t frame, uint8_t skip) {
  std::vector<uint8_t> p;
  AddU16(p, frame);
  p.push_back(skip);
  Record(static_cast<uint8_t>(Op::WaitForFrame), p);
  return *this;
}

ActionAssembler& ActionAssembler::WaitForFrame2(uint8_t skip) {
  Record(static_cast<uint8_t>(Op::WaitForFrame2), {skip});
  return *this;
}

ActionAssembler::Label ActionAssembler::NewLabel() {
  labels_.push_back(kUnbound);
  return labels_.size() - 1;
}

ActionAssembler& ActionAssembler::Bind(Label label) {
  labels_[label] = code_.size();
  return *this;
}

ActionAssembler& ActionAssembler::Jump(Label label) {
  Record(static_cast<uint8_t>(Op::Jump), {0, 0});
  fixups_.emplace_back(code_.size() - 2, label);
  return *this;
}

ActionAssembler& ActionAssembler::If(Label label) {
  Record(static_cast<uint8_t>(Op::If), {0, 0});
  fixups_.emplace_back(code_.size() - 2, label);
  return *this;
}

ActionAssembler& ActionAssembler::DefineFunction(const std::string& name, const std::vector<std::string>& params) {
  std::vector<uint8_t> p;
  AddString(p, name);
  AddU16(p, static_cast<uint16_t>(params.size()));
  for (const std::string& param : params) AddString(p, param);
  AddU16(p, 0);
  Record(static_cast<uint8_t>(Op::DefineFunction), p);
  open_.push_back({code_.size() - 2, code_.size()});
  return *this;
}

ActionAssembler& ActionAssembler::DefineFunction2(const std::string& name, const std::vector<RegisterParam>& params,
                                                  uint8_t registerCount, uint16_t flags) {
  std::vector<uint8_t> p;
  AddString(p, name);
  AddU16(p, static_cast<uint16_t>(params.size()));
  p.push_back(registerCount);
  AddU16(p, flags);
  for (const RegisterParam& param : params) {
    p.push_back(param.reg);
    AddString(p, param.name);
  }
  AddU16(p, 0);
  Record(static_cast<uint8_t>(Op::DefineFunction2), p);
  open_.push_back({code_.size() - 2, code_.size()});
  return *this;
}

ActionAssembler& ActionAssembler::EndFunction() {
  Open o = open_.back();
  open_.pop_back();
  U16At(o.sizeField, code_.size() - o.start);
  return *this;
}

ActionAssembler& ActionAssembler::With() {
  Record(static_cast<uint8_t>(Op::With), {0, 0});
  open_.push_back({code_.size() - 2, code_.size()});
  return *this;
}

ActionAssembler& ActionAssembler::EndWith() { return EndFunction(); }

ActionAssembler& ActionAssembler::Try(const std::string& catchName, bool hasCatch, bool hasFinally,
                                      uint8_t catchRegister) {
  std::vector<uint8_t> p{static_cast<uint8_t>((hasCatch ? kTryHasCatch : 0) | (hasFinally ? kTryHasFinally : 0) |
                                              (catchRegister ? kTryCatchInRegister : 0)),
                         0, 0, 0, 0, 0, 0};
  if (catchRegister) {
    p.push_back(catchRegister);
  } else {
    AddString(p, catchName);
  }
  Record(static_cast<uint8_t>(Op::Try), p);
  size_t payload = code_.size() - p.size();
  tries_.push_back({payload, code_.size(), 0, hasCatch, hasFinally});
  return *this;
}

ActionAssembler& ActionAssembler::Catch() {
  OpenTry& t = tries_.back();
  U16At(t.record + 1, code_.size() - t.start);
  t.start = code_.size();
  t.part = 1;
  return *this;
}

ActionAssembler& ActionAssembler::Finally() {
  OpenTry& t = tries_.back();
  U16At(t.record + (t.part == 0 ? 1 : 3), code_.size() - t.start);
  t.start = code_.size();
  t.part = 2;
  return *this;
}

ActionAssembler& ActionAssembler::EndTry() {
  OpenTry t = tries_.back();
  tries_.pop_back();
  U16At(t.record + 1 + 2 * t.part, code_.size() - t.start);
  return *this;
}

std::vector<uint8_t> ActionAssembler::Bytes() const {
  std::vector<uint8_t> out = code_;
  for (const auto& [field, label] : fixups_) {
    size_t target = labels_[label];
    ptrdiff_t offset = static_cast<ptrdiff_t>(target) - static_cast<ptrdiff_t>(field + 2);
    auto v = static_cast<uint16_t>(static_cast<int16_t>(offset));
    out[field] = static_cast<uint8_t>(v & 0xFF);
    out[field + 1] = static_cast<uint8_t>(v >> 8);
  }
  out.push_back(0);
  return out;
}

}  // namespace velmora::avm1
