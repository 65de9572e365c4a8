#!/bin/sh
# Draws the gallery of the program's controls (push buttons up, down and
# disabled; spin boxes idle, with an arrow held and disabled; the skinned
# splash window; an empty skinned dialog frame; the settings dialog on each
# page) under Wine and writes the
# pictures to docs/gallery/, or to the folder named.
#   usage: [VELMORA_LOGPIXELS=144] scripts/make-gallery.sh [folder]   (after a win64 build)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out="${1:-$root/docs/gallery}"
mkdir -p "$out"
out=$(cd "$out" && pwd)
. "$root/scripts/wine-env.sh"
trap wine_env_stop EXIT INT TERM
wine_env_start
cd "$WINE_ENV_DIR"
# The settings dialog reads the demo's settings and media.
mkdir -p demo
cp -r "$root/demo/Wallpaper.ini" "$root/demo/Flashs" "$root/demo/Images" demo/
"$WINE64" "$root/build/win64/bin/control_gallery.exe" . demo
cp buttons.png spinboxes.png splash.png frame.png settings-*.png "$out/"
