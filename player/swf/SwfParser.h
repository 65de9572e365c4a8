// Reads a movie file into a `Movie`. Damaged input gives a clear error or the
// part of the movie that could be read, never a crash or an unbounded
// allocation.
#pragma once

#include "player/swf/SwfMovie.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velmora::swf {

// Movies larger than this when uncompressed are refused.
constexpr size_t kMaxMovieBytes = 256u * 1024 * 1024;

struct ParseResult {
  bool ok = false;       // a header was read; `movie` is usable
  bool partial = false;  // something after the header was damaged or missing
  std::string error;     // why `ok` is false, or what made the movie partial
  Movie movie;
};

ParseResult ParseMovie(const uint8_t* data, size_t size);
ParseResult ParseMovieFile(const std::string& path);

// The whole uncompressed file for FWS, CWS and ZWS input (header rewritten to
// FWS). False with `error` set when the signature or compression is damaged.
// A stream that ends early still gives what it held: true, with `error`
// saying what was missing.
bool Decompress(const uint8_t* data, size_t size, std::vector<uint8_t>& out, std::string& error);

}  // namespace velmora::swf
