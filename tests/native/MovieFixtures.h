// Small movies written with our own writer, for the player's tests.
#pragma once

#include "player/MoviePlayback.h"
#include "player/swf/SwfWriter.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace velmora::test {

// The movie written out and loaded for playing; a movie that does not load
// fails the test.
inline swf::MoviePlayback LoadMovie(const swf::MovieWriter& movie) {
  swf::Bytes bytes = movie.Finish(swf::Compression::kZlib);
  swf::MoviePlayback playback;
  EXPECT_TRUE(playback.LoadBytes(bytes.data(), bytes.size())) << playback.Error();
  return playback;
}

// A solid rectangle in twips as a shape of its own.
inline swf::ShapeBuilder SolidRect(swf::Rgba colour, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  swf::ShapeBuilder s;
  unsigned fill = s.AddSolidFill(colour);
  s.SelectStyles(0, fill, 0);
  s.Rectangle({x0, x1, y0, y1});
  return s;
}

// A black drop shadow at 45 degrees, `distance` pixels off, its blur
// `blur` pixels wide in `passes` passes.
inline swf::Filter DropShadow(double distance, double blur, int passes) {
  swf::Filter f;
  f.kind = swf::FilterKind::DropShadow;
  f.color = {0, 0, 0, 200};
  f.blurX = f.blurY = blur;
  f.angle = 0.785398;
  f.distance = distance;
  f.strength = 1;
  f.passes = passes;
  return f;
}

inline swf::PlaceObject PlaceAt(uint16_t depth, uint16_t id, int32_t x = 0, int32_t y = 0) {
  swf::PlaceObject p;
  p.depth = depth;
  p.hasCharacter = true;
  p.characterId = id;
  p.hasMatrix = true;
  p.matrix = swf::Matrix::Translate(x, y);
  return p;
}

// Moves the object at `depth` to (x, y).
inline swf::PlaceObject MoveTo(uint16_t depth, int32_t x, int32_t y) {
  swf::PlaceObject p;
  p.depth = depth;
  p.move = true;
  p.hasMatrix = true;
  p.matrix = swf::Matrix::Translate(x, y);
  return p;
}

}  // namespace velmora::test
