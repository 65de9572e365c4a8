// What the processor offers beyond the SSE2 every build asks for, asked once.
// The wider loops are chosen at run time: the program itself runs on any
// processor with SSE2.
#pragma once

#include <atomic>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define VELMORA_X86_DISPATCH 1
#endif

namespace velmora::swf {

namespace cpu_detail {
inline std::atomic<bool> avx2Allowed{true};
}  // namespace cpu_detail

// AVX2 (256-bit integer vectors), with the system saving its registers, and
// not turned off.
inline bool HasAvx2() {
#if defined(VELMORA_X86_DISPATCH)
  static const bool has = __builtin_cpu_supports("avx2");
  return has && cpu_detail::avx2Allowed.load(std::memory_order_relaxed);
#else
  return false;
#endif
}

// Turns the AVX2 loops off or on again, so that the tests check the
// four-wide loops too on a processor that has both.
inline void AllowAvx2(bool allowed) { cpu_detail::avx2Allowed.store(allowed, std::memory_order_relaxed); }

// AllowAvx2 for a scope, on again after it.
class ScopedAvx2 {
 public:
  explicit ScopedAvx2(bool allowed) { AllowAvx2(allowed); }
  ~ScopedAvx2() { AllowAvx2(true); }
  ScopedAvx2(const ScopedAvx2&) = delete;
  ScopedAvx2& operator=(const ScopedAvx2&) = delete;
};

}  // namespace velmora::swf
