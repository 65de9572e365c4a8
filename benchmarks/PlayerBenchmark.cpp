// Frame render time of the movie player at 1920x1080, beside the movie's
// frame period: the demo movie and the heaviest movies of the reference
// corpus, at low and high quality.
//
//   player_benchmark [--movie FILE ...]   (default: the demo movie and the
//   corpus movies named below, where present)
#include "player/MoviePlayback.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
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
void RenderFrames(benchmark::State& state, const std::string& path, bool high, bool whole) {
  MoviePlayback playback;
  if (!playback.Load(path)) {
    state.SkipWithError(("cannot load " + path).c_str());
    return;
  }
  Canvas canvas;
  canvas.Resize(1920, 1080);
  playback.Step();
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

}  // namespace

int main(int argc, char** argv) {
  const std::string root = VELMORA_SOURCE_DIR;
  std::vector<std::string> movies;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::string(argv[i]) == "--movie") movies.push_back(argv[++i]);
  if (movies.empty()) {
    movies = {root + "/demo/Flashs/Demo.swf",
              root + "/../shared/corpus/swf/from_shumway__acid__acid-large/test.swf",
              root + "/../shared/corpus/swf/visual__simple_shapes__heavy_tesselation/test.swf"};
  }
  for (const std::string& movie : movies) {
    if (std::FILE* f = std::fopen(movie.c_str(), "rb")) {
      std::fclose(f);
    } else {
      continue;
    }
    std::string name = movie.substr(movie.find_last_of('/') + 1);
    if (name == "test.swf") {
      std::string dir = movie.substr(0, movie.find_last_of('/'));
      name = dir.substr(dir.find_last_of('/') + 1);
    }
    for (bool whole : {true, false})
      for (bool high : {false, true})
        benchmark::RegisterBenchmark((name + (high ? "/high" : "/low") + (whole ? "/whole" : "/played")).c_str(),
                                     RenderFrames, movie, high, whole)
            ->Unit(benchmark::kMillisecond);
  }
  int bmArgc = 1;
  benchmark::Initialize(&bmArgc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
