// Draws a clip's display list, with its nested clips, into a canvas: shapes
// and morph shapes with their fills and strokes, colour transforms, masks,
// blend modes and filters.
#pragma once

#include "player/display/Timeline.h"
#include "player/render/BackdropCache.h"
#include "player/render/Canvas.h"
#include "player/render/DeviceGlyphs.h"
#include "player/render/TextFieldLayout.h"
#include "player/render/Filters.h"
#include "player/render/Paint.h"
#include "player/render/Rasterizer.h"
#include "player/render/RenderOptions.h"
#include "player/render/ShapeGeometry.h"
#include "player/render/Stroker.h"

#include <climits>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace velmora::swf {

// Text layouts a renderer keeps: enough for every field of a busy movie to
// be drawn again without a new layout.
constexpr size_t kMaxFieldLayouts = 64;

class FrameRenderer {
 public:
  // `glyphs` gives device fonts' glyphs to text fields (none drawn without).
  explicit FrameRenderer(const Movie& movie, GlyphSource* glyphs = nullptr) : movie_(movie), deviceGlyphs_(glyphs) {}

  // `view` maps the movie's twips to canvas pixels; the frame is drawn over
  // `background` (opaque 0xAARRGGBB), on the canvas rows from `rowFrom` up
  // to `rowTo` only, so that renderers of their own can draw the bands of
  // one frame at once. Root objects that stayed still since the last frame
  // come from a held picture. False when the picture is the same as the one
  // drawn last time. `canvasHoldsLast` promises that the canvas holds what
  // this renderer drew into it last, untouched since: the held picture is
  // then put back only where the last frame drew over it.
  bool Render(const Clip& root, const Matrix& view, const RenderOptions& options,
              uint32_t background, Canvas& canvas, int rowFrom = 0, int rowTo = INT_MAX,
              bool canvasHoldsLast = false);
  // How many of the canvas's pixels the last Render took from the held
  // picture (0 when nothing was held).
  size_t PixelsTakenFromHeld() const { return pixelsTakenFromHeld_; }
  // Where the last Render may have changed the canvas: around what the last
  // frame drew over the held picture and what this one drew, when the held
  // picture went back only there; else every row it drew.
  PixelBounds ChangedBounds() const { return changedBounds_; }
  // How many text layouts are kept (at most kMaxFieldLayouts).
  size_t KeptFieldLayouts() const { return fieldLayouts_.size(); }

 private:
  struct Context {
    Canvas* target = nullptr;
    const CoveragePlane* mask = nullptr;
    Matrix matrix;
    ColorTransform cx;
    bool maskMode = false;  // every paint opaque: the picture is a mask
    // Drawn inside an object with the layer blend mode: only there do the
    // alpha and erase modes cut into what lies below (elsewhere they draw
    // nothing).
    bool insideLayer = false;
    // The object drawn is already cut by its script mask (its children are
    // drawn without this).
    bool scriptMasked = false;
    // The target's rows that are drawn; the rest is left as it is.
    int rowFrom = 0, rowTo = 0;
  };

  // The canvas rows `ctx` draws, taken from the held picture: wholly, or
  // only where the last frame drew over it when `drawnOver_` says so.
  void TakeHeldPicture(const Context& ctx, bool onlyDrawnOver);
  // Where the root objects from index `from` on can draw under `ctx`: a
  // rectangle each (on whole pixels, within the rows drawn), or one around
  // them all when there are many.
  void DrawableAreas(const Clip& root, size_t from, const Context& ctx, std::vector<PixelBounds>& out);
  // Draws the display list's objects from index `from` up to `to`.
  void DrawClip(const Clip& clip, const Context& ctx, size_t from = 0, size_t to = SIZE_MAX);
  void DrawObject(const DisplayObject& object, const Context& ctx);
  // The coverage of `object` drawn as a mask under `ctx` (cut by ctx.mask),
  // on the target's rows that are drawn.
  CoveragePlane MaskPlane(const DisplayObject& object, const Context& ctx);
  // An object whose clip a script masked: its mask's coverage, then the
  // object through it. False when it has no mask on the tree.
  bool DrawScriptMasked(const DisplayObject& object, const Context& ctx);
  // An object with filters, through a layer over its own area.
  void DrawFiltered(const DisplayObject& object, const Context& ctx, Context inner, BlendMode mode);
  // An object with a blend mode: its content flattened in a layer over its
  // own area, then tinted and blended as one picture.
  void DrawLayered(const DisplayObject& object, const Context& ctx, Context inner, BlendMode mode);
  void DrawContent(const DisplayObject& object, const Context& ctx);
  // The rectangle of the object's bounds in its opaque background colour.
  void DrawOpaqueBackground(const DisplayObject& object, const Context& ctx);
  // Every pixel the object's content can touch under `full`, its whole
  // transform: its outlines and pens, its children's with their filters,
  // widened by what anti-aliasing and the twips grid add. The bounds a
  // file declares may leave out a glyph's overhang or a child's glow.
  PixelRect DrawnBounds(const DisplayObject& object, const Matrix& full);
  void AddDrawnBounds(const DisplayObject& object, const Matrix& full, PixelRect& out, bool& any, int depth);
  void DrawShape(const ShapeGeometry& shape, const Context& ctx);
  // Glyph outlines filled with their record's colour.
  void DrawText(const StaticText& text, const Context& ctx);
  // One glyph's outline at `matrix` (its origin snapped to a whole twip).
  void DrawGlyph(const Shape* outline, const Matrix& matrix, Rgba color, const Context& ctx);
  // A text field: its box, then its glyphs cut to the box.
  // `state` holds the text it shows and its looks (null: its own).
  void DrawEditText(const EditText& field, const FieldState* state, const Context& ctx);
  const FieldLayout& LayoutOf(const EditText& field, const FieldState& state);
  // The background and the border a field's looks ask for.
  void DrawFieldBox(const Rect& box, const FieldLooks& looks, const Context& ctx);
  // Marks in `fieldClip_` the pixels of `box` under `ctx`, within the rows
  // returned; empty when the box misses the target.
  PixelBounds ClipToBox(const Rect& box, const Context& ctx);
  void FillPolygon(const Point* corners, size_t count, uint32_t color, const Context& ctx, const CoveragePlane* mask);
  void DrawFills(const ShapeGeometry& shape, const StyleGroup& group, const Context& ctx);
  void DrawLines(const StyleGroup& group, const Context& ctx);
  // True when `style` leaves every pixel it covers as it was: Paint makes
  // such a fill a wholly transparent colour.
  bool PaintsNothing(const FillStyle& style, const Context& ctx) const;
  void PaintCoverage(const FillStyle& style, const Context& ctx, bool additive, Canvas& target,
                     const CoveragePlane* mask);
  // How the ends of an outline's edges are put on the device grid before
  // rasterizing; the points that cut a curve fall as they are.
  enum class OutlineGrid : uint8_t {
    Twips,  // shapes: on whole twips
    Glyph,  // text: as they fall (the glyph's origin is on a whole twip)
  };
  // The ramp of `gradient` under `cx`, kept while gradients of that look are
  // drawn (a few dozen of them at most).
  const GradientRamp& RampOf(const Gradient& gradient, const ColorTransform& cx, RampSteps steps);
  void AddFillEdges(const std::vector<Edge>& edges, const Matrix& m, OutlineGrid grid = OutlineGrid::Twips);
  const ShapeGeometry& GeometryOf(const Shape* shape);
  // The geometry of what scripts drew on `clip`; null when nothing.
  const ShapeGeometry* DrawingGeometry(const Clip& clip);
  const ShapeGeometry& GeometryOf(const MorphShape* morph, uint16_t ratio);
  // A cleared canvas of the target's size, for layers and masks.
  std::unique_ptr<Canvas> TakeLayer(int width, int height);
  void GiveBack(std::unique_ptr<Canvas> layer);

