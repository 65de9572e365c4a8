// Array.sort and Array.sortOn: a merge sort, so that a comparer that
// contradicts itself (or stops the script) cannot break the array.
#pragma once

#include "player/script/ArrayObject.h"

#include <vector>

namespace velmora::avm1 {

enum SortOptions : int {
  kSortCaseInsensitive = 1,
  kSortDescending = 2,
  kSortUnique = 4,
  kSortIndexed = 8,
  kSortNumeric = 16,
};

struct SortFields {
  std::vector<Str*> names;
  std::vector<int> options;
};

// The sorted array (itself), the index array, or 0 when UNIQUESORT found
// two equal elements (the array then stays as it was).
Value SortArray(Vm& vm, ArrayObject* array, const Value& comparer, int options, const SortFields* fields);

}  // namespace velmora::avm1
