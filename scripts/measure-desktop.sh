#!/bin/sh
# Prints what a running Velmora costs: peak and final memory with a huge
# picture (8000 x 8000) among the slides, the processor time with the demo
# pictures and a pause of 1 ms between slides, the processor time of an idle
# desktop (no wallpaper; the shell's notifications and the watch of the
# desktop folders on), and of the demo movie playing, seen and behind a
# full-screen window of another program (build/win64/bin/fullscreen_window.exe).
# Run it with VELMORA_SCREEN=1920x1080x24 for the figures at full HD. With
# VELMORA_MOVIE=FILE.swf it measures only that movie playing.
#   usage: scripts/measure-desktop.sh [VELMORA.exe] [SECONDS]
# Figures come from the kernel's accounting of the program's process (VmHWM,
# VmRSS, utime + stime of all its threads), sampled once a second. The
# process measured is the one started here: found by this run's own Wine
# prefix in its environment, so runs beside it (or a Velmora of the user's)
# are never counted.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
exe=$(realpath "${1:-$root/build/win64/bin/Velmora.exe}")
seconds=${2:-40}
. "$root/scripts/wine-env.sh"
trap wine_env_stop EXIT INT TERM
wine_env_start

work="$WINE_ENV_DIR/app"
measure() {  # name ini-path-value interval mode [covered|seen] [movie]
  rm -rf "$work"
  mkdir -p "$work/Images"
  cp "$exe" "$work/Velmora.exe"
  cp "$root"/demo/Images/* "$work/Images/"
  python3 - "$work/Images/huge.png" <<'PY'
import struct, sys, zlib
w = h = 8000
def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
z = zlib.compressobj(1)
data = b"".join(z.compress(b"\0" + bytes([(y // 100 * 30) % 256, 90, 160]) * w) for y in range(h)) + z.flush()
with open(sys.argv[1], "wb") as f:
    f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", data) + chunk(b"IEND", b""))
PY
  mkdir -p "$work/Flashs"
  cp "$root"/demo/Flashs/*.swf "$work/Flashs/"
  movie=Demo.swf
  if [ -n "${6:-}" ]; then
    movie=$(basename "$6")
    cp "$6" "$work/Flashs/$movie"
  fi
  printf '[MAIN]\r\nWallInx=%s\r\n[IMAGE]\r\nPath=%s\r\nIntervalvalue=%s\r\nSpeedvalue=30\r\n[FLASH]\r\nCurFlash=%s|flashs*\r\nQuality=1\r\n' \
    "$4" "$2" "$3" "$movie" > "$work/Wallpaper.ini"
  "$WINE64" "$work/Velmora.exe" >/dev/null 2>&1 &
  if [ "${5:-}" = covered ]; then
    (sleep 8; "$WINE64" "$(dirname "$exe")/fullscreen_window.exe" >/dev/null 2>&1) &
  fi
  python3 - "$1" "$seconds" "$WINEPREFIX" <<'PY'
import os, sys, time
name, seconds, prefix = sys.argv[1], int(sys.argv[2]), sys.argv[3]
def rss_of(pid):
    for line in open(f"/proc/{pid}/status"):
        if line.startswith("VmRSS"):
            return int(line.split()[1])
    return 0
def ours(pid):
    # Started in this run's own Wine prefix: another run's Velmora (or a
    # user's) has another WINEPREFIX in its environment.
    try:
        env = open(f"/proc/{pid}/environ", "rb").read().split(b"\0")
    except OSError:
        return False
    return ("WINEPREFIX=" + prefix).encode() in env
def find():
    # The Windows process itself: of this prefix's processes naming
    # Velmora.exe (the loader's too), the one that holds the most memory.
    found = []
    for pid in os.listdir("/proc"):
        try:
            if pid.isdigit() and "Velmora.exe" in open(f"/proc/{pid}/cmdline").read() and ours(pid):
                found.append((rss_of(pid), pid))
        except OSError:
            pass
    return max(found)[1] if found and max(found)[0] > 20000 else None
pid = None
for _ in range(100):
    pid = find()
    if pid: break
    time.sleep(0.2)
if not pid:
    sys.exit(f"{name}: Velmora did not start")
hz = os.sysconf("SC_CLK_TCK")
def cpu():
    f = open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()
    return (int(f[11]) + int(f[12])) / hz
def status(key):
    for line in open(f"/proc/{pid}/status"):
        if line.startswith(key):
            return int(line.split()[1]) // 1024
time.sleep(10)  # start-up and the first slides
c0, t0 = cpu(), time.time()
rss = []
while time.time() - t0 < seconds:
    time.sleep(1)
    rss.append(status("VmRSS"))
c1, t1 = cpu(), time.time()
print(f"{name}: processor {100 * (c1 - c0) / (t1 - t0):.1f}% over {t1 - t0:.0f} s; "
      f"memory peak {status('VmHWM')} MB, resident {min(rss)}-{max(rss)} MB, at the end {rss[-1]} MB")
PY
  "$WINESERVER" -k >/dev/null 2>&1 || true
  "$WINESERVER" -w >/dev/null 2>&1 || true
}
if [ -n "${VELMORA_MOVIE:-}" ]; then
  measure "$(basename "$VELMORA_MOVIE") playing" "" 5000 1 seen "$(realpath "$VELMORA_MOVIE")"
  exit 0
fi
measure "huge picture, pause 1 s" "huge.png|images*demo1.png|images*" 1000 2
measure "demo pictures, pause 1 ms" "demo1.png|images*demo2.png|images*demo3.png|images*" 1 2
measure "idle desktop, no wallpaper" "" 5000 0
measure "demo movie playing" "" 5000 1
measure "demo movie behind a full-screen window" "" 5000 1 covered
