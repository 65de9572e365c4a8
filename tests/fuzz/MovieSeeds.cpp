// Writes seed movies for the movie fuzzer with our own writer: the tags the
// shared corpus holds few of (DefineButton with DefineButtonCxform and its
// actions, DefineButton2 with filters, blend modes and action records, a
// JPEG with an alpha plane, every filter the writer writes), so that the
// fuzzer starts from their valid forms; and a movie whose scripts make,
// move and remove clips (clip actions, DoInitAction, ExportAssets).
//   movie_seeds OUT-DIR JPEG-FILE
#include "player/script/ActionAssembler.h"
#include "player/swf/SwfWriter.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace {

using namespace velmora::swf;

ShapeBuilder Square(Rgba colour, int32_t size) {
  ShapeBuilder s;
  s.SelectStyles(0, s.AddSolidFill(colour), 0);
  s.Rectangle({0, size, 0, size});
  return s;
}

std::vector<Filter> EveryFilter() {
  Filter bevel;
  bevel.kind = FilterKind::Bevel;
  bevel.color = {255, 0, 0, 200};
  bevel.highlight = {0, 0, 255, 200};
  bevel.blurX = bevel.blurY = 3;
  bevel.angle = 0.8;
  bevel.distance = 2;
  bevel.passes = 1;
  Filter glow = bevel;
  glow.kind = FilterKind::Glow;
  glow.inner = true;
  Filter shadow = bevel;
  shadow.kind = FilterKind::DropShadow;
  shadow.knockout = true;
  Filter gradientBevel = bevel;
  gradientBevel.kind = FilterKind::GradientBevel;
  gradientBevel.gradient = {{0, {255, 255, 255, 255}}, {128, {0, 0, 0, 0}}, {255, {0, 0, 0, 255}}};
  gradientBevel.onTop = true;
  Filter gradientGlow = gradientBevel;
  gradientGlow.kind = FilterKind::GradientGlow;
  Filter matrix;
  matrix.kind = FilterKind::ColorMatrix;
  for (int i = 0; i < 20; i += 6) matrix.colorMatrix[i] = 1;
  return {Filter::Blur(2, 2, 1), bevel, glow, shadow, gradientBevel, gradientGlow, matrix};
}

Bytes ButtonsMovie(const Bytes& jpeg) {
  MovieWriter movie({0, 1280, 0, 960}, 12);
  TagWriter& t = movie.Timeline();
  t.DefineShape(1, Square({255, 0, 0}, 400));
  t.DefineShape(2, Square({0, 255, 0, 128}, 300));
  Button plain;
  ButtonRecord r;
  r.characterId = 1;
  r.depth = 1;
  r.up = r.hitTest = true;
  plain.records = {r};
  plain.conditions = {{0, {0x06, 0x07, 0x00}}};
  t.DefineButton(10, plain);
  ColorTransform tint;
  tint.rMult = 128;
  tint.gAdd = 40;
  t.DefineButtonCxform(10, tint);
  Button rich;
  ButtonRecord over = r;
  over.characterId = 2;
  over.up = false;
  over.over = over.down = true;
  over.matrix = Matrix::Translate(100, 50);
  over.blendMode = BlendMode::Multiply;
  ButtonRecord up = r;
  up.filters = EveryFilter();
  up.colorTransform = ColorTransform::Alpha(0.5);
  rich.records = {up, over};
  rich.conditions = {{0x0800, {0x06, 0x00}}, {0x0102, {0x07, 0x00}}};
  t.DefineButton2(11, rich);
  Bytes alpha(61 * 47);
  for (size_t i = 0; i < alpha.size(); ++i) alpha[i] = static_cast<uint8_t>(i * 7);
  t.DefineBitsJpeg3(12, jpeg, alpha);
  ShapeBuilder picture;
  picture.SelectStyles(0, picture.AddBitmapFill(12, Matrix::Scale(20, 20), false, true), 0);
  picture.Rectangle({0, 61 * 20, 0, 47 * 20});
  t.DefineShape(13, picture);
  TagWriter sprite;
  PlaceObject inner;
  inner.depth = 1;
  inner.hasCharacter = true;
  inner.characterId = 11;
  sprite.Place(inner);
  sprite.ShowFrame();
  t.DefineSprite(14, sprite);
  PlaceObject p;
  p.depth = 1;
  p.hasCharacter = true;
  p.characterId = 13;
  t.Place(p);
  p.depth = 2;
  p.characterId = 14;
  p.hasBlendMode = true;
  p.blendMode = BlendMode::Layer;
  p.hasCacheAsBitmap = true;
  p.cacheAsBitmap = true;
  t.Place(p);
  p = PlaceObject{};
  p.depth = 3;
  p.hasCharacter = true;
  p.characterId = 10;
  p.hasFilters = true;
  p.filters = EveryFilter();
  t.Place(p);
  t.ShowFrame();
  PlaceObject swap;
  swap.depth = 2;
  swap.move = true;
  swap.hasCharacter = true;
  swap.characterId = 11;
  t.Place(swap);
  t.ShowFrame();
  return movie.Finish(Compression::kNone);
}

