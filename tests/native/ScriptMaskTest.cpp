// Masks set by scripts (MovieClip.setMask): the masked clip shows only where
// its mask draws, the mask is not drawn in its own place, the mask follows
// its own parents' transforms, and taking it away or removing it shows the
// clip whole again.
#include "ScriptedMovies.h"

#include "player/render/SceneState.h"

#include <gtest/gtest.h>

namespace velmora::test {
namespace {

using swf::MoviePlayback;

constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kBlue = 0xFF0000FFu;
constexpr uint32_t kWhite = 0xFFFFFFFFu;

// "big": a red sprite over 0-300 x 0-200 pixels at depth 1. "holder", at
// 100,100 pixels, holds "m": a blue 40 x 40 pixel square at its origin. One
// root frame per script, each frame stopping when it is the last.
// `removeHolderAt`: the root frame (0-based) that takes "holder" off.
swf::MovieWriter MaskMovie(const std::vector<ActionAssembler>& frames, size_t removeHolderAt = SIZE_MAX) {
  swf::MovieWriter movie = ScriptStage();
  swf::TagWriter& t = movie.Timeline();
  t.DefineShape(1, SolidRect({255, 0, 0}, 0, 0, 6000, 4000));
  t.DefineShape(2, SolidRect({0, 0, 255}, 0, 0, 800, 800));
  swf::TagWriter big;
  big.Place(PlaceAt(1, 1));
  big.ShowFrame();
  t.DefineSprite(10, big);
  swf::TagWriter square;
  square.Place(PlaceAt(1, 2));
  square.ShowFrame();
  t.DefineSprite(11, square);
  swf::TagWriter holder;
  holder.Place(PlaceNamed(1, 11, "m"));
  holder.ShowFrame();
  t.DefineSprite(12, holder);
  t.Place(PlaceNamed(1, 10, "big"));
  t.Place(PlaceNamed(2, 12, "holder", 2000, 2000));
  for (size_t i = 0; i < frames.size(); ++i) {
    ActionAssembler a = frames[i];
    if (i + 1 == frames.size()) a.Do(Op::Stop);
    if (i == removeHolderAt) t.Remove(2);
    t.DoAction(a.Bytes());
    t.ShowFrame();
  }
  return movie;
}

// big.setMask(<the value the script pushes>)
ActionAssembler SetMask(const std::function<void(ActionAssembler&)>& pushMask) {
  ActionAssembler a;
  pushMask(a);
  a.Push({1});
  GetVar(a, "big").Push({"setMask"}).Do(Op::CallMethod).Do(Op::Pop);
  return a;
}

ActionAssembler MaskIsHolderM() {
  return SetMask([](ActionAssembler& a) { GetVar(a, "holder").Push({"m"}).Do(Op::GetMember); });
}

// holder.m._x = x
ActionAssembler MoveMask(int x) {
  ActionAssembler a;
  GetVar(a, "holder").Push({"m"}).Do(Op::GetMember).Push({"_x", x}).Do(Op::SetMember);
  return a;
}

TEST(ScriptMask, TheClipShowsOnlyWhereItsMaskDrawsAndTheMaskIsNotDrawn) {
  MoviePlayback p = LoadMovie(MaskMovie({MaskIsHolderM()}));
  p.Step();
  const swf::Canvas c = DrawStage(p);
  EXPECT_EQ(c.Row(120)[120], kRed) << "inside the mask, placed through its parent at 100,100; the blue mask "
                                      "above the clip is not drawn itself";
  EXPECT_EQ(c.Row(50)[50], kWhite) << "outside the mask the clip is cut away";
  EXPECT_EQ(c.Row(120)[250], kWhite);
  EXPECT_EQ(c.Row(139)[139], kRed);
  EXPECT_EQ(c.Row(141)[141], kWhite);
}

TEST(ScriptMask, TheMaskMovesWithItsOwnTransformAndSetMaskByPathWorks) {
  ActionAssembler byPath = SetMask([](ActionAssembler& a) { a.Push({"holder.m"}); });
  MoviePlayback p = LoadMovie(MaskMovie({byPath, MoveMask(100)}));
  p.Step();
  EXPECT_EQ(DrawStage(p).Row(120)[120], kRed);
  p.Step();
  const swf::Canvas c = DrawStage(p);
  EXPECT_EQ(c.Row(120)[120], kWhite) << "the mask left";
  EXPECT_EQ(c.Row(120)[220], kRed) << "the mask is at 200-240 now";
}

TEST(ScriptMask, NullOrARemovedMaskShowsTheClipWholeAndTheMaskAgain) {
  ActionAssembler clear = SetMask([](ActionAssembler& a) { a.Push({avm1::PushArg::Null()}); });
  MoviePlayback p = LoadMovie(MaskMovie({MaskIsHolderM(), clear}));
  p.Step();
  EXPECT_EQ(DrawStage(p).Row(50)[50], kWhite);
  p.Step();
  swf::Canvas c = DrawStage(p);
  EXPECT_EQ(c.Row(50)[50], kRed) << "no mask: the clip whole";
  EXPECT_EQ(c.Row(120)[120], kBlue) << "the old mask is drawn in its place again";

  // The mask's parent leaves the root's list in the second frame.
  MoviePlayback q = LoadMovie(MaskMovie({MaskIsHolderM(), ActionAssembler()}, 1));
  q.Step();
  q.Step();
  EXPECT_EQ(DrawStage(q).Row(50)[50], kRed) << "the mask left the tree: the clip whole";
}

TEST(ScriptMask, OneMaskMasksOneClipAndSettingItTellsTheSceneState) {
  MoviePlayback p = LoadMovie(MaskMovie({ActionAssembler(), MaskIsHolderM()}));
  p.Step();
  swf::SceneState scene;
  EXPECT_FALSE(scene.TakeAndCompare(*p.Root()));
  EXPECT_TRUE(scene.TakeAndCompare(*p.Root()));
  p.Step();
  EXPECT_FALSE(scene.TakeAndCompare(*p.Root())) << "only setMask ran: the picture must be drawn again";
  // holder.setMask(holder.m) takes the mask from big.
  ActionAssembler a;
  GetVar(a, "holder").Push({"m"}).Do(Op::GetMember).Push({1});
  GetVar(a, "holder").Push({"setMask"}).Do(Op::CallMethod).Do(Op::Pop);
  MoviePlayback q = LoadMovie(MaskMovie({MaskIsHolderM(), a}));
  q.Step();
  q.Step();
  const swf::Canvas c = DrawStage(q);
  EXPECT_EQ(c.Row(50)[50], kRed) << "big lost its mask to holder";
  EXPECT_EQ(c.Row(120)[120], kRed) << "holder shows only its mask, which draws nothing of its own";
}

}  // namespace
}  // namespace velmora::test
