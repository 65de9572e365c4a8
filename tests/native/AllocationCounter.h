// Counts the memory taken with operator new while an object of this class
// lives (the test program replaces the global operator new to do so).
#pragma once

#include <cstddef>

namespace velmora::test {

class AllocationCounter {
 public:
  AllocationCounter();
  ~AllocationCounter();
  // The most memory held at once since this object was made, above what was
  // held then.
  size_t Peak() const;
};

}  // namespace velmora::test
