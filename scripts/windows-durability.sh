#!/usr/bin/env bash
# The kill test of scripts/durability.sh on Windows, under Wine: kills the Wine process of
# pacedeck-setup.exe at random moments of a crypto settings Save, many times over, and after
# each kill starts the copy once more (which finishes or drops a Save cut short) and checks
# that the last Save is whole: the names and commands in the registry come from one Save and
# the node scripts say what the stored commands say. Its own Wine prefix; the programs come
# from the cross build in build-windows (scripts/windows-build.sh pacedeck-setup).
# Not part of the tests that CI runs: it takes minutes. Last line:
# "windows durability: N kills, N whole, N broken".
#
# usage: scripts/windows-durability.sh [TRIES]
set -uo pipefail
cd "$(dirname "$0")/.."
tries=${1:-200}
setup="$(pwd)/build-windows/app/setup/pacedeck-setup.exe"
[ -f "$setup" ] || { echo "windows durability: $setup is missing"; exit 2; }

work=$(mktemp -d /tmp/pacedeck-windows-durability-XXXXXX)
export WINEPREFIX="$work/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
# Only this prefix's Wine is stopped.
trap 'wineserver -k >/dev/null 2>&1; rm -rf "$work"' EXIT
mkdir -p "$WINEPREFIX"
wineboot -i >/dev/null 2>&1
# The server stays up between the programs, as it does while a user works.
wineserver -p >/dev/null 2>&1
exe=DURABLE
winpath() { printf 'Z:%s' "${1//\//\\}"; }
bats="$work/pd/BATS"

# The copy's values as reg.exe lists them, into the array `stored`; the parent key's values
# (journals of Saves cut short) into `journals`.
declare -A stored
read_registry() {
  stored=()
  local line key value
  while IFS= read -r line; do
    line=${line%$'\r'}
    [[ $line =~ ^\ +([A-Za-z0-9_-]+)\ +REG_SZ(\ +(.*))?$ ]] || continue
    key=${BASH_REMATCH[1]}
    value=${BASH_REMATCH[3]:-}
    stored[$key]=$value
  done < <(wine reg query "HKCU\\Software\\SW_PACEDECK\\$exe" 2>/dev/null)
  journals=$(wine reg query 'HKCU\Software\SW_PACEDECK' 2>/dev/null | tr -d '\r' | grep -c 'SAVE IN PROGRESS')
}

# One Save: every name carries the Save's number, and so does every command built from them.
save_file() {
  cat <<EOF
[PACEDECK_CRYPTO_SETTINGS]
CRYPTO_NAME_TEXTBOX = S$1
BLOCKCHAIN_HOME_TEXTBOX = C:\\chain\\$1
QT_LOCATION_TEXTBOX = C:\\node
QT_NAME_TEXTBOX = qt-$1.exe
DAEMON_CLI_LOCATION_TEXTBOX = C:\\node
DAEMOND_NAME_TEXTBOX = d-$1.exe
DAEMONCLI_NAME_SETTINGS_TEXTBOX = c-$1.exe
press = SAVE_BUTTON
EOF
}

