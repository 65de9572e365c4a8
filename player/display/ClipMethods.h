// The methods of MovieClip.prototype, on the display tree: frame control,
// clips made and removed by scripts, depths, bounds, hit tests and
// coordinates.
#pragma once

#include "player/display/Timeline.h"
#include "player/script/Vm.h"

#include <string>

namespace velmora::swf {

class MovieScripts;

void InstallClipMethods(avm1::Vm& vm);
// clear, lineStyle, beginFill, moveTo, lineTo... (DrawingMethods.cpp).
void InstallDrawingMethods(avm1::Vm& vm);
// The Color class (ColorClass.cpp).
void InstallColorClass(avm1::Vm& vm);
// TextFormat and the text fields' format methods (TextFormatClass.cpp).
void InstallTextFormat(avm1::Vm& vm);
// duplicateMovieClip: a copy of `source` beside it at script depth `depth`
// (transform, colour and clip events copied, variables not); null when refused.
Clip* DuplicateClip(Clip& source, const std::string& name, double depth);
// removeMovieClip: only clips at script depths (0 and above) go.
void RemoveScriptClip(Clip& clip);

}  // namespace velmora::swf
