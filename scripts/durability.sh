#!/usr/bin/env bash
# Kills pacedeck-setup with SIGKILL in the middle of every kind of Save, many times over, and
# checks after each kill, and the start that follows it, that every Save is whole: the settings
# store passes its integrity check, the keys each window keeps come from one Save, the files a
# Save writes (node and mail scripts, the .conf) agree with them, and no staged or half-written
# file is left.
#
# The kill moment is drawn inside the Save: each kind's window, in microseconds after the
# program starts, is learnt from where the kills land. A kill lands before the Save when
# nothing was written yet, after it when the Save is complete (or the program had ended), and
# mid-Save otherwise: the store's log or the copy's files were written, the Save not complete.
# Only mid-Save kills count towards the goal.
#
# Not part of the tests CI runs: it takes minutes. Last line:
# "durability: K kills, M mid-Save, W whole, T torn".
#
# usage: scripts/durability.sh [MID_SAVE_KILLS] [BUILD_FOLDER]
#   goes on until MID_SAVE_KILLS kills (default 1000) have landed mid-Save, the kinds of Save
#   taken in turn; exits 0 when that many landed and nothing was torn.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 2
target=${1:-1000}
build=$(cd "${2:-build}" && pwd)
setup="$build/app/setup/pacedeck-setup"
for tool in "$setup" "$(command -v sqlite3)"; do
  [ -x "$tool" ] || { echo "durability: $tool is missing"; exit 2; }
done

work=$(mktemp -d /tmp/pacedeck-durability-XXXXXX)
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/config"
mkdir -p "$HOME"
exe=DURABLE
home="$work/pd"
db="$XDG_CONFIG_HOME/SW_PACEDECK/settings.sqlite3"
shared=PACEDECK-SHARED-EMAIL-SETTINGS

# A sleep of microseconds without starting a process: a read that times out on a pipe.
mkfifo "$work/clock"
exec 9<>"$work/clock"
sleep_us() { read -r -t "$(printf '%d.%06d' $(($1 / 1000000)) $(($1 % 1000000)))" -u 9 _; }
now_us() { echo "${EPOCHREALTIME/./}"; }

# ---------------------------------------------------------------- what the checks read

# The whole store in one read: store[SECTION/KEY] (line breaks shown as \n).
declare -A store
load_store() {
  store=()
  local section key value
  while IFS=$'\t' read -r section key value; do
    store["$section/$key"]=$value
  done < <(sqlite3 -cmd ".timeout 5000" -separator $'\t' "$db" \
    "SELECT section, key, replace(value, char(10), '\\n') FROM settings")
}
stored() { echo "${store[${2:-$exe}/$1]-}"; } # KEY [SECTION]
script() { cat "$home/BATS/$exe-$1.sh" 2>/dev/null; }
leftovers() { find "$home" -name '*.pacedeck-*' | head -1; }
files_sum() { find "$home/BATS" "$home/CONFIGS" -type f -exec cat {} + 2>/dev/null | md5sum; }
# Whether the last run wrote anything: the store's log (gone after every clean run) or files.
written() { [ -s "$db-wal" ] || [ -n "$(leftovers)" ] || [ "$(files_sum)" != "$files_before" ]; }
two() { printf '%02d' "$1"; }

# ---------------------------------------------------------------- the Saves
# Each kind of Save has: file_KIND N, the set-up file of its Save number N; mark_KIND N, what
# Save N stores under its marker key; marker_KIND, the marker as stored; and faults_KIND,
# which names every key or file that does not belong to the Save the marker names.

