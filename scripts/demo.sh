#!/usr/bin/env bash
# An unattended sync from start to end report, against the simulated coin node.
#
# Builds pacedeck, pacedeck-setup and the simulated node, links its programs under names of
# this run's own (demo<PID>d, -qt, -cli), makes a fresh demo folder with a PACEDECK home folder and a node data folder whose chain is
# 150 blocks behind, sets up a copy of the program named DEMO with pacedeck-setup (its own
# settings store, so yours are untouched), then lets DEMO start itself, start the node, poll
# it until the chain has caught up, stop it, write the end report and close itself.
# The window opens on your display when there is one, offscreen otherwise.
#
# With --windows the same runs under Wine: PACEDECK.exe, pacedeck-setup.exe and the
# simulated node cross-built for Windows in build-windows, a fresh Wine prefix in the demo
# folder, the copy set up and run by scripts/windows-run.sh; the window opens on your display
# when there is one, on an X server of the demo's own (Xvfb) otherwise.
#
# Environment: PACEDECK_DEMO_DIR (default ${TMPDIR:-/tmp}/pacedeck-demo, or
# pacedeck-demo-windows with --windows, emptied each run), PACEDECK_BUILD_DIR (default build;
# not with --windows), PACEDECK_DEMO_LIMIT (seconds to wait, default 600).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=${PACEDECK_BUILD_DIR:-build}
demo=${PACEDECK_DEMO_DIR:-${TMPDIR:-/tmp}/pacedeck-demo}
limit=${PACEDECK_DEMO_LIMIT:-600}
. scripts/lib/simcopy.sh

# ---------------------------------------------------------------- on Windows, under Wine
if [ "${1:-}" = --windows ]; then
  scripts/deps.sh demo-windows
  scripts/windows-build.sh PACEDECK pacedeck-setup simcoin
  demo=${PACEDECK_DEMO_DIR:-${TMPDIR:-/tmp}/pacedeck-demo-windows}
  rm -rf "$demo"
  mkdir -p "$demo/wine"
  export WINEPREFIX=$demo/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  xvfb_pid=
  # Only this demo's Wine and X server are stopped.
  trap 'wineserver -k >/dev/null 2>&1; [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null' EXIT
  if [ -n "${DISPLAY:-}" ]; then
    say "PACEDECK - DEMO opens on your display $DISPLAY"
  else
    . scripts/lib/xvfb.sh
    start_xvfb || { echo "no X server could be started (Xvfb)" >&2; exit 1; }
    export DISPLAY=$display
    say "no display: PACEDECK - DEMO opens on an X server of its own ($DISPLAY)"
  fi
  say "a fresh Wine prefix in $WINEPREFIX"
  scripts/windows-run.sh "$demo/run" DEMO "$limit"
  exit
fi

# ---------------------------------------------------------------- build
scripts/deps.sh demo
say "building pacedeck, pacedeck-setup and the simulated node in $build"
mkdir -p "$build"
cmake -S . -B "$build" -G Ninja -DPACEDECK_GUI=ON >"$build/demo-configure.log" 2>&1 ||
  { cat "$build/demo-configure.log"; exit 1; }
cmake --build "$build" --target pacedeck pacedeck-setup simcoin -j2
ln -sfn app/pacedeck "$build/DEMO"
case "$build" in /*) bin=$build ;; *) bin=$root/$build ;; esac
sim=$bin/sim

# ---------------------------------------------------------------- the demo folder
home=$demo/PACEDECK
node=$demo/node
rm -rf "$demo"
mkdir -p "$demo/config" "$node"
chmod 700 "$demo/config"
export XDG_CONFIG_HOME=$demo/config
store=$XDG_CONFIG_HOME/SW_PACEDECK/settings.sqlite3

# The simulation: a new chain at 1000 catches up to 1150, 150 blocks behind.
start=1000
target=1150
write_sim_settings "$node" "$start" "$target"
port=$(free_port)

# The node's programs under names of this run's own: the run knows its node by its process
# name, so a simcoind of anyone else on this machine can neither hold nor fool it. The sim
# takes its personality from the end of its name (d, -qt, -cli); 15 characters at most.
programs=$demo/programs
name=demo$$
daemon=${name}d
mkdir -p "$programs"
for program in "$daemon" "$name-qt" "$name-cli"; do ln -s "$sim/simcoin" "$programs/$program"; done

# ---------------------------------------------------------------- set up the DEMO copy
say "setting up the copy DEMO (node $daemon, RPC port $port)"
write_copy_setup "$demo/setup.txt" "$home" "$node" "$programs" "$name-qt" "$daemon" "$name-cli" "$port"
"$bin/app/setup/pacedeck-setup" DEMO "$demo/setup.txt"
count_file=$home/BLOCKCOUNTS/DEMO-LATEST-BLOCKCOUNT.LOG
report=$home/REPORTS/DEMO-END-REPORT.LOG
# The reading an earlier run would have left: the fresh node folder starts at that height.
echo "$start" >"$count_file"

# ---------------------------------------------------------------- the run
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  say "starting PACEDECK - DEMO on your display"
else
  say "no display: starting PACEDECK - DEMO offscreen"
  export QT_QPA_PLATFORM=offscreen
fi
"$bin/DEMO" >"$demo/DEMO.out" 2>&1 &
program=$!

# What can be seen from outside: the node's process and height, the last reading the
# blockcounter's cli wrote (the file is rewritten on each poll: an empty moment keeps the
# last reading), the report.
show() {
  local state
  read_progress "$count_file" "$node"
  if [ -f "$report" ]; then
    state="end report written; the program closes itself after its countdown"
  elif [ -f "$node/simcoind.pid" ] && kill -0 "$(cat "$node/simcoind.pid")" 2>/dev/null; then
    if grep -q 'method=stop' "$node/debug.log" 2>/dev/null; then
      state="node asked to stop: waiting for the process $daemon (pid $(cat "$node/simcoind.pid")) to end"
    elif [ "$height" = "$target" ] && [ "$blockcount" = "$target" ]; then
      state="node at $height, read $blockcount: verifying that the reading holds"
    else
      state="node $daemon running at $height, last read $blockcount: syncing"
    fi
  elif [ "$height" != '?' ]; then
    state="node stopped at $height; measuring the chain folder, writing the report"
  else
    state="autostart countdown and the first stages"
  fi
  tell_state "$state"
}

say "waiting for DEMO to start itself (11 s), sync, stop the node and close itself"
SECONDS=0
shown=0
while kill -0 "$program" 2>/dev/null; do
  show
  if [ "$SECONDS" -ge "$limit" ]; then
    echo "DEMO did not finish within $limit seconds: stopping it" >&2
    kill "$program" 2>/dev/null || true
    [ -f "$node/simcoind.pid" ] && kill "$(cat "$node/simcoind.pid")" 2>/dev/null || true
    exit 1
  fi
  sleep 2
done
wait "$program" || true
show
say "DEMO closed itself after $SECONDS s"

# ---------------------------------------------------------------- the outcome
stamp() { sqlite3 "$store" "SELECT value FROM settings WHERE section='DEMO' AND key='$1'"; }
run_stamp=$(stamp MULTILOADER_LAST_RUN_TEXTBOX)
bc_stamp=$(stamp BLOCKCOUNTER_LAST_RUN)
if tell_outcome "$report" "$run_stamp" "$bc_stamp" "$home" "$node" "$store" "$demo/DEMO.out"; then
  say "the unattended run completed successfully"
else
  say "the run did not complete successfully" >&2
  exit 1
fi
