// Arithmetic, comparison, logic, string and stack actions.
#include "player/script/Convert.h"
#include "player/script/Interpreter.h"
#include "player/script/Realm.h"
#include "player/script/Text.h"
#include "player/script/Vm.h"

#include <cmath>

namespace velmora::avm1 {
namespace {

constexpr char16_t kDivideByZero[] = u"#ERROR#";

// Substring of 1-based `index` and `count` units, as StringExtract reads them.
std::u16string Extract(const std::u16string& s, double index, double count) {
  double start = std::isnan(index) ? 0 : std::floor(index) - 1;
  if (start < 0) start = 0;
  if (start >= static_cast<double>(s.size())) return u"";
  double rest = static_cast<double>(s.size()) - start;
  double n = std::isnan(count) || count < 0 || count > rest ? rest : std::floor(count);
  return s.substr(static_cast<size_t>(start), static_cast<size_t>(n));
}

}  // namespace

bool Interpreter::StepOperator(const Instr& in) {
  Vm& vm = vm_;
  switch (in.op) {
    case Op::Add:
    case Op::Subtract:
    case Op::Multiply:
    case Op::Divide: {
      double a = ToNumberSwf4(vm, Pop()), b = ToNumberSwf4(vm, Pop());
      if (in.op == Op::Add) Push(Value::Number(b + a));
      if (in.op == Op::Subtract) Push(Value::Number(b - a));
      if (in.op == Op::Multiply) Push(Value::Number(b * a));
      if (in.op == Op::Divide) {
        if (a == 0 && vm.Version() < 5) {
          Push(Value::String(vm.Intern(std::u16string_view(kDivideByZero))));
        } else {
          Push(Value::Number(b / a));
        }
      }
      return true;
    }
    case Op::Modulo: {
      double a = ToNumber(vm, Pop()), b = ToNumber(vm, Pop());
      Push(Value::Number(std::fmod(b, a)));
      return true;
    }
    case Op::Equals: {
      double a = ToNumberSwf4(vm, Pop()), b = ToNumberSwf4(vm, Pop());
      Push(BoolValue(vm, a == b));
      return true;
    }
    case Op::Less: {
      double a = ToNumberSwf4(vm, Pop()), b = ToNumberSwf4(vm, Pop());
      Push(BoolValue(vm, b < a));
      return true;
    }
    case Op::And:
    case Op::Or: {
      bool a = ToBoolean(vm, Pop()), b = ToBoolean(vm, Pop());
      Push(BoolValue(vm, in.op == Op::And ? (a && b) : (a || b)));
      return true;
    }
    case Op::Not: Push(BoolValue(vm, !ToBoolean(vm, Pop()))); return true;
    case Op::StringEquals:
    case Op::StringLess:
    case Op::StringGreater: {
      Str* a = ToStr(vm, Pop());
      Str* b = ToStr(vm, Pop());
      bool r = in.op == Op::StringEquals ? b->Text() == a->Text()
               : in.op == Op::StringLess ? b->Text() < a->Text() : b->Text() > a->Text();
      Push(BoolValue(vm, r));
      return true;
    }
    case Op::StringLength:
    case Op::MbStringLength:
      Push(Value::Number(static_cast<double>(ToStr(vm, Pop())->Length())));
      return true;
    case Op::StringExtract:
    case Op::MbStringExtract: {
      double count = ToNumber(vm, Pop()), index = ToNumber(vm, Pop());
      Str* s = ToStr(vm, Pop());
      Str* r = vm.NewString(Extract(s->Text(), index, count));
      Push(r ? Value::String(r) : Value());
      return true;
    }
    case Op::StringAdd: {
      Str* a = ToStr(vm, Pop());
      Str* b = ToStr(vm, Pop());
      Str* r = vm.NewString(b->Text() + a->Text());
      Push(r ? Value::String(r) : Value());
      return true;
    }
    case Op::ToInteger: Push(Value::Number(ToInteger(ToNumber(vm, Pop())))); return true;
    case Op::CharToAscii:
    case Op::MbCharToAscii: {
      Str* s = ToStr(vm, Pop());
      Push(Value::Number(s->Length() ? s->Text()[0] : 0));
      return true;
    }
    case Op::AsciiToChar:
    case Op::MbAsciiToChar: {
      double code = ToNumber(vm, Pop());
      std::u16string text(1, static_cast<char16_t>(ToUint32(code) & 0xFFFF));
      if (text[0] == 0) text.clear();
      Push(Value::String(vm.NewString(std::move(text))));
      return true;
    }
    case Op::Add2: {
      Value a = ToPrimitive(vm, Pop(), Hint::None);
      Value b = ToPrimitive(vm, Pop(), Hint::None);
      if (a.IsString() || b.IsString()) {
        std::u16string text;
        AppendText(vm, b, text);
        AppendText(vm, a, text);
        Str* r = vm.NewString(std::move(text));
        Push(r ? Value::String(r) : Value());
      } else {
        Push(Value::Number(ToNumber(vm, b) + ToNumber(vm, a)));
      }
      return true;
    }
    case Op::Less2: {
      Value a = Pop(), b = Pop();
      Push(LessThan(vm, b, a));
      return true;
    }
    case Op::Greater: {
      Value a = Pop(), b = Pop();
      Push(LessThan(vm, a, b));
      return true;
    }
    case Op::Equals2: {
      Value a = Pop(), b = Pop();
      Push(Value::Bool(LooseEquals(vm, b, a)));
      return true;
    }
    case Op::StrictEquals: {
      Value a = Pop(), b = Pop();
      Push(Value::Bool(StrictEquals(b, a)));
      return true;
    }
    case Op::ToNumber: Push(Value::Number(ToNumber(vm, Pop()))); return true;
    case Op::ToString: Push(Value::String(ToStr(vm, Pop()))); return true;
    case Op::Increment: Push(Value::Number(ToNumber(vm, Pop()) + 1)); return true;
    case Op::Decrement: Push(Value::Number(ToNumber(vm, Pop()) - 1)); return true;
    case Op::BitAnd:
    case Op::BitOr:
    case Op::BitXor:
    case Op::BitLShift:
    case Op::BitRShift:
    case Op::BitURShift: {
      double na = ToNumber(vm, Pop()), nb = ToNumber(vm, Pop());
      int32_t a = ToInt32(na), b = ToInt32(nb);
      uint32_t shift = static_cast<uint32_t>(a) & 31;
      double r = 0;
      switch (in.op) {
        case Op::BitAnd: r = b & a; break;
        case Op::BitOr: r = b | a; break;
        case Op::BitXor: r = b ^ a; break;
        case Op::BitLShift: r = static_cast<int32_t>(static_cast<uint32_t>(b) << shift); break;
        case Op::BitRShift: r = b >> shift; break;
        default: r = static_cast<uint32_t>(b) >> shift; break;
      }
      Push(Value::Number(r));
      return true;
    }
    case Op::Pop: Pop(); return true;
    case Op::PushDuplicate: {
      Value v = Top();
      Push(v);
      return true;
    }
    case Op::StackSwap: {
      Value a = Pop(), b = Pop();
      Push(a);
      Push(b);
      return true;
    }
    case Op::TypeOf: Push(Value::String(vm.Intern(std::string_view(TypeOf(Pop()))))); return true;
    default: return false;
  }
}

}  // namespace velmora::avm1
