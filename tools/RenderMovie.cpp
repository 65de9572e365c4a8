// swf_render: draws chosen frames of a movie to PNG files.
//
//   swf_render <movie.swf> <out-prefix> [--frames 1,5,30] [--quality low|high]
//              [--size WxH] [--scale 0..3] [--clock YYYY-MM-DDTHH:MM:SS]
//
// Frame N is the picture after N frames have run (the first frame is 1). The
// pictures are written as <out-prefix><N>.png at the stage size unless --size
// is given. The movie's scripts read the machine's local time, or with
// --clock that local time at the first frame, running on with the frames
// (frame N at the time given plus N - 1 frame periods).
#include "player/render/CanvasPng.h"
#include "player/MoviePlayback.h"
#ifdef _WIN32
#include "wallpaper/GdiGlyphSource.h"
#else
#include "tools/FontFileGlyphSource.h"
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <memory>
#include <set>
#include <sstream>
#include <string>

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: swf_render <movie.swf> <out-prefix> [--frames 1,5] [--quality low|high] "
               "[--size WxH] [--scale 0-3] [--clock YYYY-MM-DDTHH:MM:SS]\n");
  return 2;
}

// The machine's clock and time zone, through the C library.
class MachineClock final : public velmora::swf::MovieClock {
 public:
  double NowUtcMs(double) override {
    using namespace std::chrono;
    return static_cast<double>(duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
  }
  double LocalOffsetMs(double utcMs) override {
    std::time_t t = static_cast<std::time_t>(utcMs / 1000);
    std::tm local{}, utc{};
#ifdef _WIN32
    localtime_s(&local, &t);
    gmtime_s(&utc, &t);
#else
    localtime_r(&t, &local);
    gmtime_r(&t, &utc);
#endif
    utc.tm_isdst = local.tm_isdst;
    return std::difftime(std::mktime(&local), std::mktime(&utc)) * 1000;
  }
};

bool ParseFrames(const std::string& text, std::set<unsigned>& frames) {
  std::stringstream in(text);
  std::string item;
  while (std::getline(in, item, ',')) {
    char* end = nullptr;
    unsigned long n = std::strtoul(item.c_str(), &end, 10);
    if (item.empty() || *end || n == 0 || n > 1000000) return false;
    frames.insert(static_cast<unsigned>(n));
  }
  return !frames.empty();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string moviePath = argv[1], prefix = argv[2];
  std::set<unsigned> frames{1};
  bool high = true;
  int width = 0, height = 0;
  int scale = 0;
  std::unique_ptr<velmora::swf::MovieClock> clock = std::make_unique<MachineClock>();
  for (int i = 3; i < argc; ++i) {
    std::string arg = argv[i];
    if (i + 1 >= argc) return Usage();
    std::string value = argv[++i];
    if (arg == "--frames") {
      frames.clear();
      if (!ParseFrames(value, frames)) return Usage();
    } else if (arg == "--quality") {
      if (value != "low" && value != "high") return Usage();
      high = value == "high";
    } else if (arg == "--size") {
      if (std::sscanf(value.c_str(), "%dx%d", &width, &height) != 2 || width <= 0 || height <= 0 ||
          width > 16384 || height > 16384)
        return Usage();
    } else if (arg == "--scale") {
      scale = std::atoi(value.c_str());
      if (scale < 0 || scale > 3) return Usage();
    } else if (arg == "--clock") {
      double start = 0;
      if (!velmora::swf::ParseLocalTime(value, start)) return Usage();
      clock = std::make_unique<velmora::swf::FixedStartClock>(start);
    } else {
      return Usage();
    }
  }

  velmora::swf::MoviePlayback playback;
  playback.SetClock(clock.get());
  // Device text in the system's fonts: GDI's on Windows, DejaVu's elsewhere.
#ifdef _WIN32
  playback.SetGlyphSource(std::make_shared<velmora::GdiGlyphSource>());
#else
  playback.SetGlyphSource(std::make_shared<velmora::tools::FontFileGlyphSource>());
#endif
  if (!playback.Load(moviePath)) {
    std::fprintf(stderr, "swf_render: %s: %s\n", moviePath.c_str(), playback.Error().c_str());
    return 1;
  }
  if (!playback.Error().empty())
    std::fprintf(stderr, "swf_render: %s: partly read: %s\n", moviePath.c_str(), playback.Error().c_str());
  const auto& stage = playback.GetMovie().stage;
  if (width == 0) {
    width = std::clamp(stage.Width() / 20, 1, 16384);
    height = std::clamp(stage.Height() / 20, 1, 16384);
  }
  velmora::swf::Canvas canvas;
  canvas.Resize(width, height);
  int failures = 0;
  for (unsigned n = 1; n <= *frames.rbegin(); ++n) {
    playback.Step();
    if (!frames.count(n)) continue;
    playback.Draw(canvas, static_cast<velmora::swf::ScaleMode>(scale), high);
    std::string out = prefix + std::to_string(n) + ".png";
    if (!velmora::swf::SaveCanvasPng(canvas, out)) {
      std::fprintf(stderr, "swf_render: cannot write %s\n", out.c_str());
      ++failures;
    }
  }
  return failures ? 1 : 0;
}
