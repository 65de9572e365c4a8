// A movie being played: the parsed file, its root timeline and the renderer,
// with the frame drawn at a given size and quality. The window control and
// the command-line tool both drive one of these.
#pragma once

#include "player/ScaleMode.h"
#include "player/display/ButtonPointer.h"
#include "player/display/MovieScripts.h"
#include "player/display/Timeline.h"
#include "player/render/BandWorker.h"
#include "player/render/Canvas.h"
#include "player/render/FrameRenderer.h"
#include "player/render/SceneState.h"
#include "player/swf/SwfParser.h"

#include <memory>
#include <optional>
#include <string>

namespace velmora::swf {

class MoviePlayback {
 public:
  // False (with `Error()`) when the file is missing or not a movie.
  bool Load(const std::string& path);
  bool LoadBytes(const uint8_t* data, size_t size);
  bool Loaded() const { return root_ != nullptr; }
  const Movie& GetMovie() const { return movie_; }
  const std::string& Error() const { return error_; }

  // Shows the first frame, then one tick of the movie's clock per call: the
  // timelines move and the movie's scripts run.
  void Step();
  // Where the movie's Date reads the time (not owned; kept across loads). The
  // program gives the machine's clock; tests and tools a fixed one.
  void SetClock(MovieClock* clock);
  // The bounds of the scripts of the movies loaded from now on.
  void SetScriptLimits(const avm1::Limits& limits) { limits_ = limits; }
  // The movie's scripts (null before a movie is loaded).
  MovieScripts* Scripts() { return scripts_.get(); }
  uint32_t FramesRun() const { return framesRun_; }
  const Clip* Root() const { return root_.get(); }
  Clip* Root() { return root_.get(); }

  // Draws the current frame over a background of `background` (0x00RRGGBB,
  // or the movie's own colour when empty). False when the picture is the
  // one this playback drew last (nothing moved): a window need not show it again.
  bool Draw(Canvas& canvas, ScaleMode mode, bool highQuality,
            std::optional<uint32_t> background = std::nullopt);
  // As Draw, for a canvas that holds what this playback drew into it last
  // (a window's own frame buffer): when neither the display tree nor the
  // view changed since, nothing is drawn and the answer is false.
  bool DrawIfChanged(Canvas& canvas, ScaleMode mode, bool highQuality,
                     std::optional<uint32_t> background = std::nullopt);

  // The pointer over the canvas last drawn, in its pixels: given to the
  // scripts in stage twips (after the scale mode's view) and to the buttons
  // under it. Nothing is drawn here: what changes shows at the next frame.
  // Ignored before the first picture and before a movie is loaded.
  void PointerMoved(double x, double y);
  void PointerButton(bool down, double x, double y);

  // Where text fields find the system's fonts (device text is not drawn
  // without one). The source may be called from two drawing threads.
  void SetGlyphSource(std::shared_ptr<GlyphSource> source);

  // The size of the view the movie is shown in and the host's scale mode,
  // for the scripts (Stage.width under noScale, onResize) before the first
  // picture; each Draw tells them again.
  void SetView(int width, int height, ScaleMode mode);

  // Where the last picture drawn may differ from what the canvas held before
  // it (the whole canvas unless it was drawn over the picture before it).
  PixelBounds ChangedBounds() const { return changed_; }

  // How many pixels the last Draw took from the renderers' held pictures of
  // the still background (a whole frame's worth when all of it was copied).
  size_t PixelsTakenFromHeld() const { return takenFromHeld_; }

  // Whether a frame may be drawn in two bands at once, on a second thread
  // (where the machine has a second core). The pictures are the same.
  void DrawInBands(bool allowed) { bandsAllowed_ = allowed; }

 private:
  bool Adopt(ParseResult result);
  // Draw, told whether the canvas holds what this playback drew into it last.
  bool DrawFrame(Canvas& canvas, ScaleMode mode, bool highQuality, std::optional<uint32_t> background,
                 bool canvasHoldsLast);
  // The scale mode a picture is drawn with: the movie's own choice, else
  // the host's.
  ScaleMode ShownMode(ScaleMode hostMode) const;
  StageAlign ShownAlign() const { return scripts_ ? scripts_->Align() : StageAlign(); }
  // The canvas point in stage twips; false when no picture was drawn yet.
  bool ToStage(double x, double y, double& twipsX, double& twipsY) const;

  // What a picture was drawn at, besides the tree: a change of any of it
  // draws the frame again.
  struct DrawnView {
    const uint32_t* pixels = nullptr;
    int width = 0, height = 0;
    ScaleMode mode = ScaleMode::ShowAll;
    StageAlign align;
    bool highQuality = false;
    std::optional<uint32_t> background;
    bool operator==(const DrawnView& o) const {
      return pixels == o.pixels && width == o.width && height == o.height && mode == o.mode && align == o.align &&
             highQuality == o.highQuality && background == o.background;
    }
  };

  Movie movie_;
  // The scripts outlive the clips, whose script objects live on their heap.
  std::unique_ptr<MovieScripts> scripts_;
  std::unique_ptr<Clip> root_;
  MovieClock* clock_ = nullptr;
  avm1::Limits limits_;
  std::shared_ptr<GlyphSource> glyphs_;
  std::unique_ptr<FrameRenderer> renderer_;
  // The lower band's renderer and its thread, made at the first banded frame.
  std::unique_ptr<FrameRenderer> lowerRenderer_;
  std::unique_ptr<BandWorker> worker_;
  SceneState drawnScene_;
  std::optional<DrawnView> drawnView_;
  bool bandsAllowed_ = true;
  bool drawnInBands_ = false;  // how the last picture was drawn
  size_t takenFromHeld_ = 0;
  PixelBounds changed_;
  // From the last picture's pixels to the stage's twips.
  std::optional<Matrix> pixelsToStage_;
  ButtonPointer buttons_;
  bool pointerDown_ = false;
  uint32_t framesRun_ = 0;
  std::string error_;
};

}  // namespace velmora::swf
