#!/usr/bin/env bash
# An unattended sync from start to end report, against Debian's real litecoind.
#
# Builds pacedeck and pacedeck-setup, then on this machine's loopback makes a private regtest
# network of two real nodes: A, the peer, which mines 3000 blocks, and B, the node of a copy
# of the program named DEMO, with an empty data folder, 3000 blocks behind. Each node runs a
# copy of litecoind under a name of this run's own (peer<PID>d, demo<PID>d), and B reaches A
# only through a relay (scripts/lib/netlink.py), the cable between them. DEMO is set up with
# pacedeck-setup alone (the conf generator's LTC preset with a test RPC login and the regtest
# lines, its own settings store, so yours are untouched); then it starts itself, starts B,
# polls it until the chain has caught up, stops it, writes the end report and closes itself.
# The window opens on your display when there is one, offscreen otherwise.
#
# With --stuck the cable is cut while B is catching up: B has no peer, its height stands
# still, the sync check says so and after the stall limit (30 seconds here) ends the run as
# "!!! NODE STUCK !!!", stops the node, writes the report and mails it as an alert to a local
# SMTP sink, whose capture is printed.
#
# With --sim the same runs against the simulated node (sim/), 150 blocks behind; --sim
# --stuck lets it stall 60 blocks short.
#
# With --windows the simulated run happens under Wine: PACEDECK.exe, pacedeck-setup.exe and
# the simulated node cross-built for Windows in build-windows, a fresh Wine prefix in the demo
# folder, the copy set up and run by scripts/windows-run.sh; the window opens on your display
# when there is one, on an X server of the demo's own (Xvfb) otherwise. With --windows --stuck
# the stall of --stuck is caught there: NODE STUCK stamped in the registry, the alert mailed.
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
. scripts/lib/mailsink.sh

# ---------------------------------------------------------------- on Windows, under Wine
if [ "${1:-}" = --windows ]; then
  case "${2:-}" in
    --stuck) windows_run=(--stuck) ;;
    "") windows_run=() ;;
    *) echo "usage: $0 [--sim | --windows] [--stuck]" >&2; exit 2 ;;
  esac
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
  scripts/windows-run.sh "${windows_run[@]}" "$demo/run" DEMO "$limit"
  exit
fi

usage() {
  echo "usage: $0 [--sim | --windows] [--stuck]" >&2
  exit 2
}
against=real
stuck=
for option in "$@"; do
  case "$option" in
    --sim) against=sim ;;
    --stuck) stuck=1 ;;
    *) usage ;;
  esac
done

# ---------------------------------------------------------------- shared by both nodes

