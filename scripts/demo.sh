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
# With --stuck the node stalls 60 blocks short (its peers keep announcing new headers, its
# height stands still): the run's sync check asks the node, says it is behind, and after the
# stall limit (30 seconds here) ends the run as "!!! NODE STUCK !!!", stops the node, writes
# the report and mails it as an alert to a local SMTP sink, whose capture is printed.
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
stuck=
case "${1:-}" in
  --stuck) stuck=1 ;;
  "") ;;
  *) echo "usage: $0 [--stuck | --windows]" >&2; exit 2 ;;
esac

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
[ -n "$stuck" ] && echo "stall_at=$((start + 60))" >>"$node/simcoin.conf"
port=$(free_port)

# The node's programs under names of this run's own: the run knows its node by its process
# name, so a simcoind of anyone else on this machine can neither hold nor fool it. The sim
# takes its personality from the end of its name (d, -qt, -cli); 15 characters at most.
programs=$demo/programs
name=demo$$
daemon=${name}d
mkdir -p "$programs"
for program in "$daemon" "$name-qt" "$name-cli"; do ln -s "$sim/simcoin" "$programs/$program"; done

# ---------------------------------------------------------------- the mail sink (--stuck)
# A local SMTP server that keeps each message it receives as a file.
sink=$demo/sink
mail_setup=
if [ -n "$stuck" ]; then
  mkdir -p "$sink"
  sink_port=$(free_port)
  [ "$sink_port" != "$port" ] || sink_port=$(free_port)
  cat >"$demo/sink.py" <<'EOF'
import os, signal, sys
from aiosmtpd.controller import Controller

class Keep:
    count = 0
    async def handle_DATA(self, server, session, envelope):
        Keep.count += 1
        with open(os.path.join(sys.argv[1], "message-%03d.eml" % Keep.count), "wb") as f:
            f.write(envelope.original_content or envelope.content)
        return "250 Message accepted"

Controller(Keep(), hostname="127.0.0.1", port=int(sys.argv[2])).start()
open(os.path.join(sys.argv[1], "ready"), "w").close()
signal.pause()
EOF
  # Debian's own python3, which has aiosmtpd (a python3 earlier on the PATH may not).
  /usr/bin/python3 "$demo/sink.py" "$sink" "$sink_port" >"$demo/sink.out" 2>&1 &
  sink_pid=$!
  trap 'kill "$sink_pid" 2>/dev/null || true' EXIT
  for _ in $(seq 100); do [ -f "$sink/ready" ] && break; sleep 0.1; done
  [ -f "$sink/ready" ] || { cat "$demo/sink.out" >&2; echo "the mail sink did not start" >&2; exit 1; }
  mail_setup="# The sync check gives up on a node whose height stands for 30 seconds.
[PACEDECK_CRYPTO_SETTINGS]
SYNC_CHECK_TICKBOX = 1
STALL_LIMIT_TEXTBOX = 00:00:30
press = SAVE_BUTTON
# The report goes by mail, through sendemail, to the local sink.
[PACEDECK_EMAIL_MAIN_SETTINGS]
press = USE_BUTTON
SMTP_SERVER_ADDRESS_PORT_TEXTBOX = 127.0.0.1:$sink_port
SEND_FROM_ADDRESS_TEXTBOX = node@example.org
SEND_TO_ADDRESS_TEXTBOX = me@example.org
press = OK_BUTTON"
fi

# ---------------------------------------------------------------- set up the DEMO copy
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
if [ -n "$stuck" ]; then
  tell_outcome "$report" "$run_stamp" "$bc_stamp" "$home" "$node" "$store" "$demo/DEMO.out" || true
  history=$home/LOGS/DEMO-SYNC-HISTORY.csv
  say "sync history ($history), the last lines"
  tail -n 5 "$history" 2>/dev/null || true
  for _ in $(seq 100); do ls "$sink"/message-*.eml >/dev/null 2>&1 && break; sleep 0.2; done
  mail=$(ls "$sink"/message-*.eml 2>/dev/null | head -n 1 || true)
  if [ -n "$mail" ]; then
    say "the alert mail as the SMTP sink received it ($mail), its head"
    tr -d '\r' <"$mail" | sed -n '1,/^$/p'
  fi
  wanted="!!! NODE STUCK !!!"
  if [ -f "$report" ] && [ "$run_stamp" = "$wanted" ] && [ "$bc_stamp" = "$wanted" ] && [ -n "$mail" ] &&
    tr -d '\r' <"$mail" | grep -q '^Subject: PACEDECK - SIMCOIN - ALERT - NODE STUCK'; then
    say "the stall was caught: no success claimed, the report written and the alert mailed"
    exit 0
  fi
  say "the stall was not caught as it should be" >&2
  exit 1
fi
if tell_outcome "$report" "$run_stamp" "$bc_stamp" "$home" "$node" "$store" "$demo/DEMO.out"; then
  say "the unattended run completed successfully"
else
  say "the run did not complete successfully" >&2
  exit 1
fi
