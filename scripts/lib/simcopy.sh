# shellcheck shell=bash
# Sourced by scripts/demo.sh and scripts/windows-run.sh: what a run of a copy against the
# simulated node needs on either system; scripts/lib/litecoin.sh takes the shared helpers too.

# A port nothing listens on, for the node's RPC server.
free_port() {
  local candidate
  for candidate in $(shuf -i 20000-60000 -n 20); do
    if ! (exec 3<>"/dev/tcp/127.0.0.1/$candidate") 2>/dev/null; then echo "$candidate"; return 0; fi
  done
  echo "no free port found" >&2
  return 1
}

# The simulation in the node's data folder: a new chain at START catches up to TARGET at 5
# blocks a second after a 2-second start-up, and a stop takes a second.
# Usage: write_sim_settings NODE_FOLDER START TARGET
write_sim_settings() {
  cat >"$1/simcoin.conf" <<END
start_height=$2
target=$3
rate=5
startup_delay=2
stop_delay=1
END
}

# A value for a set-up file, in quotes: a backslash and a quote are escaped there.
setup_value() {
  local v=${1//\\/\\\\}
  printf '"%s"' "${v//\"/\\\"}"
}

# The set-up file for pacedeck-setup: the home folder and its sub-folders, the node's
# configuration file from the conf generator (a test RPC login on PORT), the simulated node's
# programs and data folder, the daemon, the blockcounter polling every 5 seconds until the
# readings hold, cli stop, autostart and autoclose, no e-mail.
# Usage: write_copy_setup FILE HOME NODE_FOLDER PROGRAMS_FOLDER QT_NAME DAEMON_NAME CLI_NAME PORT
write_copy_setup() {
  {
    setup_home_sections "$2"
    cat <<END

# The node's configuration file: basic settings, a test RPC login, a free port.
[PACEDECK_CONF_GENERATOR_IDS]
IMPORT_SETTINGS_TICKBOX = 1
press = BASIC_SETTINGS_BUTTON
[PACEDECK_CONF_GENERATOR_TEST_RPC]
press = TEST_CFG_1_BUTTON
press = USE_CURRENT_CREDENTIALS_BUTTON
[PACEDECK_CONF_GENERATOR_MAIN]
CRYPTO_NAME_TEXTBOX = SIMCOIN
RPC_PORT_TEXTBOX = $8
press = SAVE_BUTTON

# The simulated node's programs and its data folder.
[PACEDECK_CRYPTO_SETTINGS]
CRYPTO_NAME_TEXTBOX = SIMCOIN
BLOCKCHAIN_HOME_TEXTBOX = $(setup_value "$3")
QT_LOCATION_TEXTBOX = $(setup_value "$4")
QT_NAME_TEXTBOX = $5
DAEMON_CLI_LOCATION_TEXTBOX = $(setup_value "$4")
DAEMOND_NAME_TEXTBOX = $6
DAEMONCLI_NAME_SETTINGS_TEXTBOX = $7
press = SAVE_BUTTON
${9:-}

# The run: daemon, blockcounter polling every 5 seconds until readings stay the same,
# cli stop, no e-mail, start by itself and close by itself.
[PACEDECK_MAIN]
RUN_DAEMON_TICKBOX = 1
TASK_8_ENABLE_TICKBOX = 1
FINISH_WHEN_IDENTICAL_TICKBOX = 1
USER_COUNT_TIME_TEXTBOX = 00:00:05
TASK_11_ENABLE_TICKBOX = 1
TASK_4_ENABLE_TICKBOX = 0
TASK_17_ENABLE_TICKBOX = ${10:-0}
TASK_19_ENABLE_TICKBOX = 1
AUTOSTART_TICKBOX = 1
press = EXIT_BUTTON
END
  } >"$1"
}

# The first sections of a copy's set-up file: the home folder HOME and its sub-folders, and
# once they exist, the run's start from the block count the last run left.
setup_home_sections() {
  cat <<END
# The home folder and its sub-folders.
[PACEDECK_MAIN_SETTINGS]
PACEDECK_HOME_TEXTBOX = $(setup_value "$1")
press = CREATE_FOLDERS_BUTTON
press = OK_BUTTON
# Once the folders exist: start from the block count the last run left.
[PACEDECK_MAIN_SETTINGS]
AUTOLOAD_BLOCKCOUNT_FILE_TICKBOX = 1
press = OK_BUTTON
END
}

say() { printf '== %s\n' "$*"; }

# Prints the end report, the two stamps and where the run's files are; succeeds only when
# the report was written and both stamps read "!!! COMPLETED SUCCESSFULLY !!!".
# Usage: tell_outcome REPORT RUN_STAMP BLOCKCOUNTER_STAMP HOME NODE_FOLDER SETTINGS OUTPUT
tell_outcome() {
  if [ -f "$1" ]; then
    say "end report ($1)"
    tr -d '\r' <"$1"
  fi
  say "last run: $2; blockcounter: $3"
  cat <<END
== files
   PACEDECK home folder:  $4 (BATS, BLOCKCOUNTS, CONFIGS, LOGS, REPORTS)
   node data folder:      $5 (debug.log, height, blocks/)
   settings store:        $6
   program output:        $7
END
  local complete="!!! COMPLETED SUCCESSFULLY !!!"
  [ -f "$1" ] && [ "$2" = "$complete" ] && [ "$3" = "$complete" ]
}

# What can be seen of a run from outside, into blockcount and height: the last reading the
# blockcounter's cli wrote to COUNT_FILE (rewritten on each poll, so an empty moment keeps the
# reading before) and the node's height in NODE_FOLDER ("?" before its first start).
# Usage: read_progress COUNT_FILE NODE_FOLDER
read_progress() {
  local reading
  reading=$(tr -d '\r\n' <"$1" 2>/dev/null || true)
  [ -z "$reading" ] || blockcount=$reading
  height=$(cat "$2/height" 2>/dev/null || echo '?')
}

# Prints STATE after the seconds since the start, when it changed or every 10 seconds.
tell_state() {
  if [ "$1" != "${last_state:-}" ] || [ $((SECONDS - ${shown:-0})) -ge 10 ]; then
    printf '   %3ss  %s\n' "$SECONDS" "$1"
    last_state=$1
    shown=$SECONDS
  fi
}
