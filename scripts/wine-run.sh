#!/bin/sh
# Runs one Windows program under wine64 in its own prefix and virtual
# display, and returns its exit code. CTest uses it as the emulator of the
# win64 build.   usage: wine-run.sh PROGRAM.exe [ARGS...]
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
trap wine_env_stop EXIT INT TERM
wine_env_start || exit 1
"$WINE64" "$@"
