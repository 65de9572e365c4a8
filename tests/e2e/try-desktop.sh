#!/bin/sh
# Scratch: start the demo app under Xvfb and let the caller's commands run.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/scripts/wine-env.sh"
trap wine_env_stop EXIT INT TERM
wine_env_start
app="$WINE_ENV_DIR/app"
mkdir -p "$app/Images" "$app/Flashs"
cp "$root/build/win64/bin/Velmora.exe" "$app/"
cp "$root/demo/Wallpaper.ini" "$app/"
cp "$root"/demo/Images/* "$app/Images/"
cp "$root"/demo/Flashs/* "$app/Flashs/"
"$WINE64" "$app/Velmora.exe" > "$WINE_ENV_DIR/velmora.log" 2>&1 &
sleep 8
eval "$1"
