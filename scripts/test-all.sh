#!/bin/sh
# Builds everything and runs every test: the native build (with ASan and
# UBSan), the 64-bit Windows build under Wine, and the 32-bit Windows build
# (compiled and linked only: this machine cannot run 32-bit code).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc)

"$root/scripts/install-deps.sh"

echo "== layers: includes run down the folder order"
"$root/scripts/check-layers.sh"

echo "== linux: platform-free code, ASan + UBSan"
cmake --preset linux >/dev/null
cmake --build --preset linux -j"$jobs"
ctest --preset linux -j"$jobs"

echo "== win64: the program and its tests under Wine"
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j"$jobs"
ctest --preset win64 -j"$jobs"

echo "== by hand: the running program driven with real X input"
"$root/tests/e2e/desktop-by-hand.sh" "$root/build/win64/bin/Velmora.exe"

echo "== the clock: a scripted movie on the desktop shows the machine's time"
"$root/tests/e2e/clock-on-desktop.sh" "$root/build/win64/bin/Velmora.exe" "$root/build/linux/bin/make_clock_movie"

echo "== win32: the shipped 32-bit build"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$jobs"

echo "== release: the portable zip from the 32-bit build, and its checks"
"$root/scripts/make-release.sh"

echo "== fuzz: the movie parser, timeline and renderer"
"$root/scripts/fuzz-player.sh" "${VELMORA_FUZZ_SECONDS:-60}"
echo "All builds and tests passed."
