# Shared by the end-to-end scripts (sourced after scripts/wine-env.sh has
# started the private screen and the program): `e2e_name` names the script
# in its messages, `program` is the program's process.

# Ends the script with its message; the pictures taken so far are kept in
# $VELMORA_KEEP_SHOTS when it is set.
fail() {
  echo "$e2e_name: $1" >&2
  [ -n "${VELMORA_KEEP_SHOTS:-}" ] && cp "$WINE_ENV_DIR"/*.png "$VELMORA_KEEP_SHOTS"/ 2>/dev/null || true
  exit 1
}

# Waits until the program's window is up and the splash has had its time
# (8 looks half a second apart at least), or fails.
wait_for_the_program() {
  i=0
  until xdotool search --name '^Velmora$' >/dev/null 2>&1 && [ $i -ge 8 ]; do
    i=$((i + 1))
    [ $i -gt 60 ] && fail "the program did not start"
    kill -0 "$program" 2>/dev/null || fail "the program ended at start"
    sleep 0.5
  done
}
