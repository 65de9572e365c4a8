#!/bin/sh
# Checks that every #include of the program's own folders runs down the
# folder order of the README (a folder includes only itself and folders
# below it), that player/ includes only itself, and that no file of player/
# reaches the system's headers. Prints each include that runs the wrong way.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# Top to bottom; player/ and resources/ stand beside the rest.
order="startup settingsdialog controls wallpaper iconlayer shell settings common"
rank() {
  i=0
  for f in $order; do
    [ "$f" = "$1" ] && { echo $i; return; }
    i=$((i + 1))
  done
  echo -1
}
bad=0
for folder in $order player; do
  [ -d "$folder" ] || continue
  for file in $(find "$folder" -name '*.h' -o -name '*.cpp'); do
    for target in $(sed -n 's|^#include "\([a-z]*\)/.*|\1|p' "$file" | sort -u); do
      case "$target" in resources) continue ;; esac
      if [ "$folder" = player ]; then
        [ "$target" = player ] || { echo "$file includes $target/"; bad=1; }
        continue
      fi
      [ "$target" = player ] && continue
      from=$(rank "$folder")
      to=$(rank "$target")
      if [ "$to" -lt "$from" ]; then
        echo "$file includes $target/, which lies above $folder/"
        bad=1
      fi
    done
  done
done
if grep -rlE '#include <(windows|gdiplus|shlobj|shellapi|objbase)\.h>' player/; then
  echo "player/ reaches the system's headers"
  bad=1
fi
[ $bad -eq 0 ] && echo "Folder order kept: $order (player beside)"
exit $bad
