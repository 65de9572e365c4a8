// make_clock_movie <out.swf>
//
// Writes a wall clock as desktop clocks are made: three hand sprites turned
// by `_rotation` from `new Date()` in the root's onEnterFrame. The stage is
// 400 x 400 with the face centred; the hands point at 12 from the centre:
// hour black (100 px), minute blue (160 px), second red (170 px), and a
// magenta cap (7 px) covers their pivot, so a picture of the screen tells
// where the clock is and what time it shows.
#include "player/script/ActionAssembler.h"
#include "player/swf/SwfWriter.h"

#include <exception>
#include <fstream>
#include <iostream>

namespace swf = velmora::swf;
using velmora::avm1::ActionAssembler;
using velmora::avm1::Op;

namespace {

constexpr int32_t kTwips = 20;
constexpr int32_t kStage = 400 * kTwips, kCentre = kStage / 2;
constexpr uint16_t kFaceDepth = 1, kFirstHandDepth = 2, kCapDepth = 9;
constexpr uint16_t kFace = 1, kFirstBar = 2, kCap = 6, kFirstHand = 10;

struct Hand {
  const char* name;
  swf::Rgba colour;
  int32_t halfWidth, length;  // pixels
};
constexpr Hand kHands[3] = {{"hour", {0, 0, 0, 255}, 6, 100},
                            {"minute", {0, 0, 255, 255}, 4, 160},
                            {"second", {255, 0, 0, 255}, 1, 170}};

swf::ShapeBuilder Filled(swf::Rgba colour) {
  swf::ShapeBuilder s;
  s.SelectStyles(0, s.AddSolidFill(colour), 0);
  return s;
}

swf::PlaceObject Placed(uint16_t depth, uint16_t id) {
  swf::PlaceObject p;
  p.depth = depth;
  p.hasCharacter = true;
  p.characterId = id;
  p.hasMatrix = true;
  p.matrix.tx = kCentre;
  p.matrix.ty = kCentre;
  return p;
}

ActionAssembler& GetVar(ActionAssembler& a, const char* name) { return a.Push({name}).Do(Op::GetVariable); }

// onEnterFrame = function () { var d = new Date(); hour._rotation = ...; }
std::vector<uint8_t> TurnTheHands() {
  ActionAssembler a;
  a.Push({"onEnterFrame"}).DefineFunction("", {});
  a.Push({"d", 0, "Date"}).Do(Op::NewObject).Do(Op::SetVariable);
  const char* parts[3][2] = {{"h", "getHours"}, {"m", "getMinutes"}, {"s", "getSeconds"}};
  for (auto& part : parts) {
    a.Push({part[0], 0});
    GetVar(a, "d").Push({part[1]}).Do(Op::CallMethod).Do(Op::SetVariable);
  }
  // hour: h*30 + m/2; minute: m*6 + s/10; second: s*6.
  GetVar(a, "hour").Push({"_rotation"});
  GetVar(a, "h").Push({30}).Do(Op::Multiply);
  GetVar(a, "m").Push({2}).Do(Op::Divide).Do(Op::Add2).Do(Op::SetMember);
  GetVar(a, "minute").Push({"_rotation"});
  GetVar(a, "m").Push({6}).Do(Op::Multiply);
  GetVar(a, "s").Push({10}).Do(Op::Divide).Do(Op::Add2).Do(Op::SetMember);
  GetVar(a, "second").Push({"_rotation"});
  GetVar(a, "s").Push({6}).Do(Op::Multiply).Do(Op::SetMember);
  a.EndFunction().Do(Op::SetVariable);
  return a.Bytes();
}

swf::Bytes ClockMovie() {
  swf::MovieWriter movie({0, kStage, 0, kStage}, 12, 8);
  swf::TagWriter& t = movie.Timeline();
  t.SetBackgroundColor({255, 255, 255});
  // A grey face under the hands.
  swf::ShapeBuilder face = Filled({225, 225, 225, 255});
  face.Ellipse(0, 0, 190 * kTwips, 190 * kTwips);
  t.DefineShape(kFace, face);
  t.Place(Placed(kFaceDepth, kFace));
  for (uint16_t i = 0; i < 3; ++i) {
    swf::ShapeBuilder bar = Filled(kHands[i].colour);
    bar.Rectangle({-kHands[i].halfWidth * kTwips, kHands[i].halfWidth * kTwips, -kHands[i].length * kTwips, 0});
    t.DefineShape(static_cast<uint16_t>(kFirstBar + i), bar);
    swf::TagWriter hand;
    swf::PlaceObject inHand;
    inHand.depth = 1;
    inHand.hasCharacter = true;
    inHand.characterId = static_cast<uint16_t>(kFirstBar + i);
    hand.Place(inHand);
    hand.ShowFrame();
    t.DefineSprite(static_cast<uint16_t>(kFirstHand + i), hand);
    swf::PlaceObject p = Placed(static_cast<uint16_t>(kFirstHandDepth + i), static_cast<uint16_t>(kFirstHand + i));
    p.hasName = true;
    p.name = kHands[i].name;
    t.Place(p);
  }
  swf::ShapeBuilder cap = Filled({255, 0, 255, 255});
  cap.Ellipse(0, 0, 7 * kTwips, 7 * kTwips);
  t.DefineShape(kCap, cap);
  t.Place(Placed(kCapDepth, kCap));
  t.DoAction(TurnTheHands());
  t.ShowFrame();
  return movie.Finish(swf::Compression::kZlib);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_clock_movie <out.swf>\n";
    return 2;
  }
  try {
    const swf::Bytes bytes = ClockMovie();
    std::ofstream out(argv[1], std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      std::cerr << "make_clock_movie: cannot write " << argv[1] << "\n";
      return 1;
    }
  } catch (const std::exception& e) {
    std::cerr << "make_clock_movie: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
