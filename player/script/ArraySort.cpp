#include "player/script/ArraySort.h"

#include "player/script/Convert.h"
#include "player/script/Vm.h"

#include <cmath>

namespace velmora::avm1 {
namespace {

char16_t Fold(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

int CompareText(const std::u16string& a, const std::u16string& b, bool ignoreCase) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    char16_t x = ignoreCase ? Fold(a[i]) : a[i], y = ignoreCase ? Fold(b[i]) : b[i];
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

class Sorter {
 public:
  Sorter(Vm& vm, const Value& comparer, int options, const SortFields* fields)
      : vm_(vm), comparer_(comparer), options_(options), fields_(fields) {}

  int Compare(const Value& a, const Value& b) {
    if (vm_.Failing()) return 0;
    if (fields_) {
      for (size_t i = 0; i < fields_->names.size(); ++i) {
        Value x = vm_.GetValue(a, fields_->names[i]), y = vm_.GetValue(b, fields_->names[i]);
        int r = CompareValues(x, y, fields_->options[i]);
        if (r != 0) return r;
      }
      return 0;
    }
    return CompareValues(a, b, options_);
  }

 private:
  int CompareValues(const Value& a, const Value& b, int options) {
    int r;
    if (comparer_.IsObject()) {
      Value args[2] = {a, b};
      double n = ToNumber(vm_, vm_.Call(comparer_, Value(), Args(args, 2)));
      r = std::isnan(n) || n == 0 ? 0 : n < 0 ? -1 : 1;
    } else if (options & kSortNumeric) {
      double x = ToNumber(vm_, a), y = ToNumber(vm_, b);
      r = x < y ? -1 : x > y ? 1 : 0;
    } else {
      r = CompareText(ToText(vm_, a), ToText(vm_, b), (options & kSortCaseInsensitive) != 0);
    }
    return (options & kSortDescending) ? -r : r;
  }

  Vm& vm_;
  Value comparer_;
  int options_;
  const SortFields* fields_;
};

// Bottom-up merge sort of indices into `values`.
void MergeSort(std::vector<uint32_t>& order, const std::vector<Value>& values, Sorter& sorter) {
  std::vector<uint32_t> buffer(order.size());
  for (size_t width = 1; width < order.size(); width *= 2) {
    for (size_t lo = 0; lo < order.size(); lo += 2 * width) {
      size_t mid = std::min(lo + width, order.size()), hi = std::min(lo + 2 * width, order.size());
      size_t i = lo, j = mid, k = lo;
      while (i < mid && j < hi) {
        buffer[k++] = sorter.Compare(values[order[j]], values[order[i]]) < 0 ? order[j++] : order[i++];
      }
      while (i < mid) buffer[k++] = order[i++];
      while (j < hi) buffer[k++] = order[j++];
    }
    order.swap(buffer);
  }
}

}  // namespace

Value SortArray(Vm& vm, ArrayObject* array, const Value& comparer, int options, const SortFields* fields) {
  std::vector<Value> values = array->Elements();
  std::vector<uint32_t> order(values.size());
  for (uint32_t i = 0; i < order.size(); ++i) order[i] = i;
  Sorter sorter(vm, comparer, options, fields);
  MergeSort(order, values, sorter);
  if (vm.Failing()) return Value();
  if (options & kSortUnique) {
    for (size_t i = 1; i < order.size(); ++i) {
      if (sorter.Compare(values[order[i - 1]], values[order[i]]) == 0) return Value::Number(0);
    }
  }
  if (options & kSortIndexed) {
    ArrayObject* r = NewArray(vm);
    for (uint32_t i : order) r->PushBack(vm, Value::Number(i));
    return Value::Obj(r);
  }
  auto& e = array->Elements();
  if (e.size() == values.size()) {
    for (size_t i = 0; i < order.size(); ++i) e[i] = values[order[i]];
  }
  return Value::Obj(array);
}

}  // namespace velmora::avm1
