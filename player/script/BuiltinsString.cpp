// String and its methods; lengths and indices count UTF-16 units.
#include "player/script/ArrayObject.h"
#include "player/script/Builtins.h"
#include "player/script/Realm.h"

#include <algorithm>
#include <cmath>

namespace velmora::avm1 {
namespace {

std::u16string ThisText(CallInfo& c) {
  Value v = c.thisValue;
  if (auto* box = dynamic_cast<BoxObject*>(v.AsObject())) v = box->Primitive();
  return ToText(c.vm, v);
}

// An index argument as substring and friends clamp it.
size_t ClampIndex(double n, size_t length) {
  if (std::isnan(n) || n < 0) return 0;
  return static_cast<size_t>(std::min(std::trunc(n), static_cast<double>(length)));
}

size_t RelativeIndex(double n, size_t length) {
  if (std::isnan(n)) return 0;
  n = std::trunc(n);
  if (n < 0) n = std::max(0.0, static_cast<double>(length) + n);
  return static_cast<size_t>(std::min(n, static_cast<double>(length)));
}

Value StringCtor(CallInfo& c) {
  Vm& vm = c.vm;
  Value v = c.args.Size() ? Value::String(ToStr(vm, c.args[0])) : Value::String(vm.N().empty);
  if (!c.construct) return v;
  return Value::Obj(vm.GetHeap().New<BoxObject>(vm.P().string, ObjectClass::String, v));
}

Value ToStringMethod(CallInfo& c) { return TextValue(c.vm, ThisText(c)); }

Value CharAt(CallInfo& c) {
  std::u16string s = ThisText(c);
  double i = ToInteger(NumberArg(c, 0));
  if (i < 0 || i >= static_cast<double>(s.size())) return Value::String(c.vm.N().empty);
  return TextValue(c.vm, s.substr(static_cast<size_t>(i), 1));
}

Value CharCodeAt(CallInfo& c) {
  std::u16string s = ThisText(c);
  double i = ToInteger(NumberArg(c, 0));
  if (i < 0 || i >= static_cast<double>(s.size())) return Value::Number(std::nan(""));
  return Value::Number(s[static_cast<size_t>(i)]);
}

Value Concat(CallInfo& c) {
  std::u16string s = ThisText(c);
  for (size_t i = 0; i < c.args.Size(); ++i) AppendText(c.vm, c.args[i], s);
  return TextValue(c.vm, std::move(s));
}

Value IndexOf(CallInfo& c) {
  std::u16string s = ThisText(c), what = ToText(c.vm, c.args[0]);
  size_t from = c.args.Size() > 1 ? ClampIndex(NumberArg(c, 1), s.size()) : 0;
  size_t at = s.find(what, from);
  return Value::Number(at == std::u16string::npos ? -1 : static_cast<double>(at));
}

Value LastIndexOf(CallInfo& c) {
  std::u16string s = ThisText(c), what = ToText(c.vm, c.args[0]);
  size_t from = std::u16string::npos;
  if (c.args.Size() > 1) {
    double n = NumberArg(c, 1);
    if (n < 0) return Value::Number(-1);
    if (!std::isnan(n)) from = static_cast<size_t>(std::min(n, static_cast<double>(s.size())));
  }
  size_t at = s.rfind(what, from);
  return Value::Number(at == std::u16string::npos ? -1 : static_cast<double>(at));
}

Value Slice(CallInfo& c) {
  std::u16string s = ThisText(c);
  size_t start = RelativeIndex(NumberArg(c, 0), s.size());
  size_t end = c.args[1].IsUndefined() ? s.size() : RelativeIndex(NumberArg(c, 1), s.size());
  return TextValue(c.vm, start < end ? s.substr(start, end - start) : u"");
}

Value Substring(CallInfo& c) {
  std::u16string s = ThisText(c);
  size_t start = ClampIndex(NumberArg(c, 0), s.size());
  size_t end = c.args[1].IsUndefined() ? s.size() : ClampIndex(NumberArg(c, 1), s.size());
  if (start > end) std::swap(start, end);
  return TextValue(c.vm, s.substr(start, end - start));
}

Value Substr(CallInfo& c) {
  std::u16string s = ThisText(c);
  size_t start = RelativeIndex(NumberArg(c, 0), s.size());
  double count = c.args[1].IsUndefined() ? static_cast<double>(s.size()) : ToInteger(NumberArg(c, 1));
  if (count <= 0) return Value::String(c.vm.N().empty);
  return TextValue(c.vm, s.substr(start, static_cast<size_t>(std::min(count, static_cast<double>(s.size())))));
}

Value Split(CallInfo& c) {
  Vm& vm = c.vm;
  std::u16string s = ThisText(c);
  ArrayObject* r = NewArray(vm);
  double limit = c.args[1].IsUndefined() ? 4294967295.0 : ToInteger(NumberArg(c, 1));
  if (c.args[0].IsUndefined()) {
    r->PushBack(vm, TextValue(vm, s));
    return Value::Obj(r);
  }
  std::u16string sep = ToText(vm, c.args[0]);
  auto add = [&](std::u16string piece) {
    if (r->Length() < limit && !vm.Failing()) r->PushBack(vm, TextValue(vm, std::move(piece)));
  };
  if (sep.empty()) {
    for (char16_t ch : s) add(std::u16string(1, ch));
    return Value::Obj(r);
  }
  size_t start = 0;
  while (r->Length() < limit && !vm.Failing()) {
    size_t at = s.find(sep, start);
    if (at == std::u16string::npos) {
      add(s.substr(start));
      break;
    }
    add(s.substr(start, at - start));
    start = at + sep.size();
  }
  return Value::Obj(r);
}

char16_t Lower(char16_t ch) {
  if ((ch >= u'A' && ch <= u'Z') || (ch >= 0xC0 && ch <= 0xDE && ch != 0xD7)) return static_cast<char16_t>(ch + 32);
  if (ch >= 0x391 && ch <= 0x3A9) return static_cast<char16_t>(ch + 32);
  if (ch >= 0x410 && ch <= 0x42F) return static_cast<char16_t>(ch + 32);
  return ch;
}

char16_t Upper(char16_t ch) {
  if ((ch >= u'a' && ch <= u'z') || (ch >= 0xE0 && ch <= 0xFE && ch != 0xF7)) return static_cast<char16_t>(ch - 32);
  if (ch >= 0x3B1 && ch <= 0x3C9 && ch != 0x3C2) return static_cast<char16_t>(ch - 32);
  if (ch >= 0x430 && ch <= 0x44F) return static_cast<char16_t>(ch - 32);
  return ch;
}

Value ToLowerCase(CallInfo& c) {
  std::u16string s = ThisText(c);
  for (char16_t& ch : s) ch = Lower(ch);
  return TextValue(c.vm, std::move(s));
}

Value ToUpperCase(CallInfo& c) {
  std::u16string s = ThisText(c);
  for (char16_t& ch : s) ch = Upper(ch);
  return TextValue(c.vm, std::move(s));
}

Value FromCharCode(CallInfo& c) {
  std::u16string s;
  for (size_t i = 0; i < c.args.Size(); ++i) {
    char16_t ch = static_cast<char16_t>(ToUint32(NumberArg(c, i)) & 0xFFFF);
    if (ch) s.push_back(ch);
  }
  return TextValue(c.vm, std::move(s));
}

}  // namespace

void InstallString(Vm& vm) {
  Protos& p = vm.P();
  p.string = vm.NewObject();
  NativeFunction* ctor = DefineClass(vm, vm.Global(), "String", StringCtor, p.string);
  vm.Method(ctor, "fromCharCode", FromCharCode);
  vm.Method(p.string, "toString", ToStringMethod);
  vm.Method(p.string, "valueOf", ToStringMethod);
  vm.Method(p.string, "charAt", CharAt);
  vm.Method(p.string, "charCodeAt", CharCodeAt);
  vm.Method(p.string, "concat", Concat);
  vm.Method(p.string, "indexOf", IndexOf);
  vm.Method(p.string, "lastIndexOf", LastIndexOf);
  vm.Method(p.string, "slice", Slice);
  vm.Method(p.string, "substring", Substring);
  vm.Method(p.string, "substr", Substr);
  vm.Method(p.string, "split", Split);
  vm.Method(p.string, "toLowerCase", ToLowerCase);
  vm.Method(p.string, "toUpperCase", ToUpperCase);
}

}  // namespace velmora::avm1
