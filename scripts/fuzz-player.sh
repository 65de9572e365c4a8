#!/bin/sh
# Builds the movie player and the picture decoders with clang's libFuzzer,
# ASan and UBSan, and fuzzes them for a while: movies seeded with our own and
# the shared corpus's movies and the inputs that once broke the program,
# pictures seeded with the decoder tests' pictures.
#   usage: scripts/fuzz-player.sh [SECONDS]   (default 60, shared between the two)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
out="$root/build/fuzz"
mkdir -p "$out/stb/stb" "$out/corpus" "$out/pictures"
cp /usr/include/stb/stb_image_write.h "$out/stb/stb/"

# Every platform-free source of the player; the writer is not part of what
# is fuzzed.
sources=""
for f in "$root"/player/*.cpp; do
  case "$(basename "$f")" in
    SwfWriter.cpp) ;;
    *) sources="$sources player/$(basename "$f")" ;;
  esac
done
build() {  # target source
  if [ ! -x "$out/$1" ] || [ -n "$(find "$root/player" "$root/tests/fuzz" -newer "$out/$1" -name '*.[ch]*' | head -1)" ]; then
    echo "Building $1"
    (cd "$root" && clang++ -std=c++17 -g -O1 -w -fsanitize=fuzzer,address,undefined \
      -fno-sanitize-recover=undefined -I. -isystem "$out/stb" "$2" $sources -lz -o "$out/$1")
  fi
}
build movie_fuzzer tests/fuzz/MovieFuzzer.cpp
build picture_fuzzer tests/fuzz/PictureFuzzer.cpp

# Seeds: our movies, the shared corpus and findings when they are there,
# and the files left by earlier runs.
cp "$root/demo/Flashs/"*.swf "$root/resources/Blank.swf" "$out/corpus/" 2>/dev/null || true
shared="$root/../shared"
if [ -d "$shared/corpus/swf" ]; then
  for movie in "$shared"/corpus/swf/*/*.swf; do
    cp "$movie" "$out/corpus/$(basename "$(dirname "$movie")").swf"
  done
fi
cp "$shared"/findings/*.swf "$out/corpus/" 2>/dev/null || true
cp "$root"/tests/pictures/*.jpg "$root"/tests/pictures/*.png "$root"/tests/pictures/*.gif "$out/pictures/"

# A crash, leak, hang or memory blow-up fails the run; the input that caused
# it is left in build/fuzz/ as crash-*, leak-*, timeout-* or oom-*.
run() {  # fuzzer corpus seconds
  status=0
  (cd "$out" && "./$1" -max_total_time="$3" -max_len=65536 -rss_limit_mb=2048 -malloc_limit_mb=512 \
    -timeout=10 -print_final_stats=1 "$2" > "$1.log" 2>&1) || status=$?
  echo "== $1"
  tail -8 "$out/$1.log"
  return $status
}
movie_seconds=$((seconds * 2 / 3))
run movie_fuzzer corpus "$movie_seconds"
run picture_fuzzer pictures "$((seconds - movie_seconds))"
