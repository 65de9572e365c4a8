// Movies with scripts, written with our own writer and the engine's
// assembler, for the tests of the scripts bound to the display tree.
#pragma once

#include "MovieFixtures.h"
#include "player/display/SpriteObject.h"
#include "player/script/ActionAssembler.h"
#include "player/script/Convert.h"
#include "player/script/Text.h"

#include <string>
#include <vector>

namespace velmora::test {

using avm1::ActionAssembler;
using avm1::Op;

// A 550 x 400 pixel stage at 12 frames a second, white.
inline swf::MovieWriter ScriptStage(uint8_t version = 8) {
  swf::MovieWriter movie({0, 11000, 0, 8000}, 12, version);
  movie.Timeline().SetBackgroundColor({255, 255, 255});
  return movie;
}

// Pushes the value of a variable or path.
inline ActionAssembler& GetVar(ActionAssembler& a, const std::string& name) {
  return a.Push({name}).Do(Op::GetVariable);
}

// trace(text)
inline ActionAssembler& TraceText(ActionAssembler& a, const std::string& text) {
  return a.Push({text}).Do(Op::Trace);
}

// A placement of `id` with an instance name.
inline swf::PlaceObject PlaceNamed(uint16_t depth, uint16_t id, const std::string& name, int32_t x = 0,
                                   int32_t y = 0) {
  swf::PlaceObject p = PlaceAt(depth, id, x, y);
  p.hasName = true;
  p.name = name;
  return p;
}

inline swf::ClipAction OnClipEvent(uint32_t events, const ActionAssembler& code) {
  swf::ClipAction a;
  a.events = events;
  a.actions = code.Bytes();
  return a;
}

// The script object of the root's child of this instance name, or null.
inline avm1::Object* ChildObject(swf::MoviePlayback& p, const std::string& path) {
  avm1::Vm& vm = p.Scripts()->GetVm();
  avm1::Object* at = p.Scripts()->Root()->Object();
  size_t start = 0;
  while (at && start <= path.size()) {
    size_t dot = path.find('.', start);
    std::string name = path.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
    at = vm.GetNamed(at, avm1::FromUtf8(name)).AsObject();
    if (dot == std::string::npos) break;
    start = dot + 1;
  }
  return at;
}

// A member of a script object as a number (NaN when it is none).
inline double NumberOf(swf::MoviePlayback& p, avm1::Object* object, const std::string& member) {
  if (!object) return std::numeric_limits<double>::quiet_NaN();
  avm1::Vm& vm = p.Scripts()->GetVm();
  return avm1::ToNumber(vm, vm.GetNamed(object, avm1::FromUtf8(member)));
}

inline std::string TextOf(swf::MoviePlayback& p, avm1::Object* object, const std::string& member) {
  avm1::Vm& vm = p.Scripts()->GetVm();
  if (!object) return "(no object)";
  return avm1::ToUtf8(avm1::ToText(vm, vm.GetNamed(object, avm1::FromUtf8(member))));
}

inline swf::Canvas DrawStage(swf::MoviePlayback& p) {
  swf::Canvas c;
  c.Resize(550, 400);
  p.Draw(c, swf::ScaleMode::ShowAll, true);
  return c;
}

}  // namespace velmora::test
