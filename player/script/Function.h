// Function objects: natives written in C++ and functions defined by a
// movie's DefineFunction/DefineFunction2, which keep their code block, the
// scope chain they were defined in and the clip whose timeline defined them.
#pragma once

#include "player/script/Object.h"

#include <cstdint>
#include <vector>

namespace velmora::avm1 {

class CodeBlock;

struct CallInfo {
  Vm& vm;
  Value thisValue;
  Args args;
  Object* callee = nullptr;
  bool construct = false;  // called by `new`: thisValue is the new object
  Object* ThisObject() const { return thisValue.AsObject(); }
};

using NativeFn = Value (*)(CallInfo& call);

class FunctionObject : public Object {
 public:
  explicit FunctionObject(Object* proto) : Object(proto, ObjectClass::Function) {}
  const char* TypeName() const override { return "function"; }
  virtual bool IsNative() const = 0;
};

class NativeFunction final : public FunctionObject {
 public:
  NativeFunction(Object* proto, NativeFn fn, int tag = 0) : FunctionObject(proto), fn_(fn), tag_(tag) {}
  bool IsNative() const override { return true; }
  NativeFn Fn() const { return fn_; }
  // One native serves several methods told apart by their tag.
  int Tag() const { return tag_; }

 private:
  NativeFn fn_;
  int tag_;
};

struct FunctionParam {
  Str* name = nullptr;
  uint8_t reg = 0;  // DefineFunction2: a register to receive it, 0 for a variable
};

struct FunctionDef {
  Str* name = nullptr;
  std::vector<FunctionParam> params;
  uint16_t flags = 0;
  uint8_t registerCount = 0;
  bool v2 = false;
  uint32_t start = 0, end = 0;  // the body's bytes in the code block
};

class ScriptFunction final : public FunctionObject {
 public:
  ScriptFunction(Object* proto, CodeBlock* code, uint32_t def, Scope* closure, Object* target, int pool)
      : FunctionObject(proto), code_(code), def_(def), closure_(closure), target_(target), pool_(pool) {}
  bool IsNative() const override { return false; }
  CodeBlock* Code() const { return code_; }
  const FunctionDef& Def() const;
  Scope* Closure() const { return closure_; }
  Object* DefiningTarget() const { return target_; }
  int Pool() const { return pool_; }
  void Trace(Tracer& tracer) override;

 private:
  CodeBlock* code_;
  uint32_t def_;
  Scope* closure_;
  Object* target_;
  int pool_;  // the constant pool in force where it was defined
};

}  // namespace velmora::avm1
