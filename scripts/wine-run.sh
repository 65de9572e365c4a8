#!/bin/sh
# Runs one Windows program under wine64 in its own prefix and virtual
# display, and returns its exit code. CTest uses it as the emulator of the
# win64 build.   usage: wine-run.sh PROGRAM.exe [ARGS...]
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
trap wine_env_stop EXIT INT TERM
wine_env_start || exit 1
# VELMORA_FILE_SIZE_LIMIT_KB limits the size of every file the program
# writes (the prefix is made before): a write beyond the limit fails as it
# does on a full disk. The signal that would end the program there instead
# is ignored.
if [ -n "${VELMORA_FILE_SIZE_LIMIT_KB:-}" ]; then
  trap '' XFSZ
  ulimit -S -f $((VELMORA_FILE_SIZE_LIMIT_KB * 2)) || exit 1  # in blocks of 512 bytes
fi
"$WINE64" "$@"