Bytes ScriptsMovie() {
  using velmora::avm1::ActionAssembler;
  using velmora::avm1::Op;
  MovieWriter movie({0, 1280, 0, 960}, 12, 6);
  TagWriter& t = movie.Timeline();
  t.DefineShape(1, Square({255, 0, 0}, 400));
  TagWriter sprite;
  PlaceObject inner;
  inner.depth = 1;
  inner.hasCharacter = true;
  inner.characterId = 1;
  sprite.Place(inner);
  sprite.ShowFrame();
  t.DefineSprite(10, sprite);
  t.ExportAssets({{10, "ball"}});
  // #initclip: function B() { this.v = 1; } Object.registerClass("ball", B);
  ActionAssembler init;
  init.DefineFunction("B", {}).Push({"this"}).Do(Op::GetVariable).Push({"v", 1}).Do(Op::SetMember).EndFunction();
  init.Push({"B"}).Do(Op::GetVariable).Push({"ball", 2, "Object"}).Do(Op::GetVariable);
  init.Push({"registerClass"}).Do(Op::CallMethod).Do(Op::Pop);
  t.DoInitAction(10, init.Bytes());
  PlaceObject p;
  p.depth = 1;
  p.hasCharacter = true;
  p.characterId = 10;
  p.hasName = true;
  p.name = "a";
  ActionAssembler turn;
  turn.Push({"", 10, "", 10}).Do(Op::GetProperty).Push({7}).Do(Op::Add2).Do(Op::SetProperty);
  ActionAssembler key;
  key.Push({"k"}).Do(Op::Trace);
  p.clipActions = {{clipevent::kLoad | clipevent::kEnterFrame, 0, turn.Bytes()},
                   {clipevent::kKeyPress | clipevent::kMouseDown, 13, key.Bytes()}};
  t.Place(p);
  // attachMovie, duplicateMovieClip, onEnterFrame, swapDepths, removeMovieClip.
  ActionAssembler frame;
  frame.Push({"b", 3, "b", "ball", 3, "_root"}).Do(Op::GetVariable).Push({"attachMovie"}).Do(Op::CallMethod);
  frame.Do(Op::SetVariable);
  frame.Push({"a", "c", 16390}).Do(Op::CloneSprite);
  frame.Push({"c"}).Do(Op::GetVariable).Push({"onEnterFrame"}).DefineFunction("", {});
  frame.Push({"this"}).Do(Op::GetVariable).Push({"_x", 0, "Math"}).Do(Op::GetVariable).Push({"random"});
  frame.Do(Op::CallMethod).Push({100}).Do(Op::Multiply).Do(Op::SetMember).EndFunction().Do(Op::SetMember);
  frame.Push({"b", 1, "c"}).Do(Op::GetVariable).Push({"swapDepths"}).Do(Op::CallMethod).Do(Op::Pop);
  t.DoAction(frame.Bytes());
  t.ShowFrame();
  ActionAssembler second;
  second.Push({0, "b"}).Do(Op::GetVariable).Push({"removeMovieClip"}).Do(Op::CallMethod).Do(Op::Pop);
  second.Push({1}).GotoFrame2(true);
  t.DoAction(second.Bytes());
  t.ShowFrame();
  return movie.Finish(Compression::kNone);
}

bool Write(const std::string& path, const Bytes& movie) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(movie.data()), static_cast<std::streamsize>(movie.size()));
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: movie_seeds OUT-DIR JPEG-FILE\n");
    return 2;
  }
  std::ifstream in(argv[2], std::ios::binary);
  const Bytes jpeg((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (jpeg.empty()) {
    std::fprintf(stderr, "cannot read %s\n", argv[2]);
    return 1;
  }
  const bool ok = Write(std::string(argv[1]) + "/seed-buttons.swf", ButtonsMovie(jpeg)) &&
                  Write(std::string(argv[1]) + "/seed-scripts.swf", ScriptsMovie());
  return ok ? 0 : 1;
}
