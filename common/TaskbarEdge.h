// Which screen edge the taskbar lies on, worked out from its rectangle.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

struct EdgeRect {
  long left, top, right, bottom;
};

// The taskbar description "thickness*edge" (edge one of B, T, L, R), or the
// empty text when the rectangle is on no recognised edge. The tests run in a
// fixed order and each that holds replaces the previous answer.
std::string DescribeTaskbar(const EdgeRect& taskbar, long screenWidth, long screenHeight);

struct TaskbarBand {
  long thickness = 0;
  char edge = 0;  // 'B', 'T', 'L', 'R', or 0 when not recognised
};

// Splits a description back into thickness and edge.
TaskbarBand ParseTaskbarDescription(std::string_view description);

}  // namespace velmora
