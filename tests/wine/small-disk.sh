#!/bin/sh
# Runs a Windows test program under Wine (as scripts/wine-run.sh does) with
# little room for the files it writes, in one of two ways:
#   tiny-volume KB      a tmpfs of KB kilobytes, mounted in a mount namespace
#                       of the run's own: nothing outside the run sees it, and
#                       it goes when the run ends, whatever way it ends. Its
#                       Linux path is in VELMORA_TINY_VOLUME. Where no such
#                       namespace can be made (neither root nor unprivileged
#                       user namespaces allowed), the program runs without it
#                       and VELMORA_TINY_VOLUME_UNAVAILABLE says why.
#   file-size-limit KB  no mount: every file the program writes is cut at KB
#                       kilobytes (the shell's file-size limit, set for the
#                       program alone, after the prefix is made), so its
#                       writes fail part way as on a full disk. The limit in
#                       bytes is in VELMORA_FILE_SIZE_LIMIT.
#   usage: small-disk.sh tiny-volume|file-size-limit KB PROGRAM.exe [ARGS...]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
mode=$1 kb=$2
shift 2

case "$mode" in
tiny-volume)
  if [ "$(id -u)" = 0 ]; then
    namespace="unshare --mount"
  else
    namespace="unshare --user --map-root-user --mount"
  fi
  volume=$(mktemp -d "${TMPDIR:-/tmp}/velmora-tiny.XXXXXX")
  trap 'rmdir "$volume"' EXIT
  # sh -c ... KB FOLDER [COMMAND...]: mounts, then runs the command there.
  mount_and_run='mount -t tmpfs -o "size=${1}k,mode=0777" velmora-tiny "$2" || exit 1
    folder=$2; shift 2; [ $# -eq 0 ] || VELMORA_TINY_VOLUME=$folder exec "$@"'
  if why=$($namespace sh -c "$mount_and_run" sh "$kb" "$volume" 2>&1); then
    $namespace sh -c "$mount_and_run" sh "$kb" "$volume" "$root/scripts/wine-run.sh" "$@"
  else
    VELMORA_TINY_VOLUME_UNAVAILABLE="no tmpfs can be mounted here ($namespace: $why)" \
      "$root/scripts/wine-run.sh" "$@"
  fi
  ;;
file-size-limit)
  . "$root/scripts/wine-env.sh"
  trap wine_env_stop EXIT INT TERM
  wine_env_start || exit 1
  export VELMORA_FILE_SIZE_LIMIT=$((kb * 1024))
  # The limit is in blocks of 512 bytes; the signal a process gets at the
  # limit is ignored, so that the write fails instead.
  (trap '' XFSZ; ulimit -f $((kb * 2)) && exec "$WINE64" "$@")
  ;;
*)
  echo "usage: $0 tiny-volume|file-size-limit KB PROGRAM.exe [ARGS...]" >&2
  exit 2
  ;;
esac
