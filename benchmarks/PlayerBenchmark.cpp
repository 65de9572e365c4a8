// Frame render time of the movie player at 1920x1080, beside the movie's
// frame period: the demo movie at both qualities, drawn whole and as played,
// and every tier-1 movie of the reference corpus at high quality, whole and
// as played.
//
// A frame is drawn in two bands on two threads, so the calling thread's
// processor time (Google Benchmark's "CPU" column by default) hides half
// the work. Each benchmark therefore measures the whole process: the "CPU"
// column is the process's time, and the counters give per frame
//   cpu_ms     processor time of every thread of the process,
//   wall_ms    time on the clock,
//   period_ms  the movie's frame period, the time a frame may take,
//   held_copies  how many whole frames' worth of pixels were copied from the
//              held picture of the still background.
//
//   player_benchmark [--movie FILE ...] [--only TEXT] [Google Benchmark flags]
//   (default: the demo movie and the corpus, where present; --only keeps the
//   movies whose name holds TEXT, e.g. --only acid-large, --only Demo)
#include "player/render/CanvasPng.h"
#include "player/MoviePlayback.h"
#include "pictures/PngWriter.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

namespace {

using velmora::swf::Canvas;
using velmora::swf::MoviePlayback;
using velmora::swf::ScaleMode;

constexpr int kWidth = 1920, kHeight = 1080;
constexpr double kDefaultFrameRate = 12;

// Processor time of every thread of this process, in milliseconds.
double ProcessCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double WallMs() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The movie loaded and at its first frame, and a full-HD canvas; false (the
// benchmark skipped) when the file cannot be played.
bool Prepare(benchmark::State& state, const std::string& path, MoviePlayback& playback, Canvas& canvas) {
  if (!playback.Load(path)) {
    state.SkipWithError(("cannot load " + path).c_str());
    return false;
  }
  canvas.Resize(kWidth, kHeight);
  playback.Step();
  return true;
}

// Steps through the movie's frames (looping) and draws each at 1920x1080.
// `whole`: every frame is drawn in full, as if nothing had stayed still (a
// new background colour each frame); otherwise as the program plays it: a
// frame in which nothing changed is not drawn, and objects that stayed still
// come from the renderer's held picture.
void RenderFrames(benchmark::State& state, const std::string& path, bool high, bool whole) {
  MoviePlayback playback;
  Canvas canvas;
  if (!Prepare(state, path, playback, canvas)) return;
  uint32_t background = 0;
  double heldFrames = 0;  // frames' worth of pixels copied from the held background
  const double cpu0 = ProcessCpuMs(), wall0 = WallMs();
  for (auto _ : state) {
    playback.Step();
    if (whole) {
      playback.Draw(canvas, ScaleMode::ShowAll, high, ++background & 0xFFFFFF);
    } else {
      playback.DrawIfChanged(canvas, ScaleMode::ShowAll, high);
    }
    heldFrames += static_cast<double>(playback.PixelsTakenFromHeld()) / canvas.pixels.size();
    benchmark::DoNotOptimize(canvas.pixels.data());
  }
  const double cpu = ProcessCpuMs() - cpu0, wall = WallMs() - wall0;
  const double rate = playback.GetMovie().frameRate > 0 ? playback.GetMovie().frameRate : kDefaultFrameRate;
  state.counters["cpu_ms"] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
  state.counters["wall_ms"] = benchmark::Counter(wall, benchmark::Counter::kAvgIterations);
  state.counters["period_ms"] = 1000.0 / rate;
  state.counters["held_copies"] = benchmark::Counter(heldFrames, benchmark::Counter::kAvgIterations);
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

// The tier-1 movies listed in the corpus index beside the project whose
// folder name holds `only`.
std::vector<std::string> TierOneMovies(const std::string& corpus, const std::string& only) {
  std::vector<std::string> movies;
  std::ifstream index(corpus + "/INDEX.tsv");
  std::string line;
  while (std::getline(index, line)) {
    const size_t tab = line.find('\t');
    if (tab == std::string::npos || line.compare(tab + 1, 2, "1\t") != 0) continue;
    const std::string folder = line.substr(0, tab);
    if (folder.find(only) != std::string::npos) movies.push_back(corpus + "/" + folder + "/test.swf");
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

// Both ways of drawing at high quality, and at low quality too when asked.
void Register(const std::string& movie, bool lowToo) {
  for (bool whole : {true, false})
    for (bool high : {false, true}) {
      if (!high && !lowToo) continue;
      const std::string name = DisplayName(movie) + (high ? "/high" : "/low") + (whole ? "/whole" : "/played");
      benchmark::RegisterBenchmark(name.c_str(), RenderFrames, movie, high, whole)
          ->Unit(benchmark::kMillisecond)
          ->MeasureProcessCPUTime();
    }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string root = VELMORA_SOURCE_DIR;
  std::vector<std::string> movies;
  std::string only;
  std::vector<char*> passOn = {argv[0]};
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--movie" && i + 1 < argc) {
      movies.push_back(argv[++i]);
    } else if (arg == "--only" && i + 1 < argc) {
      only = argv[++i];
    } else {
      passOn.push_back(argv[i]);
    }
  }
  if (!movies.empty()) {
    for (const std::string& movie : movies) Register(movie, true);
  } else {
    if (std::string("Demo.swf").find(only) != std::string::npos) {
      Register(root + "/demo/Flashs/Demo.swf", true);
      benchmark::RegisterBenchmark("Demo.swf/png", EncodeFrame, root + "/demo/Flashs/Demo.swf")
          ->Unit(benchmark::kMillisecond);
    }
    for (const std::string& movie : TierOneMovies(root + "/../shared/corpus/swf", only)) Register(movie, false);
  }
  int bmArgc = static_cast<int>(passOn.size());
  benchmark::Initialize(&bmArgc, passOn.data());
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
