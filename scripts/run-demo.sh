#!/bin/sh
# Builds Velmora, puts it in a ready application folder with the demo media,
# starts it under Wine and writes a screenshot of the screen.
#   usage: scripts/run-demo.sh [SCREENSHOT.png] [SECONDS] [slides|movie]
# The demo settings show the slideshow; "movie" plays the demo movie instead.
# Without a DISPLAY a private virtual screen (Xvfb, 1024x768) is used.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
shot=$(realpath -m "${1:-velmora-screenshot.png}")
seconds=${2:-8}
wallpaper=${3:-slides}

"$root/scripts/install-deps.sh"
cmake --preset win64 -S "$root" >/dev/null
cmake --build "$root/build/win64" --target Velmora -j"$(nproc)"

app="$root/build/demo-app"
rm -rf "$app"
mkdir -p "$app/Flashs" "$app/Images"
cp "$root/build/win64/bin/Velmora.exe" "$app/"
cp "$root/demo/Wallpaper.ini" "$app/"
[ "$wallpaper" = movie ] && sed -i 's/^WallInx=.*/WallInx=1/' "$app/Wallpaper.ini"
cp "$root"/demo/Images/* "$app/Images/"
cp "$root"/demo/Flashs/* "$app/Flashs/" 2>/dev/null || true

. "$root/scripts/wine-env.sh"
[ -n "${DISPLAY:-}" ] && VELMORA_USE_DISPLAY=1
trap wine_env_stop EXIT INT TERM
wine_env_start
echo "Starting Velmora from $app on display $DISPLAY"
"$WINE64" "$app/Velmora.exe" &
sleep "$seconds"
import -silent -window root -display "$DISPLAY" "png:$shot"
echo "Screenshot written to $shot"
