// Native figures for the slideshow's blending at 1920 x 1080.
#include "iconlayer/PixelBlend.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace velmora {
namespace {

struct Buffer {
  std::vector<uint8_t> bytes;
  PixelView view;
  Buffer(int w, int h, uint8_t fill, uint8_t alpha = 255)
      : bytes(static_cast<size_t>(w) * h * 4, fill) {
    for (size_t i = 3; i < bytes.size(); i += 4) bytes[i] = alpha;
    view = {bytes.data(), w, h, w * 4};
  }
};

// One fade frame: the half-resolution slide scaled up, smooth, at an opacity;
// an opaque slide (a photograph) and one with translucent pixels.
void FadeFrame(benchmark::State& state) {
  Buffer slide(960, 540, 200, static_cast<uint8_t>(state.range(0))), screen(1920, 1080, 255);
  for (auto _ : state) {
    StretchBlend(slide.view, {0, 0, 960, 540}, screen.view, {0, 0, 1920, 1080}, 90, true);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(FadeFrame)->Arg(255)->Arg(200)->Unit(benchmark::kMillisecond);

// The same opaque fade frame the pixel-by-pixel way (what every fade cost
// before the four-pixel path).
void FadeFramePixelByPixel(benchmark::State& state) {
  Buffer slide(960, 540, 200), screen(1920, 1080, 255);
  for (auto _ : state) {
    StretchBlend(slide.view, {0, 0, 960, 540}, screen.view, {0, 0, 1920, 1080}, 90, true, true);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(FadeFramePixelByPixel)->Unit(benchmark::kMillisecond);

// The final opaque draw of the full-resolution slide, 1:1.
void FinalDraw(benchmark::State& state) {
  Buffer slide(1920, 1080, 200), screen(1920, 1080, 255);
  for (auto _ : state) {
    StretchBlend(slide.view, {0, 0, 1920, 1080}, screen.view, {0, 0, 1920, 1080}, 255, true);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(FinalDraw)->Unit(benchmark::kMillisecond);

// For scale: copying the same number of bytes.
void PlainCopy(benchmark::State& state) {
  Buffer slide(1920, 1080, 200), screen(1920, 1080, 255);
  for (auto _ : state) {
    std::memcpy(screen.bytes.data(), slide.bytes.data(), slide.bytes.size());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(PlainCopy)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmora

BENCHMARK_MAIN();
