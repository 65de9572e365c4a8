// libFuzzer target: any bytes through the parser, a few frames of the
// timeline and a small render. Nothing may crash, hang or grow without bound.
#include "player/MoviePlayback.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  velmora::swf::MoviePlayback playback;
  if (!playback.LoadBytes(data, size)) return 0;
  velmora::swf::Canvas canvas;
  canvas.Resize(64, 48);
  for (int frame = 0; frame < 4; ++frame) {
    playback.Step();
    playback.Draw(canvas, velmora::swf::ScaleMode::ShowAll, frame % 2 == 0);
  }
  return 0;
}
