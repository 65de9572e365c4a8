#!/bin/sh
# Takes the README's screenshots of the demo on two monitors under Wine: the
# primary 1024 x 768 and a second 800 x 600 on its right (a private Xorg
# server with the dummy driver, scripts/wine-env.sh; needs root). The
# slideshow on each monitor with an item dragged onto the second, and the
# demo movie across both. Writes docs/monitors/*.png.
#   usage: scripts/make-monitor-screenshots.sh   (after a win64 build)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/docs/monitors"
mkdir -p "$out"
VELMORA_MONITORS=1024x768,800x600
export VELMORA_MONITORS
. "$root/scripts/wine-env.sh"
trap wine_env_stop EXIT INT TERM
wine_env_start

app="$WINE_ENV_DIR/app"
mkdir -p "$app/Images" "$app/Flashs"
cp "$root/build/win64/bin/Velmora.exe" "$app/"
cp "$root"/demo/Images/* "$app/Images/"
cp "$root"/demo/Flashs/* "$app/Flashs/"
printf 'Velmora' > "$HOME/Desktop/Notes.txt"

shot() {  # name: the whole X screen (both monitors), at half size
  import -silent -window root "$WINE_ENV_DIR/shot.png"
  convert "$WINE_ENV_DIR/shot.png" -resize 50% "$out/$1.png"
}
run() {  # mode spread seconds: across both, the movie fills the two without borders
  sed -e "s/^WallInx=.*/WallInx=$1\nMonitors=$2/" -e "s/^Moviesize=.*/Moviesize=$2/" \
    "$root/demo/Wallpaper.ini" > "$app/Wallpaper.ini"
  "$WINE64" "$app/Velmora.exe" > "$WINE_ENV_DIR/velmora.log" 2>&1 &
  sleep "$3"
}
stop() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  "$WINESERVER" -w >/dev/null 2>&1 || true
}

run 2 0 9
# The sixth item dragged onto the second monitor.
xdotool mousemove 45 310 mousedown 1 mousemove 300 310 mousemove 1200 200 mousemove 1300 206 mouseup 1
sleep 2
shot each-monitor
stop

run 1 1 9
shot span
stop
ls -l "$out"
