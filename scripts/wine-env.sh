# Shared by the scripts that run Windows programs under Wine: a private
# prefix and a private virtual display per run, torn down afterwards.
# Source it, call wine_env_start, and wine_env_stop (or trap it) at the end.
# Only the processes started here are ended.

WINE64=${WINE64:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver64}

wine_env_start() {
  WINE_ENV_DIR=$(mktemp -d "${TMPDIR:-/tmp}/velmora-wine.XXXXXX")
  export WINEPREFIX="$WINE_ENV_DIR/prefix"
  # Wine links the prefix's Desktop and Documents to folders of $HOME: give
  # it a home of its own, so the run never sees (or changes) the real one.
  mkdir -p "$WINE_ENV_DIR/home/Desktop" "$WINE_ENV_DIR/home/Documents"
  export HOME="$WINE_ENV_DIR/home"
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES="mscoree,mshtml="
  WINE_ENV_XVFB_PID=
  if [ -z "${VELMORA_USE_DISPLAY:-}" ] && [ -n "${VELMORA_MONITORS:-}" ]; then
    wine_env_start_monitors || return 1
  elif [ -z "${VELMORA_USE_DISPLAY:-}" ]; then
    # -displayfd lets Xvfb pick a free display number and tell us which.
    Xvfb -displayfd 3 -screen 0 "${VELMORA_SCREEN:-1024x768x24}" -nolisten tcp \
      3>"$WINE_ENV_DIR/display" >"$WINE_ENV_DIR/xvfb.log" 2>&1 &
    WINE_ENV_XVFB_PID=$!
    i=0
    while [ ! -s "$WINE_ENV_DIR/display" ]; do
      i=$((i + 1))
      if [ "$i" -gt 200 ] || ! kill -0 "$WINE_ENV_XVFB_PID" 2>/dev/null; then
        echo "wine-env: Xvfb did not start" >&2
        cat "$WINE_ENV_DIR/xvfb.log" >&2
        return 1
      fi
      sleep 0.05
    done
    export DISPLAY=":$(head -n1 "$WINE_ENV_DIR/display")"
    # A compositing manager, so that per-pixel alpha windows blend on screen
    # as they do on Windows.
    WINE_ENV_COMPOSITOR_PID=
    if command -v xcompmgr >/dev/null 2>&1; then
      xcompmgr >"$WINE_ENV_DIR/xcompmgr.log" 2>&1 &
      WINE_ENV_COMPOSITOR_PID=$!
    fi
  fi
  "$WINE64" wineboot -i >"$WINE_ENV_DIR/wineboot.log" 2>&1 || true
  # Debian's Wine ships the fonts Windows programs expect (Tahoma, ...) but
  # a new prefix does not list them; put them where Windows keeps its fonts.
  if [ -d /usr/share/wine/fonts ]; then
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
  # VELMORA_LOGPIXELS: the display's scale for the run, as Windows' display
  # settings store it (96, 120, 144: 100, 125, 150 %); the programs started
  # afterwards lay out and draw at it.
  if [ -n "${VELMORA_LOGPIXELS:-}" ]; then
    for key in 'HKCU\Control Panel\Desktop' 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
      "$WINE64" reg add "$key" /v LogPixels /t REG_DWORD /d "$VELMORA_LOGPIXELS" /f \
        >>"$WINE_ENV_DIR/wineboot.log" 2>&1 || return 1
    done
  fi
  # No window manager runs on the private display: tell Wine not to wait for
  # one (otherwise hiding an activated window stalls for two seconds).
  if [ -z "${VELMORA_USE_DISPLAY:-}" ]; then
    "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
      >>"$WINE_ENV_DIR/wineboot.log" 2>&1 || true
  fi
}

