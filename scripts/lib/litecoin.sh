# shellcheck shell=bash
# The real coin node on this machine: Debian's litecoind, litecoin-qt and litecoin-cli on a
# private regtest network over loopback, no internet. Two nodes: A, the peer that holds the
# chain (it mines it), and B, the node of the copy of PACEDECK under test, which catches up
# from A. B reaches A only through scripts/lib/netlink.py, the cable that can be cut.
#
# Sourced by scripts/demo.sh; the real-node tests run the same functions as
#   scripts/lib/litecoin.sh FUNCTION ARGUMENT...
# so the demo and the tests set nodes up the same way.
#
# Every node runs a copy of the program under a name of its own (the kernel names a process
# after its file): a run that knows its node by name can take no other node for it, and the
# tests can run side by side and beside any other litecoind. Names are kept to 11 characters,
# so that "NAME-cli" stays within the kernel's 15.
#
# The callers set HOME to a folder of their own: the node programs keep their defaults there.

. "$(dirname "${BASH_SOURCE[0]}")/simcopy.sh"

ltc_daemon=/usr/lib/litecoin/litecoind
ltc_qt=/usr/lib/litecoin/litecoin-qt
ltc_cli=/usr/bin/litecoin-cli
# Without this, regtest's MWEB activates at height 432 and block templates stop there.
ltc_chain_rules='vbparams=mweb:-2:0'

# Copies the node programs into FOLDER as NAMEd (the daemon), NAME-cli and, with "qt",
# NAME-qt (the wallet program; Debian's /usr/bin/litecoin is a wrapper that execs it).
# Usage: ltc_programs FOLDER NAME [qt]
ltc_programs() {
  mkdir -p "$1"
  cp "$ltc_daemon" "$1/$2d"
  cp "$ltc_cli" "$1/$2-cli"
  if [ "${3:-}" = qt ]; then cp "$ltc_qt" "$1/$2-qt"; fi
}

# The configuration of node A, the peer: RPC and P2P on loopback ports of the caller's
# choice (the onion service's port too: unset, it would be a fixed port shared by every node
# on the machine), no wallet, no other peers.
# Usage: ltc_peer_conf FILE RPC_PORT P2P_PORT ONION_PORT
ltc_peer_conf() {
  cat >"$1" <<END
regtest=1
[regtest]
server=1
rpcuser=peer
rpcpassword=peer-$RANDOM$RANDOM
rpcport=$2
rpcbind=127.0.0.1
rpcallowip=127.0.0.1
port=$3
listen=1
bind=127.0.0.1:$3
bind=127.0.0.1:$4=onion
listenonion=0
dnsseed=0
disablewallet=1
$ltc_chain_rules
END
}

# Runs a node in the foreground in place of the shell, its output appended to OUTPUT.
# Usage: ltc_run PROGRAM CONF DATADIR OUTPUT
ltc_run() {
  mkdir -p "$3"
  exec "$1" "-conf=$2" "-datadir=$3" >>"$4" 2>&1
}

# Waits until the node answers its cli (the warm-up's error -28 over); fails after SECONDS.
# Usage: ltc_wait_ready CONF SECONDS
ltc_wait_ready() {
  local end=$((SECONDS + $2))
  until "$ltc_cli" "-conf=$1" getblockcount >/dev/null 2>&1; do
    [ "$SECONDS" -lt "$end" ] || { echo "the node of $1 did not answer within $2 s" >&2; return 1; }
    sleep 0.2
  done
}

# Mines BLOCKS blocks on the node, paid to a script anyone can spend (no wallet needed).
# Usage: ltc_mine CONF BLOCKS
ltc_mine() {
  "$ltc_cli" "-conf=$1" -rpcclienttimeout=600 generatetodescriptor "$2" 'raw(51)' >/dev/null
}

