// Writes action records, for tests and tools that need real bytecode:
// pushes of any value kind, every action, labels for jumps, functions,
// With and Try blocks whose sizes are filled in when they are closed.
#pragma once

#include "player/script/Bytecode.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace velmora::avm1 {

struct PushArg {
  PushType type;
  double number = 0;
  std::string text;
  uint16_t index = 0;
  bool flag = false;

  PushArg(double d) : type(PushType::Double), number(d) {}
  PushArg(int i) : type(PushType::Integer), number(i) {}
  PushArg(const char* s) : type(PushType::String), text(s) {}
  PushArg(std::string s) : type(PushType::String), text(std::move(s)) {}
  PushArg(bool b) : type(PushType::Boolean), flag(b) {}
  static PushArg Null() { return PushArg(PushType::Null); }
  static PushArg Undefined() { return PushArg(PushType::Undefined); }
  static PushArg Register(uint8_t r) {
    PushArg a(PushType::Register);
    a.index = r;
    return a;
  }
  static PushArg Constant(uint16_t i) {
    PushArg a(i < 256 ? PushType::Constant8 : PushType::Constant16);
    a.index = i;
    return a;
  }
  static PushArg Float(float f) {
    PushArg a(PushType::Float);
    a.number = f;
    return a;
  }

 private:
  explicit PushArg(PushType t) : type(t) {}
};

struct RegisterParam {
  std::string name;
  uint8_t reg = 0;
};

class ActionAssembler {
 public:
  using Label = size_t;

  ActionAssembler& Push(std::initializer_list<PushArg> values);
  ActionAssembler& Do(Op op);  // an action without a payload
  ActionAssembler& Raw(uint8_t code, const std::vector<uint8_t>& payload);
  ActionAssembler& ConstantPool(const std::vector<std::string>& names);
  ActionAssembler& GotoFrame(uint16_t frame0);
  ActionAssembler& GotoLabel(const std::string& label);
  ActionAssembler& SetTarget(const std::string& path);
  ActionAssembler& GetUrl(const std::string& url, const std::string& target);
  ActionAssembler& GetUrl2(uint8_t flags);
  ActionAssembler& GotoFrame2(bool play, uint16_t sceneBias = 0);
  ActionAssembler& StoreRegister(uint8_t reg);
  ActionAssembler& WaitForFrame(uint16_t frame, uint8_t skip);
  ActionAssembler& WaitForFrame2(uint8_t skip);

  Label NewLabel();
  ActionAssembler& Bind(Label label);
  ActionAssembler& Jump(Label label);
  ActionAssembler& If(Label label);

  // The body follows until EndFunction.
  ActionAssembler& DefineFunction(const std::string& name, const std::vector<std::string>& params);
  ActionAssembler& DefineFunction2(const std::string& name, const std::vector<RegisterParam>& params,
                                   uint8_t registerCount, uint16_t flags);
  ActionAssembler& EndFunction();
  // Pops the scope object; the block follows until EndWith.
  ActionAssembler& With();
  ActionAssembler& EndWith();
  // try { ... } [Catch() ...] [Finally() ...] EndTry(); the catch goes to a
  // variable, or to a register when `catchRegister` is 1 to 255.
  ActionAssembler& Try(const std::string& catchName, bool hasCatch, bool hasFinally, uint8_t catchRegister = 0);
  ActionAssembler& Catch();
  ActionAssembler& Finally();
  ActionAssembler& EndTry();

  // The code with an End action after it; labels resolved.
  std::vector<uint8_t> Bytes() const;
  size_t Size() const { return code_.size(); }

 private:
  struct Open {
    size_t sizeField;  // where the 16-bit size goes
    size_t start;      // first byte the size counts
  };
  struct OpenTry {
    size_t record;  // the Try record's payload start
    size_t start;
    int part = 0;   // 0 try, 1 catch, 2 finally
    bool hasCatch = false, hasFinally = false;
  };
  void Record(uint8_t code, const std::vector<uint8_t>& payload);
  void U16At(size_t at, size_t value);
  static void AddString(std::vector<uint8_t>& out, const std::string& s);
  static void AddU16(std::vector<uint8_t>& out, uint16_t v);

  std::vector<uint8_t> code_;
  std::vector<size_t> labels_;                     // bound offsets (SIZE_MAX unbound)
  std::vector<std::pair<size_t, Label>> fixups_;   // offset field position -> label
  std::vector<Open> open_;
  std::vector<OpenTry> tries_;
};

}  // namespace velmora::avm1
