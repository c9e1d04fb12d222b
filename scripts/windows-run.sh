#!/usr/bin/env bash
# An unattended run of PACEDECK.exe under Wine against the simulated node, from set-up to
# end report: the Windows side of scripts/demo.sh, also run by scripts/windows-tests.sh.
#
# Usage: scripts/windows-run.sh FOLDER NAME [SECONDS]
# Empties FOLDER and sets up in it, with pacedeck-setup.exe, the copy NAME (PACEDECK.exe
# copied as NAME.exe, so its registry section is its own): a home folder, a node data folder
# 150 blocks behind, the simulated node's programs under names of this run's own, a conf
# from the conf generator on a free port, the daemon, the blockcounter, cli stop, autostart
# and autoclose. Then NAME.exe starts itself, syncs the node, stops it, writes the end report
# and closes itself; the script prints the report and the stamps and exits 0 only when the
# run was stamped "!!! COMPLETED SUCCESSFULLY !!!". After SECONDS (default 600) it stops
# the run and fails; on failure it prints the report, the block-count log and the node's log.
#
# With --stuck the node stalls 60 blocks short (its peers keep announcing headers, its height
# stands still): the run's sync check says the node is behind and, after the stall limit (30
# seconds here), ends the run as "!!! NODE STUCK !!!", stops the node, writes the report and
# mails it as an alert through SendEmail.exe (the simulated node's mailer, sim/Mailer.hpp) to
# a local SMTP sink; the script exits 0 only when both stamps in the registry read
# "!!! NODE STUCK !!!" and the sink received the alert.
#
# The caller chooses the Wine prefix (WINEPREFIX) and the X display (DISPLAY); the programs
# come from the cross build in build-windows (scripts/windows-build.sh).
set -euo pipefail
stuck=
[ "${1:-}" = --stuck ] && { stuck=1; shift; }
[ $# -ge 2 ] || { echo "usage: $0 [--stuck] FOLDER NAME [SECONDS]" >&2; exit 2; }
dir=$1
name=$2
limit=${3:-600}
cd "$(dirname "$0")/.."
out=$(pwd)/build-windows
. scripts/lib/simcopy.sh
. scripts/lib/mailsink.sh
# Wine shows the root of the Linux file system as drive Z:.
winpath() { printf 'Z:%s' "${1//\//\\}"; }

for built in "$out/app/PACEDECK.exe" "$out/app/setup/pacedeck-setup.exe" "$out/sim/simcoin.exe"; do
  [ -f "$built" ] || { echo "$built is missing: build it with scripts/windows-build.sh" >&2; exit 1; }
done

# ---------------------------------------------------------------- the folder
home=$dir/PACEDECK
node=$dir/node
programs=$dir/programs
rm -rf "$dir"
mkdir -p "$node" "$programs"
start=1000
target=1150
write_sim_settings "$node" "$start" "$target"
[ -n "$stuck" ] && echo "stall_at=$((start + 60))" >>"$node/simcoin.conf"
port=$(free_port)
# The run knows its node by its process name, so a node of anyone else in this prefix can
# neither hold nor fool it. The sim takes its personality from the end of its file name.
sim=sim$$
for program in "${sim}d" "$sim-qt" "$sim-cli"; do cp "$out/sim/simcoin.exe" "$programs/$program.exe"; done
cp "$out/app/PACEDECK.exe" "$dir/$name.exe"

# ---------------------------------------------------------------- the mail sink (--stuck)
mail_setup=
if [ -n "$stuck" ]; then
  cp "$out/sim/simcoin.exe" "$programs/SendEmail.exe"
  sink=$dir/sink
  start_mail_sink "$sink" || { cat "$sink.out" >&2; echo "the mail sink did not start" >&2; exit 1; }
  # Only this run's sink is stopped.
  trap 'kill "$sink_pid" 2>/dev/null || true' EXIT
  # The report goes through SendEmail.exe.
  mail_setup=$(stall_and_mail_setup "$sink_port" "SE_HOME_TEXTBOX = $(setup_value "$(winpath "$programs")")")
fi

# ---------------------------------------------------------------- set up the copy
say "setting up the copy $name with pacedeck-setup.exe (node ${sim}d.exe, RPC port $port)"
write_copy_setup "$dir/setup.txt" "$(winpath "$home")" "$(winpath "$node")" "$(winpath "$programs")" \
  "$sim-qt.exe" "${sim}d.exe" "$sim-cli.exe" "$port" "$mail_setup" "${stuck:-0}"
wine "$out/app/setup/pacedeck-setup.exe" "$name" "$(winpath "$dir/setup.txt")" >"$dir/setup.log" 2>&1 ||
  { cat "$dir/setup.log" >&2; echo "pacedeck-setup.exe could not set up $name" >&2; exit 1; }
count_file=$home/BLOCKCOUNTS/$name-LATEST-BLOCKCOUNT.LOG
report=$home/REPORTS/$name-END-REPORT.LOG
# What an earlier run that stopped its node cleanly would have left: the fresh node folder
# starts at that height, the report's BEFORE number.
printf '%s\r\n' "$start" >"$count_file"
wine reg add "HKCU\\Software\\SW_PACEDECK\\$name" /v NODE_STOPPED_AT_BLOCK /d "$start" /f >/dev/null 2>&1

# ---------------------------------------------------------------- the run
say "starting $name.exe on display $DISPLAY; it starts itself after its countdown (11 s)"
SECONDS=0
wine "$dir/$name.exe" >"$dir/$name.out" 2>&1 &
program=$!
blockcount=$start
# Where the run stands, from its files: the node's height and log, the last reading, the report.
show() {
  local state
  read_progress "$count_file" "$node"
  if [ -f "$report" ]; then
    state="end report written; the program closes itself after its countdown"
  elif grep -q 'method=stop' "$node/debug.log" 2>/dev/null; then
    state="node asked to stop at $height"
  elif [ -n "$stuck" ] && [ "$height" = "$((start + 60))" ]; then
    state="node stalled at $height, last read $blockcount: the sync check asks the node, waits out the stall limit"
  elif [ "$height" != '?' ]; then
    state="node at $height, last read $blockcount"
  else
    state="autostart countdown and the first stages"
  fi
  tell_state "$state"
}
finished=1
while kill -0 "$program" 2>/dev/null; do
  show
  if [ "$SECONDS" -ge "$limit" ]; then
    echo "$name.exe did not finish within $limit seconds: stopping this prefix's Wine" >&2
    wineserver -k >/dev/null 2>&1 || true
    finished=0
    break
  fi
  sleep 2
done
wait "$program" || true
[ $finished -eq 1 ] && show && say "$name.exe closed itself after $SECONDS s"

# ---------------------------------------------------------------- the outcome
stamp() {
  wine reg query "HKCU\\Software\\SW_PACEDECK\\$name" /v "$1" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$1 *REG_SZ *//p"
}
run_stamp=$(stamp MULTILOADER_LAST_RUN_TEXTBOX)
bc_stamp=$(stamp BLOCKCOUNTER_LAST_RUN)
if [ -n "$stuck" ]; then
  tell_outcome "$report" "$run_stamp" "$bc_stamp" "$home" "$node" \
    "HKCU\\Software\\SW_PACEDECK\\$name in the Wine prefix $WINEPREFIX" "$dir/$name.out" || true
  if tell_stuck_outcome "$report" "$run_stamp" "$bc_stamp" "$sink"; then
    say "the stall was caught: no success claimed, NODE STUCK stamped in the registry and the alert mailed"
    exit 0
  fi
  say "the stall was not caught as it should be" >&2
  echo "-- the mailer's log:" >&2
  tr -d '\r' <"$home/LOGS/$name-SEND-EMAIL.LOG" >&2 2>/dev/null || true
  exit 1
fi
# The report names the heights before and after: the node's start and the target it reached.
counted() { tr -d '\r' <"$report" | grep -A1 -F "Last Know Block Number $1 Update:" | tail -n 1; }
if tell_outcome "$report" "$run_stamp" "$bc_stamp" "$home" "$node" \
  "HKCU\\Software\\SW_PACEDECK\\$name in the Wine prefix $WINEPREFIX" "$dir/$name.out" &&
  [ "$(counted BEFORE)" = "$start" ] && [ "$(counted AFTER)" = "$target" ]; then
  say "the unattended run completed successfully"
  exit 0
fi
say "the run did not complete successfully" >&2
[ -f "$report" ] || echo "no end report was written" >&2
[ -f "$report" ] && echo "the report's heights: $(counted BEFORE) to $(counted AFTER) (expected $start to $target)" >&2
echo "-- the block-count log ($count_file):" >&2
tr -d '\r' <"$count_file" >&2 2>/dev/null || true
echo "-- the node's log ($node/debug.log), last lines:" >&2
tail -n 30 "$node/debug.log" >&2 2>/dev/null || true
echo "-- the program's output ($dir/$name.out):" >&2
tail -n 20 "$dir/$name.out" >&2 || true
exit 1
