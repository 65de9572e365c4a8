#include "player/swf/ActionParser.h"

#include "player/swf/BitReader.h"
#include "player/swf/TagCodes.h"

#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

namespace velmora::swf {
namespace {

// The one value of a push, when it is a constant a go-to can use.
struct PushedValue {
  bool isNumber = false;
  double number = 0;
  std::string text;
};

std::optional<PushedValue> ReadSinglePush(const uint8_t* data, size_t size) {
  BitReader in(data, size);
  uint8_t type = in.U8();
  PushedValue v;
  switch (type) {
    case 0: v.text = in.String(); break;
    case 1: v.isNumber = true; v.number = in.Float(); break;
    case 6: v.isNumber = true; v.number = in.Double(); break;
    case 7: v.isNumber = true; v.number = static_cast<int32_t>(in.U32()); break;
    default: return std::nullopt;
  }
  // Only a push of exactly one value names the go-to's target.
  if (!in.Ok() || in.Remaining() != 0) return std::nullopt;
  return v;
}

// A text target is a label, or a frame number written as text.
Action GotoFromValue(const PushedValue& v, bool play, uint32_t bias) {
  Action a{Action::Kind::GotoFrame};
  a.play = play;
  double number = v.number;
  if (!v.isNumber) {
    char* end = nullptr;
    number = std::strtod(v.text.c_str(), &end);
    if (v.text.empty() || *end != '\0') {
      a.kind = Action::Kind::GotoLabel;
      a.label = v.text;
      return a;
    }
  }
  // Frame numbers in scripts count from 1.
  double frame = std::floor(number) - 1 + bias;
  a.frame = frame < 0 ? 0 : frame > 65535 ? 65535 : static_cast<uint32_t>(frame);
  return a;
}

}  // namespace

std::vector<Action> ParseFrameActions(const uint8_t* data, size_t size) {
  std::vector<Action> actions;
  BitReader in(data, size);
  std::optional<PushedValue> lastPush;
  while (in.Remaining() > 0) {
    uint8_t code = in.U8();
    if (code == action::kEnd) break;
    size_t length = code >= action::kWithPayload ? in.U16() : 0;
    if (!in.Ok() || length > in.Remaining()) break;
    BitReader body(in.Current(), length);
    in.Skip(length);
    std::optional<PushedValue> pushed;
    switch (code) {
      case action::kStop: actions.push_back({Action::Kind::Stop}); break;
      case action::kPlay: actions.push_back({Action::Kind::Play}); break;
      case action::kNextFrame: actions.push_back({Action::Kind::NextFrame}); break;
      case action::kPrevFrame: actions.push_back({Action::Kind::PrevFrame}); break;
      case action::kGotoFrame: {
        Action a{Action::Kind::GotoFrame};
        a.frame = body.U16();
        if (body.Ok()) actions.push_back(a);
        break;
      }
      case action::kGotoLabel: {
        Action a{Action::Kind::GotoLabel};
        a.label = body.String();
        if (body.Ok()) actions.push_back(a);
        break;
      }
      case action::kPush:
        pushed = ReadSinglePush(body.Current(), body.Remaining());
        break;
      case action::kGotoFrame2: {
        uint8_t flags = body.U8();
        uint32_t bias = (flags & 0x02) ? body.U16() : 0;
        if (body.Ok() && lastPush) actions.push_back(GotoFromValue(*lastPush, (flags & 1) != 0, bias));
        break;
      }
      default:
        break;
    }
    lastPush = pushed;
  }
  return actions;
}

}  // namespace velmora::swf
