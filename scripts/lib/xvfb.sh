# shellcheck shell=bash
# Sourced by scripts/windows-tests.sh and scripts/demo.sh: an X server of the caller's own.

# Starts Xvfb on a free display number; sets display (":N") and xvfb_pid, which the caller
# stops. Returns 1 when none could be started.
start_xvfb() {
  local n tries
  for tries in 1 2 3 4 5 6 7 8; do
    n=$((50 + RANDOM % 50))
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && { display=":$n"; return 0; }
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$xvfb_pid" 2>/dev/null; xvfb_pid=
  done
  return 1
}
