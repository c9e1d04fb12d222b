#!/usr/bin/env bash
# The cross build for Windows with mingw-w64, shared by scripts/windows-tests.sh and
# scripts/demo.sh --windows: GoogleTest from Debian's sources built by the same compiler
# (once), then the tree in build-windows. Builds the targets named as arguments, or all.
# On failure it says what failed on stderr, with the log's errors, and exits 1.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
root=$(pwd)
jobs=$(nproc 2>/dev/null || echo 2)
out="$root/build-windows"
gtest_out="$out/googletest"
mkdir -p "$out"

fail() { echo "!! windows: $*" >&2; exit 1; }

if [ ! -f "$gtest_out/install/lib/libgtest.a" ]; then
  echo "== windows: building GoogleTest with mingw-w64"
  cmake -S /usr/src/googletest -B "$gtest_out/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_GMOCK=OFF -Dgtest_disable_pthreads=OFF -DCMAKE_INSTALL_PREFIX="$gtest_out/install" \
    >"$out.gtest.log" 2>&1 || fail "configuring GoogleTest failed (see $out.gtest.log)"
  cmake --build "$gtest_out/build" -j"$jobs" >>"$out.gtest.log" 2>&1 || fail "building GoogleTest failed"
  cmake --install "$gtest_out/build" >>"$out.gtest.log" 2>&1 || fail "installing GoogleTest failed"
fi

echo "== windows: building ${*:-the core, the platform, PACEDECK.exe, the installer and the tests}"
cmake -S "$root" -B "$out" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DPACEDECK_POSIX=OFF -DPACEDECK_GUI=OFF -DPACEDECK_WERROR=ON \
  -DGTest_DIR="$gtest_out/install/lib/cmake/GTest" >"$out.configure.log" 2>&1 ||
  { cat "$out.configure.log" >&2; fail "configuration failed"; }
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build "$out" "${targets[@]}" -j"$jobs" >"$out.build.log" 2>&1 ||
  { grep -E "error" "$out.build.log" | head -n 40 >&2; fail "build failed (log: $out.build.log)"; }
