#include "common/TaskbarEdge.h"

#include <charconv>

namespace velmora {

std::string DescribeTaskbar(const EdgeRect& r, long sw, long sh) {
  std::string result;
  auto band = [](long thickness, char edge) { return std::to_string(thickness) + "*" + edge; };
  if (r.left < 1 && sw <= r.right && sh <= r.bottom) result = band(r.bottom - r.top, 'B');
  if (r.top < 1 && r.left < 1 && sw <= r.right) result = band(r.bottom - r.top, 'T');
  if (r.right < sw) result = band(r.right - r.left, 'L');
  if (r.left > 0) result = band(r.right - r.left, 'R');
  return result;
}

TaskbarBand ParseTaskbarDescription(std::string_view description) {
  TaskbarBand band;
  const size_t star = description.find('*');
  if (star == std::string_view::npos || star + 1 >= description.size()) return band;
  const char edge = description[star + 1];
  if (edge != 'B' && edge != 'T' && edge != 'L' && edge != 'R') return band;
  long thickness = 0;
  const std::string_view digits = description.substr(0, star);
  const auto read = std::from_chars(digits.data(), digits.data() + digits.size(), thickness);
  if (read.ec != std::errc() || read.ptr != digits.data() + digits.size() || thickness < 0)
    return band;
  band.thickness = thickness;
  band.edge = edge;
  return band;
}

}  // namespace velmora
