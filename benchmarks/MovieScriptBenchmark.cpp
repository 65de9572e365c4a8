// What the movies' scripts cost: the process's processor time beside the
// wall time of a frame's tick (timelines and scripts, no drawing) for every
// movie with scripts under a folder, heaviest first; then the memory of a
// movie that makes and removes clips every frame for an hour of frames.
//   movie_script_benchmark [CORPUS-DIR] [FRAMES]
#include "player/MoviePlayback.h"
#include "player/display/SpriteObject.h"
#include "player/script/ActionAssembler.h"
#include "player/swf/SwfWriter.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace velmora;
using avm1::ActionAssembler;
using avm1::Op;

constexpr int kDefaultFrames = 240;
constexpr int kShownMovies = 8;
constexpr int kHourOfFrames = 12 * 3600;
constexpr int kClipsPerFrame = 20;

double CpuMs() { return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }
double WallMs() {
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

// The process's resident memory in kB (Linux), 0 where unknown.
long ResidentKb() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  if (!(statm >> pages >> resident)) return 0;
  return resident * 4;
}

bool HasScripts(const swf::Movie& movie) {
  auto timelineHas = [](const swf::Timeline& t) {
    for (const swf::Frame& f : t.frames) {
      if (!f.scripts.empty() || !f.initActions.empty()) return true;
      for (const swf::ControlTag& tag : f.tags)
        if (!tag.place.clipActions.empty()) return true;
    }
    return false;
  };
  if (timelineHas(movie.timeline)) return true;
  for (const auto& entry : movie.dictionary)
    if (entry.second.sprite && timelineHas(*entry.second.sprite)) return true;
  return false;
}

struct Cost {
  std::string name;
  double cpuMs = 0, wallMs = 0;
  int frames = 0;
  size_t stops = 0;
};

void CorpusCosts(const std::string& dir, int frames) {
  std::vector<Cost> costs;
  std::error_code error;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir, error)) {
    if (entry.path().extension() != ".swf") continue;
    swf::MoviePlayback p;
    if (!p.Load(entry.path().string()) || !HasScripts(p.GetMovie())) continue;
    Cost c;
    c.name = std::filesystem::relative(entry.path(), dir).string();
    const double cpu = CpuMs(), wall = WallMs();
    for (int i = 0; i < frames; ++i) p.Step();
    c.cpuMs = CpuMs() - cpu;
    c.wallMs = WallMs() - wall;
    c.frames = frames;
    c.stops = p.Scripts()->StoppedRuns();
    costs.push_back(c);
  }
  std::sort(costs.begin(), costs.end(), [](const Cost& a, const Cost& b) { return a.cpuMs > b.cpuMs; });
  std::printf("%zu movies with scripts, %d frames each; per frame (timelines and scripts, no drawing):\n",
              costs.size(), frames);
  std::printf("  %-70s %10s %10s %6s\n", "movie", "cpu ms", "wall ms", "stops");
  for (size_t i = 0; i < costs.size() && i < kShownMovies; ++i)
    std::printf("  %-70s %10.3f %10.3f %6zu\n", costs[i].name.c_str(), costs[i].cpuMs / frames,
                costs[i].wallMs / frames, costs[i].stops);
}

