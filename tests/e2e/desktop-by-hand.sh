#!/bin/sh
# The running program driven as a person drives it, with real X input
# (xdotool) on a private virtual screen: a file made from Linux on the
# desktop appears as an item, dragged with the mouse it moves to the cell
# it was let go in, its own menu's "Delete" removes it, Enter opens an
# item that was clicked, a right-click on empty space opens the desktop
# menu, its "Wallpaper Setting" opens the settings dialog (a page chosen
# with the mouse, closed with Cancel and with Esc; a change on the page it
# opens on stored by "Ok"), and choosing "Exit" with the keyboard ends the
# process (the see-through items still let the desktop menu open).
#   usage: tests/e2e/desktop-by-hand.sh [Velmora.exe]
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
exe=$(realpath "${1:-$root/build/win64/bin/Velmora.exe}")
. "$root/scripts/wine-env.sh"
trap wine_env_stop EXIT INT TERM
wine_env_start

app="$WINE_ENV_DIR/app"
mkdir -p "$app/Images"
cp "$exe" "$app/Velmora.exe"
cp "$root"/demo/Images/* "$app/Images/"
# No wallpaper mode: a still background, so that only items change the screen.
printf '[MAIN]\r\nWallInx=0\r\n' > "$app/Wallpaper.ini"
"$WINE64" "$app/Velmora.exe" > "$WINE_ENV_DIR/velmora.log" 2>&1 &
program=$!

e2e_name="desktop by hand"
. "$root/tests/e2e/e2e-common.sh"
shot() { import -silent -window root "$WINE_ENV_DIR/$1.png"; }
# Waits up to 10 s for the command to succeed, else fails with the message.
wait_until() {  # message command [arguments]
  message=$1
  shift
  i=0
  until "$@"; do
    i=$((i + 1))
    [ $i -gt 40 ] && fail "$message"
    sleep 0.25
  done
}
gone() { [ ! -e "$1" ]; }
settings_shown() { xdotool search --name '^Velmora Settings$' >/dev/null 2>&1; }
program_ended() { ! kill -0 "$program" 2>/dev/null; }
# The region of a cell of the item grid on the screen (the layer starts 6
# pixels down): row `$1`, column `$2` (0 when not given).
cell() { echo "90x72+$((90 * ${2:-0}))+$((6 + 72 * $1))"; }
# The pixels that differ between the same cell of two screenshots.
cell_change() {  # first-shot second-shot row [column]
  convert "$WINE_ENV_DIR/$1.png" -crop "$(cell "$3" "${4:-0}")" +repage "$WINE_ENV_DIR/a-cell.png"
  convert "$WINE_ENV_DIR/$2.png" -crop "$(cell "$3" "${4:-0}")" +repage "$WINE_ENV_DIR/b-cell.png"
  changed=$(compare -metric AE "$WINE_ENV_DIR/a-cell.png" "$WINE_ENV_DIR/b-cell.png" null: 2>&1 || true)
  echo "${changed%% *}"
}

# Up: the splash has come and gone, the items are shown.
wait_for_the_program

# A file made from Linux on the user's desktop shows in the next free cell
# (the five fixed items take rows 0 to 4).
shot before
touch "$HOME/Desktop/made from linux.txt"
sleep 3
shot after
changed=$(cell_change before after 5)
[ "$changed" -gt 200 ] 2>/dev/null || fail "the new file did not appear ($changed pixels changed)"

# Dragged by its icon and let go in the cell of row 2, column 3 (the drop
# grid counts rows in 70 pixels): it leaves its cell and shows in that one.
xdotool mousemove 45 $((6 + 72 * 5 + 25)) mousedown 1
for step in 1 2 3 4 5 6; do
  xdotool mousemove $((45 + 45 * step)) $((6 + 72 * 5 + 25 - 34 * step))
  sleep 0.1
done
xdotool mousemove 315 $((6 + 175)) mouseup 1
sleep 2
shot moved
left=$(cell_change before moved 5)
[ "$left" -lt 50 ] 2>/dev/null || fail "the dragged item stayed in its cell ($left pixels differ)"
arrived=$(cell_change before moved 2 3)
[ "$arrived" -gt 200 ] 2>/dev/null || fail "the dragged item did not show where it was let go ($arrived pixels changed)"

# The file's own menu from the shell, and its "Delete" chosen by keyboard:
# the shell asks, "Yes" is answered, the file leaves the Linux folder and
# its item the screen.
xdotool mousemove 315 $((6 + 144 + 25)) click 3
sleep 1.5
shot item-menu
xdotool key d
sleep 1.5
shot confirm
xdotool key Return  # the shell's "Yes" to its question
wait_until "the item menu's Delete did not delete the file" gone "$HOME/Desktop/made from linux.txt"
sleep 1.5
shot deleted
left=$(cell_change before deleted 2 3)
[ "$left" -lt 50 ] 2>/dev/null || fail "the deleted item stayed on the screen ($left pixels differ)"

# A click selects an item and Enter opens it: a batch file that leaves a
# mark. The click must have given the layer the keys.
marker="$WINE_ENV_DIR/opened-by-enter.txt"
printf 'echo opened > Z:%s\r\n' "$(echo "$marker" | tr / '\\')" > "$HOME/Desktop/open me.bat"
sleep 3
xdotool mousemove 45 $((6 + 72 * 5 + 25)) click 1
sleep 1
xdotool key Return
wait_until "Enter did not open the item that was clicked" test -e "$marker"

# The settings dialog from the desktop menu ("Wallpaper Setting", two up
# from the bottom), its Slide Show page by a click on its page button,
# "Cancel"; then again, closed with Esc.
open_settings() {
  xdotool mousemove 600 400 click 3
  sleep 1.5
  xdotool key Up Up Return
  wait_until "the settings dialog did not open" settings_shown
  sleep 1
}
open_settings
dialog=$(xdotool search --name '^Velmora Settings$' | head -n1)
eval "$(xdotool getwindowgeometry --shell "$dialog")"
xdotool mousemove $((X + 14 + 96 + 6 + 55)) $((Y + 52)) click 1  # "Slide Show"
sleep 2
shot settings
xdotool mousemove $((X + 560 - 102 + 44)) $((Y + 430 - 36 + 12)) click 1  # "Cancel"
sleep 1
settings_shown && fail "Cancel did not close the dialog"
open_settings
xdotool key Escape
sleep 1
settings_shown && fail "Esc did not close the dialog"

# A change on the page the dialog opens on (Advanced Setting), confirmed at
# once: "Adjust shortcut icon transparent." ticked, 100 chosen from its
# drop-down with the keys, "Ok"; Wallpaper.ini holds both.
setting() { tr -d '\r' < "$app/Wallpaper.ini" | grep -qx "$1"; }
open_settings
dialog=$(xdotool search --name '^Velmora Settings$' | head -n1)
eval "$(xdotool getwindowgeometry --shell "$dialog")"
xdotool mousemove $((X + 14 + 16 + 40)) $((Y + 74 + 16 + 2 * 34 + 10)) click 1  # the check box
sleep 0.5
xdotool mousemove $((X + 14 + 262 + 70 - 8)) $((Y + 74 + 16 + 2 * 34 + 8)) click 1  # its drop-down
sleep 0.5
xdotool key Down Down Down Return  # 255, 200, 150, 100
sleep 0.5
shot transparent
xdotool mousemove $((X + 560 - 198 + 44)) $((Y + 430 - 36 + 12)) click 1  # "Ok"
sleep 1.5
settings_shown && fail "Ok did not close the dialog"
wait_until "Ok did not store isIconfader=1" setting isIconfader=1
wait_until "Ok did not store Iconfadervalue=100" setting Iconfadervalue=100

# The desktop menu on empty space, then "Exit" (the last entry) by keyboard.
xdotool mousemove 600 400 click 3
sleep 1.5
shot menu
xdotool key Up
sleep 0.3
xdotool key Return
wait_until "Exit did not end the process" program_ended
echo "desktop by hand: a file from Linux appeared, a drag moved it, its own menu deleted it, Enter opened a clicked item, the settings dialog opened from the menu and closed with Cancel and Esc, Ok stored a change on its first page, the menu's Exit ended the program"
