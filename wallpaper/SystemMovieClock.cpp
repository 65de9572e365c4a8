#include "wallpaper/SystemMovieClock.h"

#include <windows.h>

#include <cstdint>

namespace velmora {
namespace {

// FILETIME counts 100 ns from 1601-01-01; scripts count milliseconds from 1970.
constexpr int64_t kTicksPerMs = 10000;
constexpr int64_t kMsFrom1601To1970 = 11644473600000LL;

int64_t Ticks(const FILETIME& t) {
  return static_cast<int64_t>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
}

FILETIME FromTicks(int64_t ticks) {
  FILETIME t;
  t.dwLowDateTime = static_cast<DWORD>(static_cast<uint64_t>(ticks) & 0xFFFFFFFFu);
  t.dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(ticks) >> 32);
  return t;
}

}  // namespace

double SystemMovieClock::NowUtcMs(double) {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return static_cast<double>(Ticks(now) / kTicksPerMs - kMsFrom1601To1970);
}

double SystemMovieClock::LocalOffsetMs(double utcMs) {
  if (!(utcMs > -kMsFrom1601To1970 && utcMs < 253402300800000.0)) return 0;  // outside what the system converts
  const FILETIME utcFile = FromTicks((static_cast<int64_t>(utcMs) + kMsFrom1601To1970) * kTicksPerMs);
  SYSTEMTIME utc, local;
  FILETIME localFile;
  if (!FileTimeToSystemTime(&utcFile, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local) ||
      !SystemTimeToFileTime(&local, &localFile))
    return 0;
  return static_cast<double>((Ticks(localFile) - Ticks(utcFile)) / kTicksPerMs);
}

}  // namespace velmora
