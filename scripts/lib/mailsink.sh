# shellcheck shell=bash
# Sourced after scripts/lib/simcopy.sh by the scripts that mail a run's report: a local SMTP
# server of the caller's own, and what a stalled run should have mailed to it.

# Starts an SMTP server on 127.0.0.1 that keeps each message it receives as
# FOLDER/message-NNN.eml; sets sink_port and sink_pid, which the caller stops. Returns 1 when
# it did not start (its output is then in FOLDER.out).
# Usage: start_mail_sink FOLDER
start_mail_sink() {
  local folder=$1
  mkdir -p "$folder"
  sink_port=$(free_port) || return 1
  cat >"$folder.py" <<'END'
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
END
  # Debian's own python3, which has aiosmtpd (a python3 earlier on the PATH may not).
  /usr/bin/python3 "$folder.py" "$folder" "$sink_port" >"$folder.out" 2>&1 &
  sink_pid=$!
  for _ in $(seq 100); do [ -f "$folder/ready" ] && return 0; sleep 0.1; done
  return 1
}

# The set-up lines that make a copy give up on a node whose height stands for 30 seconds and
# mail its report to the sink at SINK_PORT; MAILER_LINE says which mailer sends it.
# Usage: stall_and_mail_setup SINK_PORT MAILER_LINE
stall_and_mail_setup() {
  printf '%s\n' "# The sync check gives up on a node whose height stands for 30 seconds.
[PACEDECK_CRYPTO_SETTINGS]
SYNC_CHECK_TICKBOX = 1
STALL_LIMIT_TEXTBOX = 00:00:30
press = SAVE_BUTTON
# The report goes by mail to the local sink.
[PACEDECK_EMAIL_MAIN_SETTINGS]
$2
SMTP_SERVER_ADDRESS_PORT_TEXTBOX = 127.0.0.1:$1
SEND_FROM_ADDRESS_TEXTBOX = node@example.org
SEND_TO_ADDRESS_TEXTBOX = me@example.org
press = OK_BUTTON"
}

# Waits a while for the first mail the sink received and prints its head; sets first_mail
# (empty when none came).
# Usage: show_first_mail SINK_FOLDER
show_first_mail() {
  for _ in $(seq 100); do ls "$1"/message-*.eml >/dev/null 2>&1 && break; sleep 0.2; done
  first_mail=$(ls "$1"/message-*.eml 2>/dev/null | head -n 1 || true)
  if [ -n "$first_mail" ]; then
    say "the alert mail as the SMTP sink received it ($first_mail), its head"
    tr -d '\r' <"$first_mail" | sed -n '1,/^$/p'
  fi
}

# Succeeds only when the report was written, both stamps read "!!! NODE STUCK !!!" and the
# first mail the sink received (printed) is the alert.
# Usage: tell_stuck_outcome REPORT RUN_STAMP BLOCKCOUNTER_STAMP SINK_FOLDER
tell_stuck_outcome() {
  local wanted="!!! NODE STUCK !!!"
  show_first_mail "$4"
  [ -f "$1" ] && [ "$2" = "$wanted" ] && [ "$3" = "$wanted" ] && [ -n "$first_mail" ] &&
    tr -d '\r' <"$first_mail" | grep -q '^Subject: PACEDECK - SIMCOIN - ALERT - NODE STUCK'
}