# The lines a copy's own node gets in the conf generator's user-defined settings: the
# regtest chain, its RPC port, no listening, PEER its only peer ("0": none), no wallet.
# The preset's port, rpcport and wallet lines stand in the file's top section, where the node
# takes them for the main network and refuses to start on regtest unless its [regtest]
# section sets them again.
# Usage: ltc_regtest_lines RPC_PORT P2P_PORT PEER
ltc_regtest_lines() {
  printf '%s\n' regtest=1 '[regtest]' "rpcport=$1" "port=$2" listen=0 "connect=$3" disablewallet=1 wallet= \
    "$ltc_chain_rules"
}

# The set-up file for pacedeck-setup that makes a copy of PACEDECK watch its own node B:
#   - the home folder and its sub-folders; the last block count is loaded at start;
#   - the node's conf from the conf generator: basic settings, the LTC preset, a TEST RPC
#     login, and the regtest lines in the user-defined settings;
#   - the crypto settings: the programs NAMEd / NAME-qt / NAME-cli in PROGRAMS, the data
#     folder DATADIR;
#   - EXTRA: more sections (the stall limit, the e-mail settings ...), applied before the main
#     window's, which closes the set-up;
#   - the run: the daemon (or with MODE "qt" the wallet program), the blockcounter polling until
#     the readings hold, cli stop, autoclose; TICKS: more [PACEDECK_MAIN] lines, which win.
# Usage: write_ltc_copy_setup FILE HOME DATADIR PROGRAMS NAME RPC_PORT P2P_PORT PEER [MODE] [EXTRA] [TICKS]
write_ltc_copy_setup() {
  # Only the node program that runs is ticked: ticking one greys the other.
  local node=RUN_DAEMON_TICKBOX
  [ "${9:-daemon}" = qt ] && node=RUN_QT_TICKBOX
  local lines
  lines=$(ltc_regtest_lines "$6" "$7" "$8")
  lines=${lines//$'\n'/\\n}
  {
    setup_home_sections "$2"
    cat <<END

# The node's configuration file: the LTC preset, a test RPC login, the regtest lines.
[PACEDECK_CONF_GENERATOR_IDS]
IMPORT_SETTINGS_TICKBOX = 1
press = BASIC_SETTINGS_BUTTON
press = LTC_IMPORT_BUTTON
[PACEDECK_CONF_GENERATOR_TEST_RPC]
press = TEST_CFG_1_BUTTON
press = USE_CURRENT_CREDENTIALS_BUTTON
[PACEDECK_CONF_GENERATOR_MAIN]
USER_DEFINED_SETTINGS_TEXTBOX = "$lines"
press = SAVE_BUTTON

# Litecoin's programs under this copy's own names, and the node's data folder.
[PACEDECK_CRYPTO_SETTINGS]
CRYPTO_NAME_TEXTBOX = LTC
BLOCKCHAIN_HOME_TEXTBOX = $(setup_value "$3")
QT_LOCATION_TEXTBOX = $(setup_value "$4")
QT_NAME_TEXTBOX = $5-qt
DAEMON_CLI_LOCATION_TEXTBOX = $(setup_value "$4")
DAEMOND_NAME_TEXTBOX = $5d
DAEMONCLI_NAME_SETTINGS_TEXTBOX = $5-cli
press = SAVE_BUTTON
${10:-}

# The run: the node, the blockcounter until the readings hold, cli stop, autoclose.
[PACEDECK_MAIN]
ALWAYS_ON_TOP_TICKBOX = 0
$node = 1
TASK_8_ENABLE_TICKBOX = 1
FINISH_WHEN_IDENTICAL_TICKBOX = 1
USER_COUNT_TIME_TEXTBOX = 00:00:05
TASK_11_ENABLE_TICKBOX = 1
TASK_4_ENABLE_TICKBOX = 0
TASK_17_ENABLE_TICKBOX = 0
TASK_19_ENABLE_TICKBOX = 1
${11:-}
press = EXIT_BUTTON
END
  } >"$1"
}

# Run as a program: the function named by the first argument.
if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -euo pipefail
  "$@"
fi