  const Movie& movie_;
  RenderOptions options_;
  Rasterizer raster_;
  FillRule fillRule_ = FillRule::EvenOdd;
  std::vector<uint32_t> paintRow_;
  std::vector<PenPoint> strokePoints_;
  std::vector<double> curveCuts_;
  std::map<const Shape*, ShapeGeometry> shapes_;
  std::map<std::pair<const MorphShape*, uint16_t>, ShapeGeometry> morphs_;
  // The geometry of the clips' drawings, built again when a drawing's
  // version moves on; a drawing not drawn in a frame is dropped after it.
  struct DrawingEntry {
    uint64_t version = 0;
    uint64_t frame = 0;
    ShapeGeometry geometry;
  };
  std::map<const ClipDrawing*, DrawingEntry> drawings_;
  uint64_t frame_ = 0;
  std::vector<std::unique_ptr<Canvas>> spareLayers_;
  struct KeptRamp {
    Interpolation interpolation = Interpolation::Rgb;
    std::vector<GradientStop> stops;
    ColorTransform cx;
    RampSteps steps = RampSteps::Smooth;
    uint64_t lastUsed = 0;
    std::unique_ptr<GradientRamp> ramp;
  };
  std::vector<KeptRamp> ramps_;
  uint64_t rampUses_ = 0;
  Canvas fillLayer_;
  BackdropCache backdrop_;
  // What the last frame drew over the held picture, on which canvas.
  struct DrawnOver {
    bool valid = false;
    const uint32_t* pixels = nullptr;
    int width = 0, height = 0, rowFrom = 0, rowTo = 0;
    size_t still = 0;
    std::vector<PixelBounds> areas;
  };
  DrawnOver drawnOver_;
  std::vector<std::pair<int, int>> rowSpans_;  // a row's spans to take, reused
  size_t pixelsTakenFromHeld_ = 0;
  PixelBounds changedBounds_;
  int drawDepth_ = 0;
  double filterScale_ = 1;  // layer pixels per stage pixel
  // Text fields: the layouts of the texts drawn last (at most
  // kMaxFieldLayouts, the least recently drawn going first, so a clock's
  // new text each second costs no memory), the device glyphs they use, and
  // the plane their glyphs are cut to.
  struct FieldLayoutKey {
    const EditText* field = nullptr;
    FieldLooks looks;
    std::u16string text;
  };
  // A key to look for without copying the text.
  struct FieldLayoutProbe {
    const EditText* field;
    const FieldLooks& looks;
    std::u16string_view text;
  };
  struct FieldLayoutKeyLess {
    using is_transparent = void;
    bool operator()(const FieldLayoutKey& a, const FieldLayoutKey& b) const;
    bool operator()(const FieldLayoutKey& a, const FieldLayoutProbe& b) const;
    bool operator()(const FieldLayoutProbe& a, const FieldLayoutKey& b) const;
  };
  struct KeptFieldLayout {
    FieldLayout layout;
    uint64_t lastDrawn = 0;
  };
  DeviceGlyphs deviceGlyphs_;
  std::map<FieldLayoutKey, KeptFieldLayout, FieldLayoutKeyLess> fieldLayouts_;
  uint64_t fieldDraws_ = 0;
  CoveragePlane fieldClip_;
};

}  // namespace velmora::swf
