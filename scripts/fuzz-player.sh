#!/bin/sh
# Builds the movie parser and player with clang's libFuzzer, ASan and UBSan,
# and fuzzes them for a while, starting from our own movies.
#   usage: scripts/fuzz-player.sh [SECONDS]   (default 60)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
out="$root/build/fuzz"
mkdir -p "$out/stb/stb" "$out/corpus"
cp /usr/include/stb/stb_image.h /usr/include/stb/stb_image_write.h "$out/stb/stb/"

# Every platform-free source of the player; the window control and the
# writer are not part of what is fuzzed.
sources="tests/fuzz/MovieFuzzer.cpp"
for f in "$root"/player/*.cpp; do
  case "$(basename "$f")" in
    SwfWriter.cpp) ;;
    *) sources="$sources player/$(basename "$f")" ;;
  esac
done
if [ ! -x "$out/movie_fuzzer" ] || [ -n "$(find "$root/player" "$root/tests/fuzz" -newer "$out/movie_fuzzer" -name '*.[ch]*' | head -1)" ]; then
  echo "Building the fuzzer"
  (cd "$root" && clang++ -std=c++17 -g -O1 -w -fsanitize=fuzzer,address,undefined \
    -fno-sanitize-recover=undefined -I. -isystem "$out/stb" $sources -lz -o "$out/movie_fuzzer")
fi
# Seeds: the demo movie, the blank movie and the files left by earlier runs.
cp "$root/demo/Flashs/"*.swf "$root/resources/Blank.swf" "$out/corpus/" 2>/dev/null || true
# A crash, leak, hang or memory blow-up fails the run; the input that caused
# it is left in build/fuzz/ as crash-*, leak-*, timeout-* or oom-*.
status=0
(cd "$out" && ./movie_fuzzer -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 -malloc_limit_mb=256 \
  -timeout=10 -print_final_stats=1 corpus > fuzz.log 2>&1) || status=$?
tail -8 "$out/fuzz.log"
exit $status
