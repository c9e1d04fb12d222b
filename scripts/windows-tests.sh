#!/usr/bin/env bash
# Builds the core and the behaviour tests for Windows with mingw-w64 and runs them under
# Wine in a fresh prefix. Last line: "windows: N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc 2>/dev/null || echo 2)
out="$root/build-windows"
gtest_out="$out/googletest"

fail() { echo "!! windows: $*"; echo "windows: 0 passed, 1 failed"; exit 1; }

# GoogleTest from Debian's sources, built by the same cross compiler.
if [ ! -f "$gtest_out/install/lib/libgtest.a" ]; then
  echo "== windows: building GoogleTest with mingw-w64"
  cmake -S /usr/src/googletest -B "$gtest_out/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_GMOCK=OFF -Dgtest_disable_pthreads=OFF -DCMAKE_INSTALL_PREFIX="$gtest_out/install" \
    >"$out.gtest.log" 2>&1 || fail "configuring GoogleTest failed (see $out.gtest.log)"
  cmake --build "$gtest_out/build" -j"$jobs" >>"$out.gtest.log" 2>&1 || fail "building GoogleTest failed"
  cmake --install "$gtest_out/build" >>"$out.gtest.log" 2>&1 || fail "installing GoogleTest failed"
fi

echo "== windows: building the core and the behaviour tests"
cmake -S "$root" -B "$out" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DPACEDECK_POSIX=OFF -DPACEDECK_GUI=OFF -DPACEDECK_WERROR=ON \
  -DGTest_DIR="$gtest_out/install/lib/cmake/GTest" >"$out.configure.log" 2>&1 ||
  { cat "$out.configure.log"; fail "configuration failed"; }
cmake --build "$out" -j"$jobs" >"$out.build.log" 2>&1 ||
  { grep -E "error" "$out.build.log" | head -n 40; fail "build failed (log: $out.build.log)"; }

exe="$out/tests/pacedeck_tests.exe"
[ -f "$exe" ] || fail "no test program was built"

echo "== windows: running the behaviour tests under Wine"
prefix=$(mktemp -d /tmp/pacedeck-wine.XXXXXX)
trap 'wineserver -k >/dev/null 2>&1; rm -rf "$prefix"' EXIT
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
xml="$out/windows-results.xml"
rm -f "$xml"
# Wine shows the root of the Linux file system as drive Z:.
winxml="Z:${xml//\//\\}"
timeout 900 wine "$exe" --gtest_output="xml:$winxml" \
  >"$out/wine.log" 2>&1
rc=$?
tail -n 5 "$out/wine.log"
if [ ! -f "$xml" ]; then
  grep -E "^\[  (FAILED|PASSED) |tests? ran" "$out/wine.log" | tail -n 5
  fail "the test program did not finish under Wine (exit $rc)"
fi
total=$(grep -o 'tests="[0-9]*"' "$xml" | head -n 1 | grep -o '[0-9]*')
failures=$(grep -o 'failures="[0-9]*"' "$xml" | head -n 1 | grep -o '[0-9]*')
errors=$(grep -o 'errors="[0-9]*"' "$xml" | head -n 1 | grep -o '[0-9]*')
disabled=$(grep -o 'disabled="[0-9]*"' "$xml" | head -n 1 | grep -o '[0-9]*')
bad=$((failures + errors))
good=$((total - bad - disabled))
grep -E "^\[  FAILED  \]" "$out/wine.log" | head -n 20
echo "windows: ${good} passed, ${bad} failed"
[ $rc -eq 0 ] && [ $bad -eq 0 ]
