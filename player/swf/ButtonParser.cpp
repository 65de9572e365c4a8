#include "player/swf/ButtonParser.h"

#include "player/swf/FilterParser.h"
#include "player/swf/TagCodes.h"

namespace velmora::swf {
namespace {

// Bytes of a DefineButton2 action record's size and flags, before its actions.
constexpr size_t kConditionHeaderBytes = 4;

// The records up to the zero byte that ends them. False when they are cut
// short or damaged; the whole records read so far are kept.
bool ReadRecords(BitReader& in, int version, std::vector<ButtonRecord>& records) {
  while (in.Remaining() > 0) {
    const uint8_t flags = in.U8();
    if (flags == 0) return true;
    ButtonRecord r;
    r.up = (flags & buttonflag::kStateUp) != 0;
    r.over = (flags & buttonflag::kStateOver) != 0;
    r.down = (flags & buttonflag::kStateDown) != 0;
    r.hitTest = (flags & buttonflag::kStateHitTest) != 0;
    r.characterId = in.U16();
    r.depth = in.U16();
    r.matrix = in.ReadMatrix();
    if (version == 2) {
      r.colorTransform = in.ReadColorTransform(true);
      if (flags & buttonflag::kHasFilterList) r.filters = ReadFilters(in);
      if (flags & buttonflag::kHasBlendMode) r.blendMode = ReadBlendMode(in);
    }
    if (!in.Ok()) return false;
    records.push_back(std::move(r));
  }
  return false;  // no end byte
}

// DefineButton2's action records, each its size (0 on the last), its
// transition flags and its actions.
bool ReadConditions(BitReader& in, std::vector<ButtonCondition>& conditions) {
  while (in.Remaining() > 0) {
    const uint16_t size = in.U16();
    ButtonCondition c;
    c.conditions = static_cast<uint16_t>(in.U8() << 8);
    c.conditions |= in.U8();
    if (!in.Ok()) return false;
    // The last record's actions run to the end of the tag; a size that
    // cannot hold the header or runs past the tag is damage, and the
    // record keeps what the tag holds.
    const bool last = size == 0;
    const bool fits = size >= kConditionHeaderBytes && size - kConditionHeaderBytes <= in.Remaining();
    const size_t length = last || !fits ? in.Remaining() : size - kConditionHeaderBytes;
    c.actions.assign(in.Current(), in.Current() + length);
    in.Skip(length);
    conditions.push_back(std::move(c));
    if (last) return true;
    if (!fits) return false;
  }
  return true;
}

}  // namespace

bool ReadButton(BitReader& in, int version, Button& button) {
  if (version == 1) {
    const bool whole = ReadRecords(in, 1, button.records);
    // The actions, run when the button is released over it.
    if (whole && in.Remaining() > 0) {
      ButtonCondition release;
      release.conditions = buttoncond::kOverDownToOverUp;
      release.actions.assign(in.Current(), in.Current() + in.Remaining());
      button.conditions.push_back(std::move(release));
    }
    return whole;
  }
  button.trackAsMenu = (in.U8() & buttonflag::kTrackAsMenu) != 0;
  // The offset counts from its own first byte to the first action record.
  const size_t offsetField = in.Position();
  const uint16_t actionOffset = in.U16();
  if (!in.Ok()) return false;
  const bool hasActions = actionOffset != 0;
  const size_t actionsAt = offsetField + actionOffset;
  // The records may not run into the actions.
  const size_t recordBytes = hasActions && actionsAt <= in.Size() && actionsAt >= in.Position()
                                 ? actionsAt - in.Position()
                                 : in.Remaining();
  BitReader records(in.Current(), recordBytes);
  bool whole = ReadRecords(records, 2, button.records);
  if (!hasActions) return whole;
  if (actionsAt > in.Size() || actionsAt < in.Position()) return false;
  BitReader actions(in.Data() + actionsAt, in.Size() - actionsAt);
  return ReadConditions(actions, button.conditions) && whole;
}

}  // namespace velmora::swf