// Every frame: 20 copies of "dot" at the depths after the last, then the 20
// made the frame before go (removeMovieClip on the names "c" + n).
swf::Bytes ChurnMovie() {
  swf::MovieWriter movie({0, 11000, 0, 8000}, 12, 6);
  swf::TagWriter& t = movie.Timeline();
  swf::ShapeBuilder square;
  square.SelectStyles(0, square.AddSolidFill({255, 0, 0}), 0);
  square.Rectangle({0, 200, 0, 200});
  t.DefineShape(1, square);
  swf::TagWriter dot;
  swf::PlaceObject inner;
  inner.depth = 1;
  inner.hasCharacter = true;
  inner.characterId = 1;
  dot.Place(inner);
  dot.ShowFrame();
  t.DefineSprite(10, dot);
  swf::PlaceObject p = inner;
  p.characterId = 10;
  p.hasName = true;
  p.name = "dot";
  t.Place(p);
  // n = 0; onEnterFrame = function () { for (j = 0; j < 20; j++) {
  //   duplicateMovieClip("dot", "c" + n, 16384 + n % 1000); removeMovieClip("c" + (n - 20));
  //   _root["c" + n].label = "clip " + n; n++; } }
  ActionAssembler a;
  a.Push({"n", 0}).Do(Op::SetVariable);
  a.Push({"onEnterFrame"}).DefineFunction("", {});
  a.Push({"j", 0}).Do(Op::SetVariable);
  auto top = a.NewLabel(), done = a.NewLabel();
  a.Bind(top).Push({"j"}).Do(Op::GetVariable).Push({kClipsPerFrame}).Do(Op::Less2).Do(Op::Not).If(done);
  a.Push({"dot", "c", "n"}).Do(Op::GetVariable).Do(Op::Add2);
  a.Push({16384, "n"}).Do(Op::GetVariable).Push({1000}).Do(Op::Modulo).Do(Op::Add2).Do(Op::CloneSprite);
  a.Push({"c", "n"}).Do(Op::GetVariable).Push({kClipsPerFrame}).Do(Op::Subtract).Do(Op::Add2).Do(Op::RemoveSprite);
  a.Push({"_root"}).Do(Op::GetVariable).Push({"c", "n"}).Do(Op::GetVariable).Do(Op::Add2).Do(Op::GetMember);
  a.Push({"label", "clip ", "n"}).Do(Op::GetVariable).Do(Op::Add2).Do(Op::SetMember);
  a.Push({"n", "n"}).Do(Op::GetVariable).Do(Op::Increment).Do(Op::SetVariable);
  a.Push({"j", "j"}).Do(Op::GetVariable).Do(Op::Increment).Do(Op::SetVariable).Jump(top).Bind(done);
  a.EndFunction().Do(Op::SetVariable).Do(Op::Stop);
  t.DoAction(a.Bytes());
  t.ShowFrame();
  return movie.Finish(swf::Compression::kZlib);
}

void ChurnMemory() {
  const swf::Bytes bytes = ChurnMovie();
  swf::MoviePlayback p;
  if (!p.LoadBytes(bytes.data(), bytes.size())) {
    std::printf("the churn movie does not load: %s\n", p.Error().c_str());
    return;
  }
  std::printf("\nclips made and removed, %d a frame, for an hour of frames at 12 a second:\n", kClipsPerFrame);
  std::printf("  %8s %10s %12s %10s %12s %10s\n", "frame", "clips", "heap bytes", "rss kB", "cpu ms/frame", "wall");
  const int step = kHourOfFrames / 8;
  double cpu = CpuMs(), wall = WallMs();
  for (int frame = 1; frame <= kHourOfFrames; ++frame) {
    p.Step();
    if (frame % step != 0 && frame != 1) continue;
    const double nowCpu = CpuMs(), nowWall = WallMs();
    const int span = frame == 1 ? 1 : step;
    std::printf("  %8d %10zu %12zu %10ld %12.3f %10.3f\n", frame, p.Scripts()->LiveClips(),
                p.Scripts()->GetVm().GetHeap().Bytes(), ResidentKb(), (nowCpu - cpu) / span, (nowWall - wall) / span);
    cpu = nowCpu;
    wall = nowWall;
  }
  std::printf("  runs stopped by a bound: %zu\n", p.Scripts()->StoppedRuns());
}

}  // namespace

int main(int argc, char** argv) {
  const std::string dir = argc > 1 ? argv[1] : "../shared/corpus/swf";
  const int frames = argc > 2 ? std::max(1, std::atoi(argv[2])) : kDefaultFrames;
  CorpusCosts(dir, frames);
  ChurnMemory();
  return 0;
}
