// The processor time this process has taken so far, every thread counted
// (kernel and user), in seconds: what a wallpaper really costs, for the
// benchmarks and the tests that hold a rest to costing nothing.
#pragma once

#include <windows.h>

namespace velmora {

inline double ProcessCpuSeconds() {
  FILETIME created, exited, kernel, user;
  if (!::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
  const auto seconds = [](FILETIME t) {
    return ((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
  };
  return seconds(kernel) + seconds(user);
}

}  // namespace velmora
