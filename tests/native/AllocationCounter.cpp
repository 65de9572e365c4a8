#include "tests/native/AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace {

// Each block carries its size in front of it.
constexpr size_t kHeader = alignof(std::max_align_t);
size_t current = 0, peak = 0, base = 0;
int counting = 0;

void* Take(size_t size) {
  void* block = std::malloc(size + kHeader);
  if (!block) throw std::bad_alloc();
  *static_cast<size_t*>(block) = size;
  current += size;
  if (counting && current > peak) peak = current;
  return static_cast<char*>(block) + kHeader;
}

void Give(void* p) {
  if (!p) return;
  void* block = static_cast<char*>(p) - kHeader;
  current -= *static_cast<size_t*>(block);
  std::free(block);
}

}  // namespace

void* operator new(size_t size) { return Take(size); }
void* operator new[](size_t size) { return Take(size); }
void operator delete(void* p) noexcept { Give(p); }
void operator delete[](void* p) noexcept { Give(p); }
void operator delete(void* p, size_t) noexcept { Give(p); }
void operator delete[](void* p, size_t) noexcept { Give(p); }

namespace velmora::test {

AllocationCounter::AllocationCounter() {
  ++counting;
  base = peak = current;
}
AllocationCounter::~AllocationCounter() { --counting; }
size_t AllocationCounter::Peak() const { return peak - base; }

}  // namespace velmora::test
