#!/bin/sh
# Takes the README's screenshots of the demo under Wine (a private virtual
# screen with a compositor, captured as the screen shows it): the slideshow
# with the desktop items, the desktop menu, the hover preview of a picture
# on the desktop, and the demo movie. Writes demo/screenshots/*.png.
#   usage: scripts/make-screenshots.sh   (after a win64 build)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/demo/screenshots"
mkdir -p "$out"
. "$root/scripts/wine-env.sh"
trap wine_env_stop EXIT INT TERM
wine_env_start

app="$WINE_ENV_DIR/app"
mkdir -p "$app/Images" "$app/Flashs"
cp "$root/build/win64/bin/Velmora.exe" "$app/"
cp "$root"/demo/Images/* "$app/Images/"
cp "$root"/demo/Flashs/* "$app/Flashs/"
# A picture and a document on the user's desktop.
cp "$root/demo/Images/demo2.png" "$HOME/Desktop/Holiday.png"
printf 'Velmora' > "$HOME/Desktop/Notes.txt"

shot() {  # name: the screen, at half size
  import -silent -window root "$WINE_ENV_DIR/shot.png"
  convert "$WINE_ENV_DIR/shot.png" -resize 640x480 "$out/$1.png"
}
run() {  # mode seconds
  sed "s/^WallInx=.*/WallInx=$1/" "$root/demo/Wallpaper.ini" > "$app/Wallpaper.ini"
  "$WINE64" "$app/Velmora.exe" > "$WINE_ENV_DIR/velmora.log" 2>&1 &
  sleep "$2"
}
stop() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  "$WINESERVER" -w >/dev/null 2>&1 || true
}

run 2 9
shot slideshow
xdotool mousemove 45 380   # onto the picture, the sixth item
sleep 1.5
shot preview
xdotool mousemove 560 330 click 3
sleep 1.5
shot menu
xdotool key Escape
stop

run 1 9
shot movie
stop
ls -l "$out"
