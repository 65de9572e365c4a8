// Movies made by our writer for the tests of the running wallpaper.
#pragma once

#include "player/swf/SwfWriter.h"

#include <string>

namespace velmora::test {

// A 400 x 300 movie at 30 frames a second whose red square moves a little
// every frame over a green stage, for 30 frames; with `backdrop`, over a
// still blue rectangle across the stage's middle, below it.
inline std::string MovingSquareMovie(bool backdrop = false) {
  swf::MovieWriter movie({0, 400 * 20, 0, 300 * 20}, 30);
  swf::TagWriter& t = movie.Timeline();
  t.SetBackgroundColor({0, 255, 0});
  swf::ShapeBuilder square;
  square.SelectStyles(0, square.AddSolidFill({255, 0, 0}), 0);
  square.Rectangle({0, 50 * 20, 0, 50 * 20});
  t.DefineShape(1, square);
  if (backdrop) {
    swf::ShapeBuilder band;
    band.SelectStyles(0, band.AddSolidFill({0, 0, 255}), 0);
    band.Rectangle({0, 400 * 20, 80 * 20, 220 * 20});
    t.DefineShape(2, band);
    swf::PlaceObject place;
    place.depth = 1;
    place.hasCharacter = true;
    place.characterId = 2;
    t.Place(place);
  }
  for (int i = 0; i < 30; ++i) {
    swf::PlaceObject place;
    place.depth = 2;
    place.hasCharacter = i == 0;
    place.characterId = 1;
    place.move = i > 0;
    place.hasMatrix = true;
    place.matrix = swf::Matrix::Translate(i * 200, 100 * 20);
    t.Place(place);
    t.ShowFrame();
  }
  const swf::Bytes bytes = movie.Finish(swf::Compression::kZlib);
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace velmora::test