file_crypto() {
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
mark_crypto() { echo "qt-$1"; }
marker_crypto() { stored QT_NAME_TEXTBOX; }
faults_crypto() {
  local n key stem
  n=$(marker_crypto)
  n=${n#qt-}
  [ "$(stored CRYPTO_NAME_TEXTBOX)" = "S$n" ] || echo "crypto name of another Save than $n"
  [ "$(stored BLOCKCHAIN_HOME_TEXTBOX)" = "/chain/$n" ] || echo "chain folder of another Save than $n"
  [ "$(stored DAEMOND_NAME_TEXTBOX)" = "d-$n" ] || echo "daemon name of another Save than $n"
  [ "$(stored DAEMONCLI_NAME_SETTINGS_TEXTBOX)" = "c-$n" ] || echo "cli name of another Save than $n"
  [[ $(stored SW_QT_COMMAND_TEXTBOX) == *"/qt-$n\" "*"-datadir=/chain/$n "* ]] || echo "qt command of another Save than $n"
  [[ $(stored SW_D_COMMAND_TEXTBOX) == *"/d-$n\" "*"-datadir=/chain/$n "* ]] || echo "daemon command of another Save than $n"
  [[ $(stored SWCLI_STOP_COMMAND_TEXTBOX) == *"/c-$n\" "* ]] || echo "cli stop command of another Save than $n"
  for pair in SW_QT_COMMAND_TEXTBOX:RUN-QT SW_D_COMMAND_TEXTBOX:RUN-DAEMON \
    SWCLI_STOP_COMMAND_TEXTBOX:RUN-CLI-STOP GETBLOCKCOUNT_COMMAND_SETTINGS_TEXTBOX:RUN-BLOCKCOUNTER-GBC \
    GETBLOCKCHAININFO_COMMAND_SETTINGS_TEXTBOX:RUN-BLOCKCHAININFO \
    GETCONNECTIONCOUNT_COMMAND_SETTINGS_TEXTBOX:RUN-CONNECTIONCOUNT; do
    key=${pair%%:*} stem=${pair#*:}
    [ "$(script "$stem")" = "$(stored "$key")" ] || echo "$exe-$stem.sh disagrees with $key"
  done
}

file_confgen() {
  cat <<EOF
[PACEDECK_CONF_GENERATOR_MAIN]
UACOMMENT_TEXTBOX = u$1
RPC_USER_TEXTBOX = r$1
RPC_PASSWORD_TEXTBOX = p$1
PEER_PORT_TEXTBOX = $((10000 + $1))
press = SAVE_BUTTON
EOF
}
mark_confgen() { echo "r$1"; }
marker_confgen() { stored RPC_USER_TEXTBOX; }
faults_confgen() {
  local n line conf="$home/CONFIGS/$exe-CRYPTO-CONFIG.conf"
  n=$(marker_confgen)
  n=${n#r}
  [ "$(stored UACOMMENT_TEXTBOX)" = "u$n" ] || echo "user agent comment of another Save than $n"
  [ "$(stored RPC_PASSWORD_TEXTBOX)" = "p$n" ] || echo "RPC password of another Save than $n"
  [ "$(stored PEER_PORT_TEXTBOX)" = "$((10000 + n))" ] || echo "peer port of another Save than $n"
  for line in "uacomment=u$n" "rpcuser=r$n" "rpcpassword=p$n" "port=$((10000 + n))"; do
    grep -qxF "$line" "$conf" 2>/dev/null || echo "the .conf lacks $line of Save $n"
  done
}

file_email() {
  cat <<EOF
[PACEDECK_EMAIL_MAIN_SETTINGS]
SMTP_USERNAME_TEXTBOX = u$1
SMTP_PASSWORD_TEXTBOX = p$1
SEND_TO_ADDRESS_TEXTBOX = t$1@example.org
press = OK_BUTTON
EOF
}
mark_email() { echo "u$1"; }
marker_email() { stored SMTP_USERNAME_TEXTBOX; }
faults_email() {
  local n stem
  n=$(marker_email)
  n=${n#u}
  [ "$(stored SMTP_PASSWORD_TEXTBOX)" = "p$n" ] || echo "mail password of another Save than $n"
  [ "$(stored SEND_TO_ADDRESS_TEXTBOX)" = "t$n@example.org" ] || echo "mail recipient of another Save than $n"
  [ "$(script START-EMAIL)" = "$(stored EMAIL_OUTPUT_START_COMMAND_TEXTBOX)" ] || echo "$exe-START-EMAIL.sh disagrees with its command"
  [ "$(script END-REPORT-EMAIL)" = "$(stored EMAIL_OUTPUT_END_COMMAND_TEXTBOX)" ] || echo "$exe-END-REPORT-EMAIL.sh disagrees with its command"
  for stem in START-EMAIL END-REPORT-EMAIL STUCK-ALERT-EMAIL; do
    [[ $(script "$stem") == *"-t \"t$n@example.org\" "*"-xp \"p$n\" "* ]] || echo "$exe-$stem.sh is not of Save $n"
  done
}

file_shared() {
  cat <<EOF
[PACEDECK_EMAIL_SHARED_SETTINGS]
SMTP_SERVER_ADDRESS_PORT_TEXTBOX = s$1:25
SMTP_USERNAME_TEXTBOX = su$1
SMTP_PASSWORD_TEXTBOX = sp$1
SEND_FROM_ADDRESS_TEXTBOX = f$1@example.org
press = OK_BUTTON
EOF
}
mark_shared() { echo "su$1"; }
marker_shared() { stored SMTP_USERNAME_TEXTBOX "$shared"; }
faults_shared() {
  local n
  n=$(marker_shared)
  n=${n#su}
  [ "$(stored SMTP_SERVER_ADDRESS_PORT_TEXTBOX "$shared")" = "s$n:25" ] || echo "shared server of another Save than $n"
  [ "$(stored SMTP_PASSWORD_TEXTBOX "$shared")" = "sp$n" ] || echo "shared password of another Save than $n"
  [ "$(stored SEND_FROM_ADDRESS_TEXTBOX "$shared")" = "f$n@example.org" ] || echo "shared sender of another Save than $n"
}

# The run time says the Save (minutes of the day); the day follows from it.
days=(MON TUE WED THU FRI SAT SUN)
run_time() { echo "$(two $(($1 % 1440 / 60))):$(two $(($1 % 60)))"; }
file_scheduler() {
  cat <<EOF
[PACEDECK_SCHEDULER_WINDOW]
TASK_RUN_TIME_TEXTBOX = $(run_time "$1")
${days[$1 % 1440 % 7]}_TICKBOX = 1
press = OK_BUTTON
EOF
}
mark_scheduler() { run_time "$1"; }
marker_scheduler() { stored TASK_RUN_TIME_TEXTBOX; }
faults_scheduler() {
  local t minutes d
  t=$(marker_scheduler)
  minutes=$((10#${t%:*} * 60 + 10#${t#*:}))
  for d in "${!days[@]}"; do
    [ "$(stored "${days[d]}_TICKBOX")" = "$((d == minutes % 7))" ] || echo "${days[d]} of another Save than $t"
  done
}

# Its other key, the action, is also kept at the click of its tick: only the countdown is the OK's own.
count_down() { echo "00:$(two $(($1 % 3600 / 60))):$(two $(($1 % 60)))"; }
file_power() {
  cat <<EOF
[PACEDECK_POWER_AUTOTIMER_SETTINGS]
CLOSE_REQUEST_COUNTDOWN_TEXTBOX = $(count_down "$1")
press = OK_BUTTON
EOF
}
mark_power() { count_down "$1"; }
marker_power() { stored CLOSE_REQUEST_COUNTDOWN_TEXTBOX; }
faults_power() { [[ $(marker_power) =~ ^00:[0-5][0-9]:[0-5][0-9]$ ]] || echo "countdown $(marker_power) is no time"; }

# The main window's choices, kept with its close box at the end of a set-up file: the run
# interval says the Save, three stage ticks its last three bits.
stages=(TASK_2_ENABLE_TICKBOX TASK_4_ENABLE_TICKBOX TASK_8_ENABLE_TICKBOX)
file_main() {
  local b
  echo "[PACEDECK_MAIN]"
  echo "USER_COUNT_TIME_TEXTBOX = $(count_down "$1")"
  for b in 0 1 2; do echo "${stages[b]} = $(($1 % 3600 >> b & 1))"; done
}
mark_main() { count_down "$1"; }
marker_main() { stored USER_COUNT_TIME_TEXTBOX; }
faults_main() {
  local t n b
  t=$(marker_main)
  n=$((10#${t:3:2} * 60 + 10#${t:6:2}))
  for b in 0 1 2; do
    [ "$(stored "${stages[b]}")" = "$((n >> b & 1))" ] || echo "${stages[b]} of another Save than $t"
  done
}

kinds=(crypto confgen email shared scheduler power main)

# ---------------------------------------------------------------- one try

# A start that nobody interrupts: it finishes or undoes a Save cut short.
settle() {
  echo "[PACEDECK_MAIN]" >"$work/start.txt"
  "$setup" "$exe" "$work/start.txt" >/dev/null 2>&1
}

# Why the store and the files are not whole, after the start that follows a kill; or nothing.
faults() {
  local check kind left
  check=$(sqlite3 -cmd ".timeout 5000" "$db" "PRAGMA integrity_check" 2>&1)
  [ "$check" = ok ] || { echo "integrity: $check"; return; }
  load_store
  for kind in "${kinds[@]}"; do "faults_$kind"; done
  left=$(leftovers)
  [ -z "$left" ] || echo "left behind: $left"
}

# Whether Save N of KIND is complete: its marker stored, everything agreeing, nothing staged.
complete() {
  load_store
  [ "$("marker_$1")" = "$("mark_$1" "$2")" ] && [ -z "$("faults_$1")" ] && [ -z "$(leftovers)" ]
}

cat >"$work/first.txt" <<EOF
[PACEDECK_MAIN_SETTINGS]
PACEDECK_HOME_TEXTBOX = $home
press = CREATE_FOLDERS_BUTTON
press = OK_BUTTON
EOF
for kind in "${kinds[@]}"; do "file_$kind" 0 >>"$work/first.txt"; done
"$setup" "$exe" "$work/first.txt" >/dev/null || { echo "durability: the first set-up failed"; exit 2; }

# Each kind's window starts as its whole run, the longest of three.
declare -A lo hi mids kills torn
save=0
for kind in "${kinds[@]}"; do
  longest=0
  for _ in 1 2 3; do
    save=$((save + 1))
    "file_$kind" "$save" >"$work/save.txt"
    start=$(now_us)
    "$setup" "$exe" "$work/save.txt" >/dev/null 2>&1 || { echo "durability: a $kind Save failed"; exit 2; }
    took=$(($(now_us) - start))
    ((took > longest)) && longest=$took
  done
  lo[$kind]=0 hi[$kind]=$longest mids[$kind]=0 kills[$kind]=0 torn[$kind]=0
done

total=0 mid=0 whole=0 broken=0
while ((mid < target && total < target * 20)); do
  kind=${kinds[total % ${#kinds[@]}]}
  save=$((save + 1))
  "file_$kind" "$save" >"$work/save.txt"
  files_before=$(files_sum)
  span=$((hi[$kind] - lo[$kind]))
  at=$((lo[$kind] + (RANDOM * 32768 + RANDOM) % (span + 1)))
  "$setup" "$exe" "$work/save.txt" >/dev/null 2>&1 &
  pid=$!
  sleep_us "$at"
  killed=0
  kill -KILL "$pid" 2>/dev/null && killed=1
  wait "$pid" 2>/dev/null
  total=$((total + 1)) kills[$kind]=$((kills[$kind] + 1))

  # Where the kill landed, and the window moved towards the Save. (What was written is looked
  # at first: reading the store folds its log into it.)
  began=0
  written && began=1
  if ((!killed)) || complete "$kind" "$save"; then
    hi[$kind]=$((hi[$kind] - (hi[$kind] - at) / 2))
  elif ((!began)); then
    lo[$kind]=$((lo[$kind] + (at - lo[$kind]) / 2))
  else
    mid=$((mid + 1)) mids[$kind]=$((mids[$kind] + 1))
    lo[$kind]=$((lo[$kind] - span / 20)) hi[$kind]=$((hi[$kind] + span / 20))
  fi
  ((lo[$kind] < 0)) && lo[$kind]=0
  ((hi[$kind] - lo[$kind] < 2000)) && lo[$kind]=$((lo[$kind] > 1000 ? lo[$kind] - 1000 : 0)) hi[$kind]=$((hi[$kind] + 1000))

  settle
  fault=$(faults)
  if [ -z "$fault" ]; then
    whole=$((whole + 1))
  else
    broken=$((broken + 1)) torn[$kind]=$((torn[$kind] + 1))
    echo "!! try $total ($kind Save $save): $fault"
    # The next try starts from a whole store and whole files.
    "file_$kind" "$save" >"$work/save.txt"
    "$setup" "$exe" "$work/save.txt" >/dev/null 2>&1
  fi
  ((total % 100)) || echo "== $total kills: $mid mid-Save, $whole whole, $broken torn"
done

for kind in "${kinds[@]}"; do
  echo "durability: $kind: ${kills[$kind]} kills, ${mids[$kind]} mid-Save, ${torn[$kind]} torn" \
    "(window $((lo[$kind] / 1000))-$((hi[$kind] / 1000)) ms after the start)"
done
echo "durability: $total kills, $mid mid-Save, $whole whole, $broken torn"
[ "$broken" -eq 0 ] && [ "$mid" -ge "$target" ]