# Why the stored Save or the scripts are not whole, or nothing.
fault() {
  local n=${stored[CRYPTO_NAME_TEXTBOX]:-}
  n=${n#S}
  [ "$journals" = 0 ] || echo "a journal is left after the start"
  [ "${stored[BLOCKCHAIN_HOME_TEXTBOX]:-}" = "C:\\chain\\$n" ] || echo "chain folder of another Save than S$n"
  [ "${stored[QT_NAME_TEXTBOX]:-}" = "qt-$n.exe" ] || echo "qt name of another Save than S$n"
  [ "${stored[DAEMOND_NAME_TEXTBOX]:-}" = "d-$n.exe" ] || echo "daemon name of another Save than S$n"
  [ "${stored[DAEMONCLI_NAME_SETTINGS_TEXTBOX]:-}" = "c-$n.exe" ] || echo "cli name of another Save than S$n"
  [[ ${stored[SW_QT_COMMAND_TEXTBOX]:-} == *"\\qt-$n.exe\" "*"-datadir=C:\\chain\\$n "* ]] ||
    echo "qt command of another Save than S$n"
  [[ ${stored[SW_D_COMMAND_TEXTBOX]:-} == *"\\d-$n.exe\" "*"-datadir=C:\\chain\\$n "* ]] ||
    echo "daemon command of another Save than S$n"
  [[ ${stored[SWCLI_STOP_COMMAND_TEXTBOX]:-} == *"\\c-$n.exe\" "* ]] || echo "cli stop command of another Save than S$n"
  [[ ${stored[GETBLOCKCOUNT_COMMAND_SETTINGS_TEXTBOX]:-} == *"\\c-$n.exe\" "* ]] ||
    echo "block count command of another Save than S$n"
  local key stem
  for pair in SW_QT_COMMAND_TEXTBOX:RUN-QT SW_D_COMMAND_TEXTBOX:RUN-DAEMON \
    SWCLI_STOP_COMMAND_TEXTBOX:RUN-CLI-STOP GETBLOCKCOUNT_COMMAND_SETTINGS_TEXTBOX:RUN-BLOCKCOUNTER-GBC; do
    key=${pair%%:*}
    stem=${pair#*:}
    [ "$(tr -d '\r' <"$bats/$exe-$stem.bat")" = "${stored[$key]:-}" ] || echo "$exe-$stem.bat disagrees with $key"
  done
  local left
  left=$(find "$bats" -name '*.pacedeck-*' | head -1)
  [ -z "$left" ] || echo "left behind: $left"
}

# A start that nobody interrupts: it finishes or drops a Save cut short.
echo "[PACEDECK_MAIN]" >"$work/empty.txt"
settle() { wine "$setup" "$exe" "$(winpath "$work/empty.txt")" >/dev/null 2>&1; }

cat >"$work/first.txt" <<EOF
[PACEDECK_MAIN_SETTINGS]
PACEDECK_HOME_TEXTBOX = $(winpath "$work/pd")
press = CREATE_FOLDERS_BUTTON
press = OK_BUTTON
EOF
save_file 0 >>"$work/first.txt"
wine "$setup" "$exe" "$(winpath "$work/first.txt")" >/dev/null 2>&1 ||
  { echo "windows durability: the first set-up failed"; exit 2; }

# How long a whole Save takes here, from the start of the Wine process: the kills fall anywhere in it.
save_file 0 >"$work/save.txt"
start=$(date +%s%N)
wine "$setup" "$exe" "$(winpath "$work/save.txt")" >/dev/null 2>&1
span=$((($(date +%s%N) - start) / 1000000))
echo "== a Save under Wine takes $span ms from the start of its process; $tries kills within that"

kills=0 whole=0 broken=0 cut=0 journalled=0 staged=0
for ((i = 1; i <= tries; i++)); do
  save_file "$i" >"$work/save.txt"
  wine "$setup" "$exe" "$(winpath "$work/save.txt")" >/dev/null 2>&1 &
  pid=$!
  ms=$((RANDOM % span))
  sleep "$((ms / 1000)).$(printf '%03d' $((ms % 1000)))"
  kill -KILL "$pid" 2>/dev/null && cut=$((cut + 1))
  wait "$pid" 2>/dev/null
  kills=$((kills + 1))
  [ -n "$(find "$bats" -name '*.pacedeck-*' | head -1)" ] && staged=$((staged + 1))
  read_registry
  [ "$journals" = 0 ] || journalled=$((journalled + 1))
  settle
  read_registry
  problem=$(fault)
  if [ -z "$problem" ]; then
    whole=$((whole + 1))
  else
    broken=$((broken + 1))
    echo "!! try $i: $problem"
  fi
  ((i % 50)) || echo "== $i tries: $whole whole, $broken broken"
done
echo "windows durability: $cut Wine processes killed before they ended, $journalled left a journal and" \
  "$staged staged scripts for the next start"
echo "windows durability: $kills kills, $whole whole, $broken broken"
[ "$broken" -eq 0 ]