# VELMORA_MONITORS="1024x768,800x600": monitors side by side, the first
# primary, on a private Xorg server with the dummy video driver (one RandR
# output each; Wine sees them as monitors and follows `xrandr` changes while
# programs run). Needs root and xserver-xorg-video-dummy.
wine_env_start_monitors() {
  if ! command -v Xorg >/dev/null 2>&1 || [ ! -e /usr/lib/xorg/modules/drivers/dummy_drv.so ]; then
    echo "wine-env: VELMORA_MONITORS needs Xorg and its dummy driver (xserver-xorg-video-dummy)" >&2
    return 1
  fi
  modelines=
  for size in $(echo "$VELMORA_MONITORS" | tr ',' ' '); do
    w=${size%x*}; h=${size#*x}
    modelines="$modelines
  Modeline \"$size\" $(gtf "$w" "$h" 60 | sed -n 's/.*Modeline "[^"]*" *//p')"
  done
  first=${VELMORA_MONITORS%%,*}
  cat >"$WINE_ENV_DIR/xorg.conf" <<EOC
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoAddGPU" "false"
  Option "DontVTSwitch" "true"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 131072
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0$modelines
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Modes "$first"
  EndSubSection
EndSection
EOC
  Xorg -displayfd 3 -config "$WINE_ENV_DIR/xorg.conf" -logfile "$WINE_ENV_DIR/xorg.log" -noreset \
    -nolisten tcp -novtswitch -sharevts 3>"$WINE_ENV_DIR/display" >"$WINE_ENV_DIR/xorg.out" 2>&1 &
  WINE_ENV_XVFB_PID=$!
  i=0
  while [ ! -s "$WINE_ENV_DIR/display" ]; do
    i=$((i + 1))
    if [ "$i" -gt 200 ] || ! kill -0 "$WINE_ENV_XVFB_PID" 2>/dev/null; then
      echo "wine-env: Xorg did not start" >&2
      cat "$WINE_ENV_DIR/xorg.out" >&2
      return 1
    fi
    sleep 0.05
  done
  export DISPLAY=":$(head -n1 "$WINE_ENV_DIR/display")"
  # Output n shows the n-th size, right of the one before.
  n=0; args=
  for size in $(echo "$VELMORA_MONITORS" | tr ',' ' '); do
    if [ "$n" -eq 0 ]; then
      args="--output DUMMY0 --primary --mode $size --pos 0x0"
    else
      xrandr --addmode "DUMMY$n" "$size" || return 1
      args="$args --output DUMMY$n --mode $size --right-of DUMMY$((n - 1))"
    fi
    n=$((n + 1))
  done
  # shellcheck disable=SC2086
  xrandr $args || { echo "wine-env: xrandr could not set the monitors" >&2; return 1; }
  # A full query makes the server probe its outputs again; Wine reads the
  # current resources only, which are stale until then.
  xrandr >/dev/null
  WINE_ENV_COMPOSITOR_PID=
  if command -v xcompmgr >/dev/null 2>&1; then
    xcompmgr >"$WINE_ENV_DIR/xcompmgr.log" 2>&1 &
    WINE_ENV_COMPOSITOR_PID=$!
  fi
}

wine_env_stop() {
  if [ -n "${WINE_ENV_DIR:-}" ]; then
    "$WINESERVER" -k >/dev/null 2>&1 || true
    "$WINESERVER" -w >/dev/null 2>&1 || true
    if [ -n "${WINE_ENV_COMPOSITOR_PID:-}" ]; then
      kill "$WINE_ENV_COMPOSITOR_PID" 2>/dev/null || true
      wait "$WINE_ENV_COMPOSITOR_PID" 2>/dev/null || true
    fi
    if [ -n "${WINE_ENV_XVFB_PID:-}" ]; then
      kill "$WINE_ENV_XVFB_PID" 2>/dev/null || true
      wait "$WINE_ENV_XVFB_PID" 2>/dev/null || true
    fi
    rm -rf "$WINE_ENV_DIR"
    WINE_ENV_DIR=
  fi
}
