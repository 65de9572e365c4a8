// What a script draws on a clip with the drawing methods (moveTo, lineTo,
// beginFill...): kept as a shape of the file's own form, in twips, so the
// renderer draws it as it draws any shape, below the clip's children.
//
// Each fill begins a new style table, so later fills lie above earlier ones
// and their lines, in the order they were drawn. A fill's outline is closed
// back to where it began, with the current pen, when the fill ends, when a
// new one begins and when the pen moves away.
#pragma once

#include "player/swf/SwfMovie.h"

#include <cstdint>

namespace velmora::swf {

class Clip;

class ClipDrawing {
 public:
  ClipDrawing();

  // Empties the drawing; the pen goes back to the origin with no pen or fill.
  void Clear();
  // The pen for the edges from now on; `on` false draws edges without one.
  void SetLine(bool on, const LineStyle& style);
  // Ends any fill and begins one at the pen's position.
  void BeginFill(const FillStyle& style);
  // Closes and ends the fill (if any); edges from now on fill nothing.
  void EndFill();
  // Points in twips.
  void MoveTo(Point to);
  void LineTo(Point to);
  void CurveTo(Point control, Point to);

  const Shape& GetShape() const { return shape_; }
  // Changes with every change of the drawing, and is never the same for two
  // drawings: a renderer keeps what it built from one while this holds.
  uint64_t Version() const { return version_; }
  // The box of the edges, widened by their pens; empty when nothing is drawn.
  bool HasBox() const { return hasBox_; }
  double X0() const { return x0_; }
  double Y0() const { return y0_; }
  double X1() const { return x1_; }
  double Y1() const { return y1_; }
  size_t RecordCount() const { return shape_.records.size(); }

 private:
  // Whether the drawing is at its bound: calls that add to it are ignored.
  bool Full() const;
  // A fill being drawn shows closed: two records at the end close its
  // outline for the picture, taken off before the next change and put back
  // after it.
  void Reopen();
  void Reclose();
  void Touch();
  // A style change before the next edge when the styles or the pen moved.
  void PrepareEdge();
  void AddEdge(ShapeRecord::Kind kind, Point control, Point to);
  // Draws the edge back to the start of the fill's outline.
  void CloseOutline();
  void Include(Point p, double reach);

  Shape shape_;
  uint64_t version_ = 0;
  Point pen_;               // where the script's pen is
  Point recordPen_;         // where the records leave the pen
  Point outlineStart_;      // where the fill's current outline began
  bool outlineHasEdges_ = false;
  bool filling_ = false;
  uint32_t line_ = 0;       // 1-based in the current table, 0 none
  size_t styles_ = 0;       // fill and line styles in all tables
  size_t provisional_ = 0;  // the records that close the fill for now
  struct {
    Point pen;
    bool stylesChanged = false;
  } beforeProvisional_;
  bool stylesChanged_ = true;
  bool hasBox_ = false;
  double x0_ = 0, y0_ = 0, x1_ = 0, y1_ = 0;
};

// The version of the clip's drawing, 0 when it has none.
uint64_t DrawingVersionOf(const Clip& clip);

}  // namespace velmora::swf
