// Frame render time of the movie player at 1920x1080, beside the movie's
// frame period: the demo movie at both qualities, drawn whole and as played,
// and every tier-1 movie of the reference corpus drawn whole at high quality.
//
//   player_benchmark [--movie FILE ...] [Google Benchmark flags]
//   (default: the demo movie and the corpus, where present)
#include "player/render/CanvasPng.h"
#include "player/MoviePlayback.h"
#include "pictures/PngWriter.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

using velmora::swf::Canvas;
using velmora::swf::MoviePlayback;
using velmora::swf::ScaleMode;

// Steps through the movie's frames (looping) and draws each at 1920x1080.
// `whole`: every frame is drawn in full, as if nothing had stayed still (a
// new background colour each frame); otherwise objects that stayed still
// come from the renderer's held picture, as they do in the program.
// The movie loaded and at its first frame, and a full-HD canvas; false (the
// benchmark skipped) when the file cannot be played.
bool Prepare(benchmark::State& state, const std::string& path, MoviePlayback& playback, Canvas& canvas) {
  if (!playback.Load(path)) {
    state.SkipWithError(("cannot load " + path).c_str());
    return false;
  }
  canvas.Resize(1920, 1080);
  playback.Step();
  return true;
}

void RenderFrames(benchmark::State& state, const std::string& path, bool high, bool whole) {
  MoviePlayback playback;
  Canvas canvas;
  if (!Prepare(state, path, playback, canvas)) return;
  uint32_t background = 0;
  for (auto _ : state) {
    playback.Step();
    if (whole) {
      playback.Draw(canvas, ScaleMode::ShowAll, high, ++background & 0xFFFFFF);
    } else {
      playback.Draw(canvas, ScaleMode::ShowAll, high);
    }
    benchmark::DoNotOptimize(canvas.pixels.data());
  }
  double rate = playback.GetMovie().frameRate > 0 ? playback.GetMovie().frameRate : 12;
  state.counters["frame_period_ms"] = 1000.0 / rate;
}

// A frame of `path` at 1920x1080 written as PNG bytes, as swf_render and the
// corpus check write every picture they keep.
void EncodeFrame(benchmark::State& state, const std::string& path) {
  MoviePlayback playback;
  Canvas canvas;
  if (!Prepare(state, path, playback, canvas)) return;
  playback.Draw(canvas, ScaleMode::ShowAll, true);
  const std::vector<uint8_t> rgba = velmora::swf::StraightRgbaBytes(canvas);
  std::vector<uint8_t> png;
  for (auto _ : state) {
    velmora::swf::EncodePng(canvas.width, canvas.height, rgba.data(), png);
    benchmark::DoNotOptimize(png.data());
  }
  state.counters["png_kb"] = static_cast<double>(png.size()) / 1024;
}

// The tier-1 movies listed in the corpus index beside the project.
std::vector<std::string> TierOneMovies(const std::string& corpus) {
  std::vector<std::string> movies;
  std::ifstream index(corpus + "/INDEX.tsv");
  std::string line;
  while (std::getline(index, line)) {
    const size_t tab = line.find('\t');
    if (tab != std::string::npos && line.compare(tab + 1, 2, "1\t") == 0)
      movies.push_back(corpus + "/" + line.substr(0, tab) + "/test.swf");
  }
  return movies;
}

std::string DisplayName(const std::string& movie) {
  std::string name = movie.substr(movie.find_last_of('/') + 1);
  if (name == "test.swf") {
    const std::string dir = movie.substr(0, movie.find_last_of('/'));
    name = dir.substr(dir.find_last_of('/') + 1);
  }
  return name;
}

void Register(const std::string& movie, bool allVariants) {
  for (bool whole : {true, false})
    for (bool high : {false, true}) {
      if (!allVariants && !(whole && high)) continue;
      const std::string name = DisplayName(movie) + (high ? "/high" : "/low") + (whole ? "/whole" : "/played");
      benchmark::RegisterBenchmark(name.c_str(), RenderFrames, movie, high, whole)->Unit(benchmark::kMillisecond);
    }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string root = VELMORA_SOURCE_DIR;
  std::vector<std::string> movies;
  std::vector<char*> passOn = {argv[0]};
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--movie" && i + 1 < argc)
      movies.push_back(argv[++i]);
    else
      passOn.push_back(argv[i]);
  }
  if (movies.empty()) {
    Register(root + "/demo/Flashs/Demo.swf", true);
    benchmark::RegisterBenchmark("Demo.swf/png", EncodeFrame, root + "/demo/Flashs/Demo.swf")
        ->Unit(benchmark::kMillisecond);
    for (const std::string& movie : TierOneMovies(root + "/../shared/corpus/swf")) Register(movie, false);
  } else {
    for (const std::string& movie : movies) Register(movie, true);
  }
  int bmArgc = static_cast<int>(passOn.size());
  benchmark::Initialize(&bmArgc, passOn.data());
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
