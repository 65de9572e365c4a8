#!/bin/sh
# Builds the movie player, the script engine and the picture decoders with
# clang's libFuzzer, ASan and UBSan, and fuzzes them for a while: movies
# seeded with our own and the shared corpus's movies and the inputs that once
# broke the program, pictures seeded with the decoder tests' pictures, scripts
# from nothing, text fields' text from a line of HTML, and the tools' TrueType
# reader from a DejaVu file when there is one.
#   usage: scripts/fuzz-player.sh [SECONDS]   (default 60, shared between the five)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
out="$root/build/fuzz"
mkdir -p "$out/corpus" "$out/pictures"

# Every platform-free source of the player's rooms and of the pictures,
# compiled once into objects that every fuzzer links; the writer is not part
# of what is fuzzed.
flags="-std=c++17 -g -O1 -w -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -I$root"
mkdir -p "$out/obj"
sources=$(cd "$root" && find player pictures -name '*.cpp' ! -name 'SwfWriter*.cpp' | sort)
newest_header=$(cd "$root" && ls -t $(find player pictures -name '*.h') | head -1)
# player/render/Paint.cpp -> build/fuzz/obj/player_render_Paint.o
object_of() { echo "$out/obj/$(echo "${1%.cpp}" | tr / _).o"; }
for f in $sources; do
  object=$(object_of "$f")
  if [ ! -f "$object" ] || [ "$root/$f" -nt "$object" ] || [ "$root/$newest_header" -nt "$object" ]; then
    echo "$root/$f $object"
  fi
done | xargs -r -n 2 -P "$(nproc)" sh -c 'echo "Compiling $(basename "$0")"; clang++ '"$flags"' -c "$0" -o "$1"'
objects=$(for f in $sources; do object_of "$f"; done)
build() {  # target source
  echo "Linking $1"
  clang++ $flags -fsanitize=fuzzer "$root/$2" $objects -lz -o "$out/$1"
}
build movie_fuzzer tests/fuzz/MovieFuzzer.cpp
build picture_fuzzer tests/fuzz/PictureFuzzer.cpp
# The script engine alone: bytes run as actions.
build script_fuzzer tests/fuzz/ScriptFuzzer.cpp
# Text fields' text (plain and HTML) laid out and drawn.
build text_fuzzer tests/fuzz/TextFuzzer.cpp
# The tools' TrueType reader, with its own source beside the player's.
echo "Linking font_fuzzer"
clang++ $flags -fsanitize=fuzzer "$root/tests/fuzz/FontFileFuzzer.cpp" "$root/tools/TrueTypeFont.cpp" -o "$out/font_fuzzer"
mkdir -p "$out/scripts" "$out/texts" "$out/fonts"
printf '\377\377\040\040<p align="center"><font face="Blocks" size="+2" color="#ff0000"><b>AB</b> &amp;&#65;<br>C D</font></p><li>x</li>' \
  > "$out/texts/seed-html"
cp /usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf "$out/fonts/" 2>/dev/null || true

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
# Movies of the tags the shared corpus holds few of, made with our writer.
clang++ -std=c++17 -O1 -w -I"$root" "$root/tests/fuzz/MovieSeeds.cpp" "$root"/player/swf/SwfWriter*.cpp \
  "$root/player/script/ActionAssembler.cpp" "$root/player/script/Bytecode.cpp" -lz \
  -o "$out/movie_seeds"
"$out/movie_seeds" "$out/corpus" "$root/tests/pictures/baseline-444.jpg"
cp "$root"/tests/pictures/*.jpg "$root"/tests/pictures/*.png "$root"/tests/pictures/*.gif "$out/pictures/"

# A crash, leak, hang or memory blow-up fails the run; the input that caused
# it is left in build/fuzz/ as crash-*, leak-*, timeout-* or oom-*. A hang is
# 30 s on one input: a large picture (16 million pixels) takes many seconds
# to decode under the sanitizers.
run() {  # fuzzer corpus seconds
  status=0
  (cd "$out" && "./$1" -max_total_time="$3" -max_len=65536 -rss_limit_mb=2048 -malloc_limit_mb=512 \
    -timeout=30 -print_final_stats=1 "$2" > "$1.log" 2>&1) || status=$?
  echo "== $1"
  tail -8 "$out/$1.log"
  return $status
}
# A third for the movies, a sixth each for the pictures, the scripts, the
# texts and the font files, and at least a second each: a time of 0 would be
# no limit at all.
at_least_one() { [ "$1" -ge 1 ] && echo "$1" || echo 1; }
movie_seconds=$(at_least_one $((seconds / 3)))
picture_seconds=$(at_least_one $((seconds / 6)))
script_seconds=$(at_least_one $((seconds / 6)))
text_seconds=$(at_least_one $((seconds / 6)))
font_seconds=$(at_least_one $((seconds - movie_seconds - picture_seconds - script_seconds - text_seconds)))
run movie_fuzzer corpus "$movie_seconds"
run picture_fuzzer pictures "$picture_seconds"
run script_fuzzer scripts "$script_seconds"
run text_fuzzer texts "$text_seconds"
run font_fuzzer fonts "$font_seconds"