# Builds the programs the demo runs (TARGETS: pacedeck and pacedeck-setup are always built)
# and links the copy DEMO to pacedeck; sets bin, the build folder's absolute path.
build_programs() {
  scripts/deps.sh demo
  say "building pacedeck, pacedeck-setup $* in $build"
  mkdir -p "$build"
  cmake -S . -B "$build" -G Ninja -DPACEDECK_GUI=ON >"$build/demo-configure.log" 2>&1 ||
    { cat "$build/demo-configure.log"; exit 1; }
  cmake --build "$build" --target pacedeck pacedeck-setup "$@" -j2
  ln -sfn app/pacedeck "$build/DEMO"
  case "$build" in /*) bin=$build ;; *) bin=$root/$build ;; esac
}

# An empty demo folder with the settings store used instead of yours; sets home and store.
fresh_demo_folder() {
  home=$demo/PACEDECK
  rm -rf "$demo"
  mkdir -p "$demo/config"
  chmod 700 "$demo/config"
  export XDG_CONFIG_HOME=$demo/config
  store=$XDG_CONFIG_HOME/SW_PACEDECK/settings.sqlite3
}

# A local SMTP server in SINK_FOLDER that keeps each message it receives as a file, and the
# set-up lines (into mail_setup) that make the copy give up on a node whose height stands
# for 30 seconds and mail its report, through sendemail, to the sink.
start_demo_mail_sink() {
  sink=$1
  start_mail_sink "$sink" || { cat "$sink.out" >&2; echo "the mail sink did not start" >&2; exit 1; }
  mail_setup=$(stall_and_mail_setup "$sink_port" "press = USE_BUTTON")
}

# Starts build/DEMO, on the display or offscreen; sets program.
start_copy() {
  if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    say "starting PACEDECK - DEMO on your display"
  else
    say "no display: starting PACEDECK - DEMO offscreen"
    export QT_QPA_PLATFORM=offscreen
  fi
  "$bin/DEMO" >"$demo/DEMO.out" 2>&1 &
  program=$!
}

# Calls SHOW every two seconds until DEMO has closed itself; stops it and fails after the limit.
follow_copy() {
  local show=$1
  SECONDS=0
  shown=0
  while kill -0 "$program" 2>/dev/null; do
    "$show"
    if [ "$SECONDS" -ge "$limit" ]; then
      echo "DEMO did not finish within $limit seconds: stopping it" >&2
      kill "$program" 2>/dev/null || true
      return 1
    fi
    sleep 2
  done
  wait "$program" || true
  "$show"
  say "DEMO closed itself after $SECONDS s"
}

stamp() { sqlite3 "$store" "SELECT value FROM settings WHERE section='DEMO' AND key='$1'"; }

# Prints the end report, the stamps, the last lines of the sync history and, with --stuck,
# the head of the alert mail; succeeds when the run ended as it should: both stamps success,
# or with --stuck both stamps a stuck node (or one without peers) and the alert for COIN
# received.
# Usage: judge_outcome NODE_FOLDER COIN
judge_outcome() {
  local run_stamp bc_stamp
  run_stamp=$(stamp MULTILOADER_LAST_RUN_TEXTBOX)
  bc_stamp=$(stamp BLOCKCOUNTER_LAST_RUN)
  if [ -z "$stuck" ]; then
    if tell_outcome "$report" "$run_stamp" "$bc_stamp" "$home" "$1" "$store" "$demo/DEMO.out"; then
      say "the unattended run completed successfully"
      return 0
    fi
    say "the run did not complete successfully" >&2
    return 1
  fi
  tell_outcome "$report" "$run_stamp" "$bc_stamp" "$home" "$1" "$store" "$demo/DEMO.out" || true
  local history=$home/LOGS/DEMO-SYNC-HISTORY.csv
  say "sync history ($history), the last lines"
  tail -n 5 "$history" 2>/dev/null || true
  show_first_mail "$sink"
  gave_up() { [ "$1" = "!!! NODE STUCK !!!" ] || [[ $1 == '!!! '*'NO PEERS'*' !!!' ]]; }
  if [ -f "$report" ] && gave_up "$run_stamp" && gave_up "$bc_stamp" && [ -n "$first_mail" ] &&
    tr -d '\r' <"$first_mail" | grep -q "^Subject: PACEDECK - $2 - ALERT - "; then
    say "the stall was caught: no success claimed, the report written and the alert mailed"
    return 0
  fi
  say "the stall was not caught as it should be" >&2
  return 1
}

# ---------------------------------------------------------------- the real node pair

real_demo() {
  . scripts/lib/litecoin.sh
  build_programs
  fresh_demo_folder
  # The node programs keep their defaults under HOME: this run's own.
  export HOME=$demo/home
  mkdir -p "$HOME"
  # Globals: the progress display and the clean-up at exit read them.
  blocks=3000
  cut_at=1200
  peer=$demo/peer
  name=demo$$
  programs=$demo/programs
  node=$demo/node
  conf=$home/CONFIGS/DEMO-CRYPTO-CONFIG.conf
  daemon=${name}d
  mkdir -p "$node"

  # Node A, the peer, under a name of its own, with the chain B will catch up to.
  local rpc p2p onion
  rpc=$(free_port); p2p=$(free_port); onion=$(free_port)
  ltc_programs "$peer" "peer$$"
  ltc_peer_conf "$peer/peer.conf" "$rpc" "$p2p" "$onion"
  (ltc_run "$peer/peer$$d" "$peer/peer.conf" "$peer/data" "$peer/node.out") &
  peer_pid=$!
  trap 'stop_real_demo' EXIT
  ltc_wait_ready "$peer/peer.conf" 60
  say "node A (peer$$d, pid $peer_pid) mining $blocks blocks"
  ltc_mine "$peer/peer.conf" "$blocks"

  # The cable from B to A, slow enough to watch B climb.
  /usr/bin/python3 scripts/lib/netlink.py "$demo/link.port" "$p2p" 60000 >"$demo/link.out" 2>&1 &
  link_pid=$!
  for _ in $(seq 100); do [ -f "$demo/link.port" ] && break; sleep 0.1; done
  [ -f "$demo/link.port" ] || { cat "$demo/link.out" >&2; echo "the relay did not start" >&2; exit 1; }

  mail_setup=
  ticks="AUTOSTART_TICKBOX = 1"
  if [ -n "$stuck" ]; then
    start_demo_mail_sink "$demo/sink"
    ticks+=$'\nTASK_17_ENABLE_TICKBOX = 1'
  fi

  say "setting up the copy DEMO (node B $daemon, empty data folder, $blocks blocks behind)"
  ltc_programs "$programs" "$name"
  write_ltc_copy_setup "$demo/setup.txt" "$home" "$node" "$programs" "$name" "$(free_port)" "$(free_port)" \
    "127.0.0.1:$(cat "$demo/link.port")" daemon "$mail_setup" "$ticks"
  "$bin/app/setup/pacedeck-setup" DEMO "$demo/setup.txt"
  count_file=$home/BLOCKCOUNTS/DEMO-LATEST-BLOCKCOUNT.LOG
  report=$home/REPORTS/DEMO-END-REPORT.LOG

  start_copy
  say "waiting for DEMO to start itself (11 s), start B, follow it, stop it and close itself"
  cut=
  seen_node=
  blockcount=-
  follow_copy show_real || exit 1
  judge_outcome "$node" LTC
}

# The process of a node program of this demo, if one runs.
real_node_pid() {
  local p
  for p in /proc/[0-9]*; do
    [ "$(readlink "$p/exe" 2>/dev/null)" = "$1" ] && { echo "${p#/proc/}"; return 0; }
  done
  return 1
}

# What can be seen from outside: B's process and height (asked with Debian's own cli, not the
# copy's), the last reading the blockcounter's cli wrote, the report. With --stuck, the cable
# is cut once B has passed the cut height.
show_real() {
  local state pid height
  read_progress "$count_file" "$node"
  height=$(/usr/bin/litecoin-cli "-conf=$conf" getblockcount 2>/dev/null || echo '?')
  if [ -n "$stuck" ] && [ -z "$cut" ] && [ "$height" != '?' ] && [ "$height" -ge "$cut_at" ]; then
    kill -USR1 "$link_pid"
    cut=$height
    say "cable to the peer cut: B stands at $height of $blocks"
  fi
  if [ -f "$report" ]; then
    state="end report written; the program closes itself after its countdown"
  elif pid=$(real_node_pid "$programs/$daemon"); then
    seen_node=1
    if [ "$height" = '?' ]; then
      state="node B ($daemon, pid $pid) starting up or shutting down: no answer yet"
    elif [ -n "$cut" ]; then
      state="node B at $height, no peer, last read $blockcount: the sync check waits out the stall limit"
    elif [ "$height" = "$blocks" ] && [ "$blockcount" = "$blocks" ]; then
      state="node B at $height, read $blockcount: verifying that the reading holds"
    else
      state="node B ($daemon, pid $pid) at $height of $blocks, last read $blockcount: catching up from A"
    fi
  elif [ -n "$seen_node" ]; then
    state="node B stopped; measuring the chain folder, writing the report"
  else
    state="autostart countdown and the first stages"
  fi
  tell_state "$state"
}

# Whatever this demo started ends with it: DEMO if still running, its node B, node A, the
# relay and the mail sink.
stop_real_demo() {
  local pid
  for pid in "${program:-}" "$(real_node_pid "$programs/$daemon")" "${peer_pid:-}" "${link_pid:-}" \
    "${sink_pid:-}"; do
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
  done
}

# ---------------------------------------------------------------- the simulated node

sim_demo() {
  build_programs simcoin
  sim=$bin/sim
  fresh_demo_folder
  node=$demo/node
  mkdir -p "$node"

  # The simulation: a new chain at 1000 catches up to 1150, 150 blocks behind.
  start=1000
  target=1150
  write_sim_settings "$node" "$start" "$target"
  [ -n "$stuck" ] && echo "stall_at=$((start + 60))" >>"$node/simcoin.conf"
  local port
  port=$(free_port)

  # The node's programs under names of this run's own: the run knows its node by its process
  # name, so a simcoind of anyone else on this machine can neither hold nor fool it. The sim
  # takes its personality from the end of its name (d, -qt, -cli); 15 characters at most.
  local programs=$demo/programs name=demo$$
  daemon=${name}d
  mkdir -p "$programs"
  for program in "$daemon" "$name-qt" "$name-cli"; do ln -s "$sim/simcoin" "$programs/$program"; done

  mail_setup=
  if [ -n "$stuck" ]; then
    start_demo_mail_sink "$demo/sink"
    trap 'kill "$sink_pid" 2>/dev/null || true' EXIT
  fi

  say "setting up the copy DEMO (node $daemon, RPC port $port)"
  write_copy_setup "$demo/setup.txt" "$home" "$node" "$programs" "$name-qt" "$daemon" "$name-cli" "$port" \
    "$mail_setup" "${stuck:-0}"
  "$bin/app/setup/pacedeck-setup" DEMO "$demo/setup.txt"
  count_file=$home/BLOCKCOUNTS/DEMO-LATEST-BLOCKCOUNT.LOG
  report=$home/REPORTS/DEMO-END-REPORT.LOG
  # What an earlier run that stopped its node cleanly would have left: the fresh node folder
  # starts at that height, the report's BEFORE number.
  echo "$start" >"$count_file"
  sqlite3 "$store" "INSERT OR REPLACE INTO settings VALUES('DEMO', 'NODE_STOPPED_AT_BLOCK', '$start')"

  start_copy
  say "waiting for DEMO to start itself (11 s), sync, stop the node and close itself"
  if ! follow_copy show_sim; then
    [ -f "$node/simcoind.pid" ] && kill "$(cat "$node/simcoind.pid")" 2>/dev/null || true
    exit 1
  fi
  judge_outcome "$node" SIMCOIN
}

# What can be seen from outside: the node's process and height, the last reading the
# blockcounter's cli wrote (the file is rewritten on each poll: an empty moment keeps the
# last reading), the report.
show_sim() {
  local state
  read_progress "$count_file" "$node"
  if [ -f "$report" ]; then
    state="end report written; the program closes itself after its countdown"
  elif [ -f "$node/simcoind.pid" ] && kill -0 "$(cat "$node/simcoind.pid")" 2>/dev/null; then
    if grep -q 'method=stop' "$node/debug.log" 2>/dev/null; then
      state="node asked to stop: waiting for the process $daemon (pid $(cat "$node/simcoind.pid")) to end"
    elif [ -n "$stuck" ] && [ "$height" = "$((start + 60))" ]; then
      state="node stalled at $height, last read $blockcount: the sync check asks the node, waits out the stall limit"
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

case "$against" in
  real) real_demo ;;
  sim) sim_demo ;;
esac
