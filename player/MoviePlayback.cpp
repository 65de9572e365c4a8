#include "player/MoviePlayback.h"

namespace velmora::swf {

bool MoviePlayback::Load(const std::string& path) { return Adopt(ParseMovieFile(path)); }

bool MoviePlayback::LoadBytes(const uint8_t* data, size_t size) { return Adopt(ParseMovie(data, size)); }

bool MoviePlayback::Adopt(ParseResult result) {
  root_.reset();
  renderer_.reset();
  framesRun_ = 0;
  error_ = result.error;
  if (!result.ok) return false;
  movie_ = std::move(result.movie);
  root_ = std::make_unique<Clip>(movie_, movie_.timeline, true);
  renderer_ = std::make_unique<FrameRenderer>(movie_);
  return true;
}

void MoviePlayback::Step() {
  if (!root_) return;
  root_->Advance();  // the first advance shows the first frame
  ++framesRun_;
}

bool MoviePlayback::Draw(Canvas& canvas, ScaleMode mode, bool highQuality, std::optional<uint32_t> background) {
  const uint32_t rgb = background ? *background & 0xFFFFFF
                                  : (movie_.background.r << 16) | (movie_.background.g << 8) | movie_.background.b;
  const uint32_t opaque = 0xFF000000u | rgb;
  if (!root_ || !renderer_) {
    canvas.Clear(opaque);
    return true;
  }
  RenderOptions options;
  options.antialias = highQuality;
  // Smoothed bitmap fills stay smoothed at low quality too: the reference
  // pictures of zoomed pictures are bilinear there.
  options.smoothBitmaps = true;
  // Gradients go in whole-ratio steps at high quality and smoothly at low
  // quality: so the reference pictures have them.
  options.gradientSteps = highQuality ? RampSteps::WholeRatios : RampSteps::Smooth;
  return renderer_->Render(*root_, ViewMatrix(movie_.stage, canvas.width, canvas.height, mode), options, opaque, canvas);
}

}  // namespace velmora::swf
