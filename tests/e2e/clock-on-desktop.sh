#!/bin/sh
# A scripted wall clock as the wallpaper of the running program shows the
# machine's local time: on a picture of the screen its minute and hour
# hands point where the time says, and a minute later the minute hand has
# moved on by six degrees (it is no longer where it was).
# The clock is written by make_clock_movie: its magenta cap marks the
# centre, the grey face (radius 190 of the 400-pixel stage) gives the
# scale, the hands are black (hour, 100), blue (minute, 160), red (second).
#   usage: tests/e2e/clock-on-desktop.sh [Velmora.exe] [make_clock_movie]
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
exe=$(realpath "${1:-$root/build/win64/bin/Velmora.exe}")
maker=$(realpath "${2:-$root/build/linux/bin/make_clock_movie}")
. "$root/scripts/wine-env.sh"
trap wine_env_stop EXIT INT TERM
wine_env_start

app="$WINE_ENV_DIR/app"
mkdir -p "$app/Flashs"
cp "$exe" "$app/Velmora.exe"
"$maker" "$app/Flashs/Clock.swf"
printf '[MAIN]\r\nWallInx=1\r\n[FLASH]\r\nPath=Clock.swf|flashs*\r\nCurFlash=Clock.swf|flashs*\r\nQuality=1\r\nMoviesize=0\r\n' \
  > "$app/Wallpaper.ini"
"$WINE64" "$app/Velmora.exe" > "$WINE_ENV_DIR/velmora.log" 2>&1 &
program=$!

e2e_name="clock on the desktop"
. "$root/tests/e2e/e2e-common.sh"
# A picture of the screen, with the local time (seconds since the epoch)
# halfway through taking it.
shot() {  # name
  before=$(date +%s.%N)
  import -silent -window root "$WINE_ENV_DIR/$1.png"
  after=$(date +%s.%N)
  echo "$before $after" | awk '{ printf "%.3f\n", ($1 + $2) / 2 }' > "$WINE_ENV_DIR/$1.time"
}
# Checks a picture against its time; with a second picture's name, also
# that the minute hand of the first is gone from where it was.
check() {  # name [earlier-name]
  python3 - "$WINE_ENV_DIR" "$@" <<'PY'
import math, subprocess, sys, time
folder, name = sys.argv[1], sys.argv[2]
earlier = sys.argv[3] if len(sys.argv) > 3 else None

def load(n):
    ppm = subprocess.run(["convert", f"{folder}/{n}.png", "-depth", "8", "ppm:-"],
                         check=True, capture_output=True).stdout
    head = ppm.split(b"\n", 3)
    w, h = map(int, head[1].split())
    return w, h, head[3]

def angles(n):
    t = time.localtime(float(open(f"{folder}/{n}.time").read()))
    return ((t.tm_hour % 12) * 30 + t.tm_min / 2, t.tm_min * 6 + t.tm_sec / 10)

w, h, px = load(name)
def at(x, y):
    x, y = int(round(x)), int(round(y))
    if not (0 <= x < w and 0 <= y < h):
        return None
    i = 3 * (y * w + x)
    return tuple(px[i:i + 3])
def near(p, c, tol=60):
    return p is not None and all(abs(a - b) <= tol for a, b in zip(p, c))

MAGENTA, GREY, BLACK, BLUE, RED = (255, 0, 255), (225, 225, 225), (0, 0, 0), (0, 0, 255), (255, 0, 0)
cap = [(i % w, i // w) for i in range(w * h) if near(tuple(px[3 * i:3 * i + 3]), MAGENTA, 40)]
if len(cap) < 20:
    sys.exit(f"{name}: no clock on the screen (no magenta cap: {len(cap)} pixels)")
cx = sum(p[0] for p in cap) / len(cap)
cy = sum(p[1] for p in cap) / len(cap)
# The face's radius: the longest run of grey from the centre over 16 ways.
def face_run(a):
    r, last = 10, 0
    while r < max(w, h):
        p = at(cx + r * math.sin(a), cy - r * math.cos(a))
        if p is None:
            break
        if near(p, GREY, 20):
            last = r
        elif last and r - last > 12:
            break
        r += 1
    return last
radius = max(face_run(k * math.pi / 8) for k in range(16))
scale = radius / 190
if scale <= 0.2:
    sys.exit(f"{name}: the clock's face was not found (radius {radius})")

def share(angle, length, colour):
    # The part of the hand's middle (35% to 85% of its length) in `colour`;
    # the red second hand drawn over it counts as it.
    a = math.radians(angle)
    hits = total = 0
    for k in range(30):
        r = scale * length * (0.35 + 0.5 * k / 29)
        p = at(cx + r * math.sin(a), cy - r * math.cos(a))
        total += 1
        hits += near(p, colour) or near(p, RED)
    return hits / total

hour, minute = angles(name)
checks = [("minute", minute, 160, BLUE)]
if abs((hour - minute + 180) % 360 - 180) > 8:
    checks.append(("hour", hour, 100, BLACK))  # else the minute hand covers it
for hand, angle, length, colour in checks:
    s = share(angle, length, colour)
    if s < 0.8:
        sys.exit(f"{name}: the {hand} hand is not at {angle:.1f} degrees ({100 * s:.0f}% of it there; "
                 f"clock at {cx:.0f},{cy:.0f}, scale {scale:.2f})")
if earlier:
    _, before = angles(earlier)
    if abs((before - minute + 180) % 360 - 180) < 3:
        sys.exit(f"{name}: the pictures are less than half a minute apart")
    s = share(before, 160, BLUE)
    if s > 0.3:
        sys.exit(f"{name}: the minute hand is still at {before:.1f} degrees ({100 * s:.0f}% of it)")
print(f"{name}: minute hand at {minute:.1f}, hour hand at {hour:.1f} degrees "
      f"(clock at {cx:.0f},{cy:.0f}, scale {scale:.2f})")
PY
}

# Up: the splash has come and gone and the clock turns.
wait_for_the_program
sleep 3
shot first
check first || fail "the first picture does not show the time"
sleep 60
shot second
check second first || fail "a minute later the picture does not show the time"
echo "clock on the desktop: passed"
