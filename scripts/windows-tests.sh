#!/usr/bin/env bash
# Builds the core, the behaviour tests, the Windows platform, the simulated node and their
# tests, PACEDECK.exe, its front end's tests and the installer for Windows with mingw-w64
# (scripts/windows-build.sh) and runs them under Wine in a fresh prefix; the front end's tests
# show their windows on an X server of their own (Xvfb) and leave a screenshot of every window
# in build-windows/tests/wingui/screens. Then a whole unattended run of PACEDECK.exe against
# the simulated node on that X server (scripts/windows-run.sh), pacedeck-setup.exe applies a
# script and Wine's reg.exe finds the values in the registry, and the installer installs into
# a fresh prefix and uninstalls. Last line: "windows: N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.."
out="$(pwd)/build-windows"

fail() { echo "!! windows: $*"; echo "windows: 0 passed, 1 failed"; exit 1; }

scripts/windows-build.sh || fail "the build failed"

exe="$out/tests/pacedeck_tests.exe"
[ -f "$exe" ] || fail "no test program was built"

echo "== windows: running the tests under Wine"
prefix=$(mktemp -d /tmp/pacedeck-wine.XXXXXX)
xvfb_pid=
# Only our own Wine and our own X server are stopped.
trap 'wineserver -k >/dev/null 2>&1; [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; rm -rf "$prefix"' EXIT
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
good=0
bad=0
status=0
# Runs one GoogleTest program under Wine and adds its counts.
run_gtest() {
  local exe=$1 name
  name=$(basename "$exe" .exe)
  [ -f "$exe" ] || { echo "!! windows: $name was not built"; bad=$((bad + 1)); status=1; return; }
  local xml="$out/$name-results.xml" log="$out/$name.wine.log"
  rm -f "$xml"
  # Wine shows the root of the Linux file system as drive Z:.
  timeout 900 wine "$exe" --gtest_output="xml:Z:${xml//\//\\}" >"$log" 2>&1
  local rc=$?
  tail -n 3 "$log"
  if [ ! -f "$xml" ]; then
    echo "!! windows: $name did not finish under Wine (exit $rc)"
    bad=$((bad + 1)); status=1; return
  fi
  local total failures errors disabled
  total=$(grep -o 'tests="[0-9]*"' "$xml" | head -n 1 | grep -o '[0-9]*')
  failures=$(grep -o 'failures="[0-9]*"' "$xml" | head -n 1 | grep -o '[0-9]*')
  errors=$(grep -o 'errors="[0-9]*"' "$xml" | head -n 1 | grep -o '[0-9]*')
  disabled=$(grep -o 'disabled="[0-9]*"' "$xml" | head -n 1 | grep -o '[0-9]*')
  bad=$((bad + failures + errors))
  good=$((good + total - failures - errors - disabled))
  grep -aE "^\[  FAILED  \]" "$log" | head -n 20
  [ $rc -eq 0 ] && [ $((failures + errors)) -eq 0 ] || status=1
}
run_gtest "$out/tests/pacedeck_tests.exe"
run_gtest "$out/tests/pacedeck_windows_tests.exe"

# The front end's windows need a display: an X server on a free display number of our own.
. scripts/lib/xvfb.sh
echo "== windows: PACEDECK.exe's windows on an X server of our own"
if command -v Xvfb >/dev/null && start_xvfb; then
  # Wine's desktop process keeps the display it started with: a new one starts on ours.
  wineserver -k >/dev/null 2>&1; wineserver -w >/dev/null 2>&1
  DISPLAY=$display run_gtest "$out/tests/wingui/pacedeck_wingui_tests.exe"
  echo "   screenshots: $out/tests/wingui/screens"
else
  echo "!! windows: no X server could be started for the front end's tests"; bad=$((bad + 1)); status=1
fi

# End to end: a copy set up by pacedeck-setup.exe runs PACEDECK.exe on that X server against
# the simulated node through its .bat files, to the end report and the success stamps.
echo "== windows: a whole unattended run of PACEDECK.exe"
if [ -n "$xvfb_pid" ]; then
  e2e=$(mktemp -d /tmp/pacedeck-e2e.XXXXXX)
  if DISPLAY=$display timeout 600 scripts/windows-run.sh "$e2e/run" "E2E$$" 300 >"$e2e.log" 2>&1; then
    grep -E "^== (E2E.* closed itself|last run)" "$e2e.log" | sed 's/^== /   /'
    good=$((good + 1))
  else
    cat "$e2e.log"; bad=$((bad + 1)); status=1
  fi
  rm -rf "$e2e" "$e2e.log"
else
  echo "!! windows: no X server for the whole run"; bad=$((bad + 1)); status=1
fi

