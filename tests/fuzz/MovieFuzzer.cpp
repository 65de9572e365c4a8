// libFuzzer target: any bytes through the parser, a few frames of the
// timeline with the movie's scripts (and pointer and key events for their
// handlers) and a small render. Nothing may crash, hang or grow without bound.
#include "player/MoviePlayback.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  velmora::swf::MoviePlayback playback;
  // Bounds lower than a movie's own, so that each input runs quickly.
  velmora::avm1::Limits limits;
  limits.actionsPerRun = 20000;
  limits.actionsPerFrame = 60000;
  limits.memoryBytes = 16u << 20;
  playback.SetScriptLimits(limits);
  if (!playback.LoadBytes(data, size)) return 0;
  velmora::swf::Canvas canvas;
  canvas.Resize(64, 48);
  for (int frame = 0; frame < 4; ++frame) {
    playback.Step();
    playback.Draw(canvas, velmora::swf::ScaleMode::ShowAll, frame % 2 == 0);
    if (velmora::swf::MovieScripts* scripts = playback.Scripts()) {
      scripts->PointerMoved(frame * 300.0, 200);
      scripts->PointerButton(frame % 2 == 0);
      scripts->KeyChanged(13 + frame, 13 + frame, frame % 2 == 0);
    }
  }
  return 0;
}
