#include "player/MoviePlayback.h"

#include <climits>
#include <thread>

namespace velmora::swf {
namespace {

// Frames shorter than this are drawn in one piece: two bands would not pay
// for the second renderer's share of the work.
constexpr int kLeastRowsForBands = 128;

}  // namespace

bool MoviePlayback::Load(const std::string& path) { return Adopt(ParseMovieFile(path)); }

bool MoviePlayback::LoadBytes(const uint8_t* data, size_t size) { return Adopt(ParseMovie(data, size)); }

bool MoviePlayback::Adopt(ParseResult result) {
  root_.reset();
  scripts_.reset();
  renderer_.reset();
  drawnView_.reset();
  lowerRenderer_.reset();
  framesRun_ = 0;
  pixelsToStage_.reset();
  buttons_.Reset();
  pointerDown_ = false;
  error_ = result.error;
  if (!result.ok) return false;
  movie_ = std::move(result.movie);
  scripts_ = std::make_unique<MovieScripts>(movie_, limits_);
  scripts_->SetClock(clock_);
  root_ = std::make_unique<Clip>(movie_, movie_.timeline, true);
  scripts_->BindRoot(*root_);
  renderer_ = std::make_unique<FrameRenderer>(movie_, glyphs_.get());
  return true;
}

void MoviePlayback::SetGlyphSource(std::shared_ptr<GlyphSource> source) {
  // The renderers hold the source and their layouts made with it: new ones
  // take the new source.
  lowerRenderer_.reset();
  drawnView_.reset();
  if (renderer_) renderer_ = std::make_unique<FrameRenderer>(movie_, source.get());
  glyphs_ = std::move(source);
}

void MoviePlayback::SetClock(MovieClock* clock) {
  clock_ = clock;
  if (scripts_) scripts_->SetClock(clock);
}

void MoviePlayback::Step() {
  if (!root_) return;
  scripts_->Tick();  // the first tick shows the first frame
  ++framesRun_;
}

bool MoviePlayback::ToStage(double x, double y, double& twipsX, double& twipsY) const {
  if (!root_ || !scripts_ || !pixelsToStage_) return false;
  const Point p = pixelsToStage_->Apply({x, y});
  twipsX = p.x;
  twipsY = p.y;
  return true;
}

void MoviePlayback::PointerMoved(double x, double y) {
  double tx = 0, ty = 0;
  if (!ToStage(x, y, tx, ty)) return;
  if (tx == scripts_->PointerX() && ty == scripts_->PointerY()) return;  // no move
  scripts_->PointerMoved(tx, ty);
  buttons_.Update(*scripts_, *root_, tx, ty, pointerDown_);
}

void MoviePlayback::PointerButton(bool down, double x, double y) {
  double tx = 0, ty = 0;
  if (!ToStage(x, y, tx, ty) || down == pointerDown_) return;
  PointerMoved(x, y);
  pointerDown_ = down;
  scripts_->PointerButton(down);
  buttons_.Update(*scripts_, *root_, tx, ty, down);
}

void MoviePlayback::SetView(int width, int height, ScaleMode mode) {
  if (scripts_) scripts_->SetView(width, height, mode);
}

ScaleMode MoviePlayback::ShownMode(ScaleMode hostMode) const {
  return scripts_ ? scripts_->ScriptScaleMode().value_or(hostMode) : hostMode;
}

bool MoviePlayback::DrawIfChanged(Canvas& canvas, ScaleMode mode, bool highQuality,
                                  std::optional<uint32_t> background) {
  SetView(canvas.width, canvas.height, mode);
  const DrawnView view{canvas.pixels.data(), canvas.width, canvas.height, ShownMode(mode), ShownAlign(),
                       highQuality, background};
  // The tree's state is taken every frame, so that the comparison is always
  // with the frame before.
  const bool stillTree = root_ && drawnScene_.TakeAndCompare(*root_);
  const bool sameView = drawnView_ && *drawnView_ == view;
  if (stillTree && sameView) {
    takenFromHeld_ = 0;
    changed_ = {};
    return false;
  }
  drawnView_ = view;
  // At the same view the canvas holds the last picture drawn into it.
  return DrawFrame(canvas, mode, highQuality, background, sameView);
}

bool MoviePlayback::Draw(Canvas& canvas, ScaleMode mode, bool highQuality, std::optional<uint32_t> background) {
  return DrawFrame(canvas, mode, highQuality, background, false);
}

bool MoviePlayback::DrawFrame(Canvas& canvas, ScaleMode mode, bool highQuality, std::optional<uint32_t> background,
                              bool canvasHoldsLast) {
  const uint32_t rgb = background ? *background & 0xFFFFFF
                                  : (movie_.background.r << 16) | (movie_.background.g << 8) | movie_.background.b;
  const uint32_t opaque = 0xFF000000u | rgb;
  takenFromHeld_ = 0;
  changed_ = {0, 0, canvas.width, canvas.height};
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
  SetView(canvas.width, canvas.height, mode);
  const Matrix view = ViewMatrix(movie_.stage, canvas.width, canvas.height, ShownMode(mode), ShownAlign());
  Matrix inverse;
  if (view.Invert(inverse)) pixelsToStage_ = inverse;
  static const bool twoCores = std::thread::hardware_concurrency() >= 2;
  const bool banded = bandsAllowed_ && canvas.height >= kLeastRowsForBands && twoCores;
  // Each renderer knows only what it drew itself: once the bands change, the
  // canvas holds another's drawing.
  if (banded != drawnInBands_) canvasHoldsLast = false;
  drawnInBands_ = banded;
  if (!banded) {
    const bool changed = renderer_->Render(*root_, view, options, opaque, canvas, 0, INT_MAX, canvasHoldsLast);
    takenFromHeld_ = renderer_->PixelsTakenFromHeld();
    changed_ = renderer_->ChangedBounds();
    return changed;
  }
  // The upper half here, the lower half on the worker, each renderer with its
  // own held picture and caches; the movie and its timeline are only read.
  if (!lowerRenderer_) lowerRenderer_ = std::make_unique<FrameRenderer>(movie_, glyphs_.get());
  if (!worker_) worker_ = std::make_unique<BandWorker>();
  const int middle = canvas.height / 2;
  bool upperChanged = false, lowerChanged = false;
  worker_->RunBeside(
      [&] {
        lowerChanged = lowerRenderer_->Render(*root_, view, options, opaque, canvas, middle, canvas.height,
                                              canvasHoldsLast);
      },
      [&] { upperChanged = renderer_->Render(*root_, view, options, opaque, canvas, 0, middle, canvasHoldsLast); });
  takenFromHeld_ = renderer_->PixelsTakenFromHeld() + lowerRenderer_->PixelsTakenFromHeld();
  changed_ = Around(upperChanged ? renderer_->ChangedBounds() : PixelBounds{},
                    lowerChanged ? lowerRenderer_->ChangedBounds() : PixelBounds{});
  return upperChanged || lowerChanged;
}

}  // namespace velmora::swf
