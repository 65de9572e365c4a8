// Movies made by our writer for the tests of the running wallpaper.
#pragma once

#include "player/swf/SwfWriter.h"

#include <string>

namespace velmora::test {

// A 400 x 300 movie at 30 frames a second whose red square moves a little
// every frame over a green stage, for 30 frames.
inline std::string MovingSquareMovie() {
  namespace w = velmora::swfwriter;
  w::MovieWriter movie({0, 400 * 20, 0, 300 * 20}, 30);
  w::TagWriter& t = movie.Timeline();
  t.SetBackgroundColor({0, 255, 0});
  w::ShapeBuilder square;
  square.SelectStyles(0, square.AddSolidFill({255, 0, 0}), 0);
  square.Rectangle({0, 50 * 20, 0, 50 * 20});
  t.DefineShape(1, square);
  for (int i = 0; i < 30; ++i) {
    w::PlaceObject place;
    place.depth = 1;
    if (i == 0)
      place.characterId = 1;
    else
      place.move = true;
    place.matrix = w::Matrix::Translation(i * 200, 100 * 20);
    t.Place(place);
    t.ShowFrame();
  }
  const w::Bytes bytes = movie.Finish(w::Compression::kZlib);
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace velmora::test
