#!/usr/bin/env bash
# Kills pacedeck-setup in the middle of a crypto settings Save, and the program while it starts
# and closes, at random moments, many times over; after each kill it checks that the settings
# store is sound and that the last Save is whole: the stored names and commands come from one
# Save, and after the next start the node scripts say what the stored commands say.
# Not part of the tests that CI runs: it takes minutes. Last line:
# "durability: N kills, N whole, N broken".
#
# usage: scripts/durability.sh [TRIES] [BUILD_FOLDER]
set -uo pipefail
cd "$(dirname "$0")/.."
tries=${1:-1000}
build=$(cd "${2:-build}" && pwd)
setup="$build/app/setup/pacedeck-setup"
program="$build/app/pacedeck"
for tool in "$setup" "$program" "$(command -v sqlite3)"; do
  [ -x "$tool" ] || { echo "durability: $tool is missing"; exit 2; }
done

work=$(mktemp -d /tmp/pacedeck-durability-XXXXXX)
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME" "$work/bin"
exe=DURABLE
ln -s "$program" "$work/bin/$exe"  # the program takes its copy's name from its file name
db="$XDG_CONFIG_HOME/SW_PACEDECK/settings.sqlite3"
bats="$work/pd/BATS"

stored() { sqlite3 -cmd ".timeout 5000" "$db" "SELECT value FROM settings WHERE section='$exe' AND key='$1'"; }

# One Save: every name carries the Save's number, and so does every command built from them.
save_file() {
  cat <<EOF
[PACEDECK_CRYPTO_SETTINGS]
CRYPTO_NAME_TEXTBOX = S$1
BLOCKCHAIN_HOME_TEXTBOX = /chain/$1
QT_LOCATION_TEXTBOX = /opt/node
QT_NAME_TEXTBOX = qt-$1
DAEMON_CLI_LOCATION_TEXTBOX = /opt/node
DAEMOND_NAME_TEXTBOX = d-$1
DAEMONCLI_NAME_SETTINGS_TEXTBOX = c-$1
press = SAVE_BUTTON
EOF
}

# Why the store or the scripts are not whole, or nothing.
store_fault() {
  local check
  check=$(sqlite3 -cmd ".timeout 5000" "$db" "PRAGMA integrity_check" 2>&1)
  [ "$check" = ok ] || { echo "integrity: $check"; return; }
  local n=${1:-}
  n=$(stored CRYPTO_NAME_TEXTBOX)
  n=${n#S}
  [ "$(stored BLOCKCHAIN_HOME_TEXTBOX)" = "/chain/$n" ] || echo "chain folder of another Save than S$n"
  [ "$(stored QT_NAME_TEXTBOX)" = "qt-$n" ] || echo "qt name of another Save than S$n"
  [ "$(stored DAEMOND_NAME_TEXTBOX)" = "d-$n" ] || echo "daemon name of another Save than S$n"
  [ "$(stored DAEMONCLI_NAME_SETTINGS_TEXTBOX)" = "c-$n" ] || echo "cli name of another Save than S$n"
  [[ $(stored SW_QT_COMMAND_TEXTBOX) == *"/qt-$n\" "*"-datadir=/chain/$n "* ]] || echo "qt command of another Save than S$n"
  [[ $(stored SW_D_COMMAND_TEXTBOX) == *"/d-$n\" "*"-datadir=/chain/$n "* ]] || echo "daemon command of another Save than S$n"
  [[ $(stored SWCLI_STOP_COMMAND_TEXTBOX) == *"/c-$n\" "* ]] || echo "cli stop command of another Save than S$n"
  [[ $(stored GETBLOCKCOUNT_COMMAND_SETTINGS_TEXTBOX) == *"/c-$n\" "* ]] || echo "block count command of another Save than S$n"
}

scripts_fault() {
  local key stem
  for pair in SW_QT_COMMAND_TEXTBOX:RUN-QT SW_D_COMMAND_TEXTBOX:RUN-DAEMON \
    SWCLI_STOP_COMMAND_TEXTBOX:RUN-CLI-STOP GETBLOCKCOUNT_COMMAND_SETTINGS_TEXTBOX:RUN-BLOCKCOUNTER-GBC; do
    key=${pair%%:*}
    stem=${pair#*:}
    [ "$(cat "$bats/$exe-$stem.sh")" = "$(stored "$key")" ] || echo "$exe-$stem.sh disagrees with $key"
  done
  local left
  left=$(find "$bats" -name '*.pacedeck-*' | head -1)
  [ -z "$left" ] || echo "left behind: $left"
}

# A start that nobody interrupts: it finishes or undoes a Save cut short.
settle() {
  echo "[PACEDECK_MAIN]" >"$work/empty.txt"
  "$setup" "$exe" "$work/empty.txt" >/dev/null 2>&1
}

cat >"$work/first.txt" <<EOF
[PACEDECK_MAIN_SETTINGS]
PACEDECK_HOME_TEXTBOX = $work/pd
press = CREATE_FOLDERS_BUTTON
press = OK_BUTTON
EOF
save_file 0 >>"$work/first.txt"
"$setup" "$exe" "$work/first.txt" >/dev/null || { echo "durability: the first set-up failed"; exit 2; }

kills=0 whole=0 broken=0 cut=0 staged=0
for ((i = 1; i <= tries; i++)); do
  if ((i % 4)); then
    save_file "$i" >"$work/save.txt"
    "$setup" "$exe" "$work/save.txt" >/dev/null 2>&1 &
    pid=$!
    sleep "0.$(printf '%03d' $((RANDOM % 100)))"
    kill -KILL "$pid" 2>/dev/null && cut=$((cut + 1))
  else
    # The program: killed while it starts, or told to end and killed while it saves.
    "$work/bin/$exe" >/dev/null 2>&1 &
    pid=$!
    sleep "0.$(printf '%03d' $((RANDOM % 400)))"
    kill -TERM "$pid" 2>/dev/null
    sleep "0.$(printf '%03d' $((RANDOM % 30)))"
    kill -KILL "$pid" 2>/dev/null && cut=$((cut + 1))
  fi
  wait "$pid" 2>/dev/null
  kills=$((kills + 1))
  [ -n "$(find "$bats" -name '*.pacedeck-*' | head -1)" ] && staged=$((staged + 1))
  fault=$(store_fault)
  if [ -z "$fault" ]; then
    settle
    fault=$(scripts_fault)
  fi
  if [ -z "$fault" ]; then
    whole=$((whole + 1))
  else
    broken=$((broken + 1))
    echo "!! try $i: $fault"
  fi
  ((i % 100)) || echo "== $i tries: $whole whole, $broken broken"
done
echo "durability: $cut processes killed before they ended, $staged left a Save to finish at the next start"
echo "durability: $kills kills, $whole whole, $broken broken"
[ "$broken" -eq 0 ]
