#!/bin/sh
# Checks that every #include of the program's own folders runs down the
# folder order of the README (a folder includes only itself and folders
# below it), that no window's header (Frm*.h) is included from another
# window's folder (only startup/, which owns the windows, includes them all),
# that the player's rooms include only themselves and the rooms below them
# (and pictures/), that pictures/ includes only itself, and that no file of
# player/ or pictures/ reaches the system's headers. Prints each include that
# runs the wrong way.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# Top to bottom; player/, pictures/ and resources/ stand beside the rest.
order="startup settingsdialog controls wallpaper iconlayer shell settings common"
# The player's rooms, bottom to top; "." is the playback at player/'s top.
rooms="swf script display render ."
owner=startup  # the folder that owns the windows and may include their headers

rank() {  # name list
  i=0
  for f in $2; do
    [ "$f" = "$1" ] && { echo $i; return; }
    i=$((i + 1))
  done
  echo -1
}

# The includes of our own folders in a file, as paths.
includes() { sed -n 's|^#include "\([a-z]*/[^"]*\)".*|\1|p' "$1" | sort -u; }

# The room of a path under player/: player/swf/X.h is swf, player/X.h is ".".
room_of() {
  rest=${1#player/}
  case "$rest" in */*) echo "${rest%%/*}" ;; *) echo . ;; esac
}

bad=0
fail() { echo "$1"; bad=1; }

check_program_file() {  # file folder
  from=$(rank "$2" "$order")
  for path in $(includes "$1"); do
    target=${path%%/*}
    case "$target" in resources | player | pictures) continue ;; esac
    to=$(rank "$target" "$order")
    if [ "$to" -lt 0 ]; then
      fail "$1 includes $path, which is in no folder of the order"
    elif [ "$to" -lt "$from" ]; then
      fail "$1 includes $target/, which lies above $2/"
    fi
    case "${path##*/}" in
      Frm*.h)
        [ "$target" = "$2" ] || [ "$2" = "$owner" ] ||
          fail "$1 includes $path, the header of a window of $target/ (only $owner/ joins windows)" ;;
    esac
  done
}

check_player_file() {  # file
  room=$(room_of "$1")
  from=$(rank "$room" "$rooms")
  [ "$from" -ge 0 ] || fail "$1 is in player/$room/, which is no room of the player"
  for path in $(includes "$1"); do
    case "$path" in
      pictures/*) continue ;;
      player/*)
        to=$(rank "$(room_of "$path")" "$rooms")
        if [ "$to" -lt 0 ]; then
          fail "$1 includes $path, which is in no room of the player"
        elif [ "$to" -gt "$from" ]; then
          fail "$1 includes $path, a room above player/$room/"
        fi ;;
      *) fail "$1 includes $path: the player includes only itself and pictures/" ;;
    esac
  done
}

check_pictures_file() {  # file
  for path in $(includes "$1"); do
    case "$path" in
      pictures/*) ;;
      *) fail "$1 includes $path: pictures/ includes only itself" ;;
    esac
  done
}

sources() { find "$1" -name '*.h' -o -name '*.cpp'; }

for folder in $order; do
  [ -d "$folder" ] || continue
  for file in $(sources "$folder"); do check_program_file "$file" "$folder"; done
done
for file in $(sources player); do check_player_file "$file"; done
for file in $(sources pictures); do check_pictures_file "$file"; done

if grep -rlE '#include <(windows|windowsx|gdiplus|shlobj|shellapi|shlwapi|objbase|commctrl)\.h>' player/ pictures/; then
  fail "player/ and pictures/ reach the system's headers"
fi
[ $bad -eq 0 ] && echo "Folder order kept: $order; beside them player (rooms bottom up: $(echo $rooms | sed 's/ \.$/ playback/')) and pictures"
exit $bad
