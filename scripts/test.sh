#!/usr/bin/env bash
# Builds PACEDECK and runs every test: the normal build, whole runs against Debian's real
# litecoind and litecoin-qt, the same tests (but the real-node runs) under AddressSanitizer +
# UBSan, the Debian package, and the behaviour tests of the Windows build under Wine; before
# them, the format and layer checks.
# Ends with one summary line "N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc 2>/dev/null || echo 2)

scripts/deps.sh test || exit 1

passed=0
failed=0
status=0

# Runs ctest in a build folder, its output into LOG; more arguments go to ctest (a later -j
# wins). Returns ctest's status.
ctest_into() {
  local dir=$1 log=$2
  shift 2
  (cd "$dir" && ctest --output-on-failure -j"$jobs" "$@") >"$log" 2>&1
}

# Shows the end of a ctest LOG and adds its counts to the totals; RC is ctest's status.
tally_ctest() {
  local log=$1 rc=$2
  tail -n 25 "$log"
  local line
  line=$(grep -E "tests passed, [0-9]+ tests failed out of [0-9]+" "$log" | tail -n 1)
  if [ -n "$line" ]; then
    local total fails
    total=$(echo "$line" | sed -E 's/.* out of ([0-9]+).*/\1/')
    fails=$(echo "$line" | sed -E 's/.* ([0-9]+) tests failed.*/\1/')
    passed=$((passed + total - fails))
    failed=$((failed + fails))
  elif [ "$rc" -ne 0 ]; then
    failed=$((failed + 1))
  fi
  [ "$rc" -eq 0 ] || status=1
}

# Runs ctest in a build folder and adds its counts to the totals.
run_ctest() {
  local dir=$1 label=$2
  shift 2
  local log="$dir/ctest-${label// /-}.log"
  echo "== $label: running tests"
  ctest_into "$dir" "$log" "$@"
  tally_ctest "$log" $?
}

build() {
  local dir=$1 label=$2
  shift 2
  echo "== $label: configuring and building in $dir"
  if ! cmake -S "$root" -B "$dir" -G Ninja "$@" >"$dir.configure.log" 2>&1; then
    cat "$dir.configure.log"
    echo "!! $label: configuration failed"
    failed=$((failed + 1)); status=1; return 1
  fi
  if ! cmake --build "$dir" -j"$jobs" >"$dir.build.log" 2>&1; then
    grep -E "error|Error" "$dir.build.log" | head -n 40
    echo "!! $label: build failed (full log: $dir.build.log)"
    failed=$((failed + 1)); status=1; return 1
  fi
}

# Static checks first: they take seconds and name the file to mend.
check() {
  local label=$1
  shift
  echo "== $label"
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); status=1; fi
}
check "format (clang-format 14, .clang-format)" scripts/check-format.sh
check "layer boundaries of includes" scripts/check-includes.sh

export QT_QPA_PLATFORM=offscreen

if build "$root/build" "native" -DCMAKE_BUILD_TYPE=Debug -DPACEDECK_WERROR=ON; then
  # Whole runs against the real node spend their minutes waiting on its timers and the
  # program's, and share nothing with any other test: they run side by side, beside the
  # native tests.
  # Each ctest finds the tests of a program it has not listed yet, writing the list as it
  # goes: two at once would write over each other's lists and lose tests. One listing first.
  (cd "$root/build" && ctest -N >/dev/null 2>&1)
  real_log=$root/build/ctest-real-node.log
  ctest_into "$root/build" "$real_log" -L realnode -j6 &
  real_pid=$!
  run_ctest "$root/build" "native" -LE realnode
  echo "== real node: running tests (begun beside the native ones)"
  wait "$real_pid"
  tally_ctest "$real_log" $?
fi

if [ "${PACEDECK_SKIP_ASAN:-0}" != 1 ]; then
  if build "$root/build-asan" "sanitizers" -DCMAKE_BUILD_TYPE=Debug -DPACEDECK_WERROR=ON \
       -DPACEDECK_SANITIZE=ON -DPACEDECK_GUI=OFF; then
    # The three weekly runs in a row spend three minutes on the clock; the run history they
    # write has tests of its own that run here, and the normal build runs the three.
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_ctest "$root/build-asan" "sanitizers" -LE realnode \
      -E 'EndToEnd\.ThreeRuns'
  fi
fi

# Runs one of the scripts that end with "LABEL: N passed, N failed" and adds its counts.
run_part() {
  local label=$1 script=$2 lines=$3
  local out rc line
  out=$("$script" 2>&1)
  rc=$?
  echo "$out" | tail -n "$lines"
  line=$(echo "$out" | grep -E "^$label: [0-9]+ passed, [0-9]+ failed" | tail -n 1)
  if [ -n "$line" ]; then
    passed=$((passed + $(echo "$line" | sed -E "s/$label: ([0-9]+) passed.*/\\1/")))
    failed=$((failed + $(echo "$line" | sed -E 's/.* ([0-9]+) failed.*/\1/')))
  else
    failed=$((failed + 1))
  fi
  [ $rc -eq 0 ] || status=1
}

if [ "${PACEDECK_SKIP_PACKAGE:-0}" != 1 ]; then
  echo "== package: Debian package, lintian, the unpacked programs"
  run_part package scripts/package-tests.sh 60
fi

if [ -x scripts/windows-tests.sh ] && [ "${PACEDECK_SKIP_WINDOWS:-0}" != 1 ]; then
  echo "== windows: cross build and behaviour tests under Wine"
  run_part windows scripts/windows-tests.sh 15
fi

echo
echo "${passed} passed, ${failed} failed"
exit $status
