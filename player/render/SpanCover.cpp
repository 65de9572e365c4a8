#include "player/render/SpanCover.h"

#include "player/render/Compositing.h"

#include <algorithm>

namespace velmora::swf {
namespace {

// Spans shorter than this are not worth looking through for a covered run.
constexpr int kLeastDirectSpan = 32;

// An opaque paint over a span wholly covered but at its ends (the run across
// a shape's inside, with its anti-aliased edges): its colours go straight
// into the target, and the ends are blended over what they held, as the
// blend over the whole span would give them. False, with nothing done, when
// the wholly covered pixels are not one run.
bool CoverWithOpaquePaint(const Paint& paint, int y, int x, int count, const uint8_t* coverage, uint32_t* dst,
                          std::vector<uint32_t>& scratch) {
  auto whole = [](uint8_t c) { return c == 255; };
  const int head = static_cast<int>(std::find_if(coverage, coverage + count, whole) - coverage);
  int tail = count;
  while (tail > head && coverage[tail - 1] != 255) --tail;
  if (tail - head < kLeastDirectSpan || !std::all_of(coverage + head, coverage + tail, whole)) return false;
  const int ends = head + (count - tail);
  if (scratch.size() < static_cast<size_t>(ends)) scratch.resize(ends);
  uint32_t* before = scratch.data();
  std::copy(dst, dst + head, before);
  std::copy(dst + tail, dst + count, before + head);
  paint.Fill(y, x, count, dst);
  BlendOverSpan(before, dst, coverage, nullptr, head);
  BlendOverSpan(before + head, dst + tail, coverage + tail, nullptr, count - tail);
  std::copy(before, before + head, dst);
  std::copy(before + head, before + ends, dst + tail);
  return true;
}

}  // namespace

void CoverSpan(const Paint& paint, bool opaque, int y, int x, int count, const uint8_t* coverage,
               const uint8_t* mask, uint32_t* dst, std::vector<uint32_t>& scratch) {
  if (paint.IsSolid()) {
    BlendSolidSpan(dst, paint.SolidColor(), coverage, mask, count);
    return;
  }
  if (opaque && !mask && count >= kLeastDirectSpan && CoverWithOpaquePaint(paint, y, x, count, coverage, dst, scratch))
    return;
  if (scratch.size() < static_cast<size_t>(count)) scratch.resize(count);
  paint.Fill(y, x, count, scratch.data());
  BlendOverSpan(dst, scratch.data(), coverage, mask, count);
}

}  // namespace velmora::swf
