// The DPI a scaling test's run was set to (VELMORA_LOGPIXELS, which
// scripts/wine-env.sh writes into the run's prefix); 96 when it is not set.
#pragma once

#include "common/Units.h"

#include <cstdlib>

namespace velmora::test {

inline int RunDpi() {
  const char* text = std::getenv("VELMORA_LOGPIXELS");
  return text ? std::atoi(text) : kBaseDpi;
}

}  // namespace velmora::test