# The set-up program writes the copy's settings to the registry, where reg.exe finds them.
echo "== windows: pacedeck-setup.exe and the registry"
scratch=$(mktemp -d /tmp/pacedeck-setup.XXXXXX)
mkdir -p "$scratch/home"
winhome="Z:${scratch//\//\\}\\home"
printf '%s\r\n' "[PACEDECK_MAIN_SETTINGS]" "PACEDECK_HOME_TEXTBOX = $winhome" "press = CREATE_FOLDERS_BUTTON" \
  "press = OK_BUTTON" "[PACEDECK_CRYPTO_SETTINGS]" "CRYPTO_NAME_TEXTBOX = Demo Coin 100% \"quoted\"" \
  "QT_LOCATION_TEXTBOX = C:\\Coins & Co" "QT_NAME_TEXTBOX = coin-qt.exe" "press = SAVE_BUTTON" >"$scratch/setup.txt"
setup_ok=1
wine "$out/app/setup/pacedeck-setup.exe" "SETUP COPY" "Z:${scratch//\//\\}\\setup.txt" >"$scratch/setup.log" 2>&1 ||
  { cat "$scratch/setup.log"; setup_ok=0; }
wine reg query 'HKCU\Software\SW_PACEDECK\SETUP COPY' >"$scratch/reg.txt" 2>&1
for expected in "PACEDECK_HOME_TEXTBOX    REG_SZ    $winhome" \
                'CRYPTO_NAME_TEXTBOX    REG_SZ    Demo Coin 100% "quoted"' \
                'SW_QT_COMMAND_TEXTBOX    REG_SZ    call "C:\Coins & Co\coin-qt.exe"'; do
  grep -qF -- "$expected" "$scratch/reg.txt" || { echo "!! windows: reg query lacks: $expected"; setup_ok=0; }
done
[ -f "$scratch/home/BATS/SETUP COPY-RUN-QT.bat" ] || { echo "!! windows: no RUN-QT.bat written"; setup_ok=0; }
if [ $setup_ok -eq 1 ]; then good=$((good + 1)); else cat "$scratch/reg.txt"; bad=$((bad + 1)); status=1; fi
rm -rf "$scratch"

# The installer: silent install into a fresh prefix, the installed programs start, the
# uninstaller removes the programs and keeps the user's settings.
echo "== windows: the installer in a fresh prefix"
installer=$(ls "$out"/PACEDECK-*-setup.exe 2>/dev/null | head -n 1)
inst_ok=1
if [ -z "$installer" ]; then
  echo "!! windows: no installer was built"; inst_ok=0
else
  echo "   $(basename "$installer"): $(($(stat -c %s "$installer") / 1024)) KiB"
  iprefix=$(mktemp -d /tmp/pacedeck-wine-install.XXXXXX)
  (
    export WINEPREFIX="$iprefix"
    timeout 300 wine "$installer" /S >/dev/null 2>&1 || { echo "!! windows: the installer failed"; exit 1; }
    dir=$(ls -d "$iprefix"/drive_c/users/*/AppData/Local/Programs/PACEDECK 2>/dev/null)
    menu=$(ls -d "$iprefix"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs/PACEDECK 2>/dev/null)
    for f in "$dir/PACEDECK.exe" "$dir/pacedeck-setup.exe" "$dir/uninstall.exe" "$menu/PACEDECK.lnk"; do
      [ -f "$f" ] || { echo "!! windows: not installed: $f"; exit 1; }
    done
    for p in PACEDECK pacedeck-setup; do
      v=$(timeout 60 wine "$dir/$p.exe" --version 2>/dev/null | tr -d '\r')
      case "$v" in *1.*) ;; *) echo "!! windows: the installed $p.exe did not start: '$v'"; exit 1 ;; esac
    done
    wine reg add 'HKCU\Software\SW_PACEDECK\BTC' /v CRYPTO_NAME_TEXTBOX /d Bitcoin /f >/dev/null 2>&1
    # _?= runs the uninstaller in place, so the call returns when it has finished.
    timeout 120 wine "$dir/uninstall.exe" /S "_?=$(winepath -w "$dir")" >/dev/null 2>&1
    [ ! -e "$dir/PACEDECK.exe" ] && [ ! -e "$menu/PACEDECK.lnk" ] ||
      { echo "!! windows: the uninstaller left the program behind"; exit 1; }
    wine reg query 'HKCU\Software\SW_PACEDECK\BTC' /v CRYPTO_NAME_TEXTBOX 2>/dev/null | grep -q Bitcoin ||
      { echo "!! windows: the uninstaller removed the user's settings"; exit 1; }
    wineserver -k >/dev/null 2>&1
  ) || inst_ok=0
  rm -rf "$iprefix"
fi
if [ $inst_ok -eq 1 ]; then good=$((good + 1)); else bad=$((bad + 1)); status=1; fi

echo "windows: ${good} passed, ${bad} failed"
exit $status
