// Array and its methods; sorting is in ArraySort.cpp.
#include "player/script/ArraySort.h"
#include "player/script/ArrayObject.h"
#include "player/script/Builtins.h"
#include "player/script/Realm.h"

#include <algorithm>
#include <cmath>

namespace velmora::avm1 {
namespace {

ArrayObject* ThisArray(CallInfo& c) { return dynamic_cast<ArrayObject*>(c.thisValue.AsObject()); }

// A relative index (negative counts from the end) clamped to [0, length].
size_t RelativeIndex(double n, size_t length) {
  if (std::isnan(n)) return 0;
  n = std::trunc(n);
  if (n < 0) n = std::max(0.0, static_cast<double>(length) + n);
  return static_cast<size_t>(std::min(n, static_cast<double>(length)));
}

Value ArrayCtor(CallInfo& c) {
  Vm& vm = c.vm;
  ArrayObject* a = NewArray(vm);
  if (c.args.Size() == 1 && c.args[0].IsNumber()) {
    double n = c.args[0].AsNumber();
    if (n >= 0 && n == std::floor(n)) a->Resize(vm, std::min<double>(n, vm.GetLimits().arrayLength));
  } else {
    for (size_t i = 0; i < c.args.Size(); ++i) a->PushBack(vm, c.args[i]);
  }
  return Value::Obj(a);
}

Value Push(CallInfo& c) {
  ArrayObject* a = ThisArray(c);
  if (!a) return Value();
  for (size_t i = 0; i < c.args.Size(); ++i) a->PushBack(c.vm, c.args[i]);
  return Value::Number(a->Length());
}

Value PopLast(CallInfo& c) {
  ArrayObject* a = ThisArray(c);
  if (!a || a->Length() == 0) return Value();
  Value v = a->Elements().back();
  a->Resize(c.vm, a->Length() - 1);
  return v;
}

Value Shift(CallInfo& c) {
  ArrayObject* a = ThisArray(c);
  if (!a || a->Length() == 0) return Value();
  Value v = a->Elements().front();
  a->Elements().erase(a->Elements().begin());
  c.vm.GetHeap().Charge(a, -static_cast<ptrdiff_t>(sizeof(Value)));
  return v;
}

Value Unshift(CallInfo& c) {
  ArrayObject* a = ThisArray(c);
  if (!a) return Value();
  size_t n = c.args.Size();
  if (!a->Resize(c.vm, a->Length() + n)) return Value::Number(a->Length());
  auto& e = a->Elements();
  std::move_backward(e.begin(), e.end() - static_cast<ptrdiff_t>(n), e.end());
  for (size_t i = 0; i < n; ++i) e[i] = c.args[i];
  return Value::Number(a->Length());
}

Value Slice(CallInfo& c) {
  ArrayObject* a = ThisArray(c);
  if (!a) return Value();
  size_t length = a->Length();
  size_t start = RelativeIndex(NumberArg(c, 0), length);
  size_t end = c.args[1].IsUndefined() ? length : RelativeIndex(NumberArg(c, 1), length);
  ArrayObject* r = NewArray(c.vm);
  for (size_t i = start; i < end; ++i) r->PushBack(c.vm, a->Element(static_cast<uint32_t>(i)));
  return Value::Obj(r);
}

Value Splice(CallInfo& c) {
  ArrayObject* a = ThisArray(c);
  if (!a || c.args.Size() == 0) return Value();
  auto& e = a->Elements();
  size_t length = e.size();
  size_t start = RelativeIndex(NumberArg(c, 0), length);
  double want = c.args.Size() > 1 ? ToInteger(NumberArg(c, 1)) : static_cast<double>(length - start);
  size_t count = want <= 0 ? 0 : static_cast<size_t>(std::min(want, static_cast<double>(length - start)));
  size_t added = c.args.Size() > 2 ? c.args.Size() - 2 : 0;
  if (length - count + added > c.vm.GetLimits().arrayLength) return Value();
  ArrayObject* removed = NewArray(c.vm, Args(e.data() + start, count));
  std::vector<Value> inserted(c.args.Data() + (c.args.Size() > 2 ? 2 : c.args.Size()), c.args.Data() + c.args.Size());
  e.erase(e.begin() + static_cast<ptrdiff_t>(start), e.begin() + static_cast<ptrdiff_t>(start + count));
  e.insert(e.begin() + static_cast<ptrdiff_t>(start), inserted.begin(), inserted.end());
  c.vm.GetHeap().Charge(a, (static_cast<ptrdiff_t>(added) - static_cast<ptrdiff_t>(count)) * static_cast<ptrdiff_t>(sizeof(Value)));
  return Value::Obj(removed);
}

Value Concat(CallInfo& c) {
  ArrayObject* a = ThisArray(c);
  if (!a) return Value();
  ArrayObject* r = NewArray(c.vm, Args(a->Elements().data(), a->Length()));
  for (size_t i = 0; i < c.args.Size() && !c.vm.Failing(); ++i) {
    if (auto* other = dynamic_cast<ArrayObject*>(c.args[i].AsObject())) {
      for (const Value& v : std::vector<Value>(other->Elements())) r->PushBack(c.vm, v);
    } else {
      r->PushBack(c.vm, c.args[i]);
    }
  }
  return Value::Obj(r);
}

Value Join(CallInfo& c) {
  ArrayObject* a = ThisArray(c);
  Vm& vm = c.vm;
  if (!a) return Value();
  std::u16string separator = c.args[0].IsUndefined() ? u"," : ToText(vm, c.args[0]);
  std::u16string out;
  std::vector<Value> elements = a->Elements();
  for (size_t i = 0; i < elements.size() && !vm.Failing(); ++i) {
    if (i > 0) out += separator;
    // Undefined elements show as empty in every version.
    if (!elements[i].IsUndefined()) AppendText(vm, elements[i], out);
    if (out.size() > vm.GetLimits().stringLength) {
      vm.Abort(StopReason::StringTooLong);
      return Value();
    }
  }
  return TextValue(vm, std::move(out));
}

Value ToStringArray(CallInfo& c) {
  CallInfo plain{c.vm, c.thisValue, Args(), c.callee, false};
  return Join(plain);
}

Value Reverse(CallInfo& c) {
  ArrayObject* a = ThisArray(c);
  if (!a) return Value();
  std::reverse(a->Elements().begin(), a->Elements().end());
  return c.thisValue;
}

Value Sort(CallInfo& c) {
  ArrayObject* a = ThisArray(c);
  if (!a) return Value();
  Value comparer;
  int options = 0;
  if (c.vm.IsCallable(c.args[0])) {
    comparer = c.args[0];
    options = ToInt32(NumberArg(c, 1));
  } else if (!c.args[0].IsUndefined()) {
    options = ToInt32(NumberArg(c, 0));
  }
  return SortArray(c.vm, a, comparer, options, nullptr);
}

Value SortOn(CallInfo& c) {
  ArrayObject* a = ThisArray(c);
  if (!a) return Value();
  SortFields fields;
  Vm& vm = c.vm;
  auto* names = dynamic_cast<ArrayObject*>(c.args[0].AsObject());
  auto* optionList = dynamic_cast<ArrayObject*>(c.args[1].AsObject());
  int common = optionList ? 0 : ToInt32(NumberArg(c, 1));
  std::vector<Value> nameValues = names ? names->Elements() : std::vector<Value>{c.args[0]};
  for (size_t i = 0; i < nameValues.size(); ++i) {
    fields.names.push_back(vm.Intern(ToStr(vm, nameValues[i])));
    fields.options.push_back(optionList ? ToInt32(ToNumber(vm, optionList->Element(static_cast<uint32_t>(i)))) : common);
  }
  return SortArray(vm, a, Value(), fields.options.empty() ? common : fields.options[0], &fields);
}

}  // namespace

void InstallArray(Vm& vm) {
  Protos& p = vm.P();
  p.array = vm.GetHeap().New<ArrayObject>(p.object);
  NativeFunction* ctor = DefineClass(vm, vm.Global(), "Array", ArrayCtor, p.array);
  p.arrayCtor = ctor;
  vm.Method(p.array, "push", Push);
  vm.Method(p.array, "pop", PopLast);
  vm.Method(p.array, "shift", Shift);
  vm.Method(p.array, "unshift", Unshift);
  vm.Method(p.array, "slice", Slice);
  vm.Method(p.array, "splice", Splice);
  vm.Method(p.array, "concat", Concat);
  vm.Method(p.array, "join", Join);
  vm.Method(p.array, "toString", ToStringArray);
  vm.Method(p.array, "reverse", Reverse);
  vm.Method(p.array, "sort", Sort);
  vm.Method(p.array, "sortOn", SortOn);
  SetConstant(vm, ctor, "CASEINSENSITIVE", Value::Number(kSortCaseInsensitive));
  SetConstant(vm, ctor, "DESCENDING", Value::Number(kSortDescending));
  SetConstant(vm, ctor, "UNIQUESORT", Value::Number(kSortUnique));
  SetConstant(vm, ctor, "RETURNINDEXEDARRAY", Value::Number(kSortIndexed));
  SetConstant(vm, ctor, "NUMERIC", Value::Number(kSortNumeric));
}

}  // namespace velmora::avm1
