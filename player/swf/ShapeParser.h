// Shape, style and morph-shape records of the define-shape tags.
#pragma once

#include "player/swf/BitReader.h"
#include "player/swf/SwfMovie.h"

namespace velmora::swf {

// `shapeVersion` is 1..4 for DefineShape..DefineShape4; it decides colour
// sizes, extended counts and line-style forms.
FillStyle ReadFillStyle(BitReader& in, int shapeVersion);
StyleTable ReadStyleTable(BitReader& in, int shapeVersion);

// Reads records until the end record (or the end of the data), resolving
// every point to absolute twips. New style tables go to `shape.styleTables`.
void ReadShapeRecords(BitReader& in, int shapeVersion, Shape& shape);

// The body of DefineShape1-4 after the character id.
bool ReadShape(BitReader& in, int shapeVersion, Shape& shape);
// The body of DefineMorphShape (version 1) and DefineMorphShape2 (2).
bool ReadMorphShape(BitReader& in, int morphVersion, MorphShape& morph);

}  // namespace velmora::swf
