// Small movies written with our own writer, for the player's tests.
#pragma once

#include "player/MoviePlayback.h"
#include "player/swf/SwfWriter.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace velmora::test {

namespace w = velmora::swfwriter;

// The movie written out and loaded for playing; a movie that does not load
// fails the test.
inline swf::MoviePlayback LoadMovie(const w::MovieWriter& movie) {
  w::Bytes bytes = movie.Finish(w::Compression::kZlib);
  swf::MoviePlayback playback;
  EXPECT_TRUE(playback.LoadBytes(bytes.data(), bytes.size())) << playback.Error();
  return playback;
}

// A solid rectangle in twips as a shape of its own.
inline w::ShapeBuilder SolidRect(w::Rgba colour, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  w::ShapeBuilder s;
  unsigned fill = s.AddSolidFill(colour);
  s.SelectStyles(0, fill, 0);
  s.Rectangle({x0, x1, y0, y1});
  return s;
}

inline w::PlaceObject PlaceAt(uint16_t depth, uint16_t id, int32_t x = 0, int32_t y = 0) {
  w::PlaceObject p;
  p.depth = depth;
  p.characterId = id;
  p.matrix = w::Matrix::Translation(x, y);
  return p;
}

// Moves the object at `depth` to (x, y).
inline w::PlaceObject MoveTo(uint16_t depth, int32_t x, int32_t y) {
  w::PlaceObject p;
  p.depth = depth;
  p.move = true;
  p.matrix = w::Matrix::Translation(x, y);
  return p;
}

}  // namespace velmora::test
