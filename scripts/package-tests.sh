#!/usr/bin/env bash
# Builds the Debian package from a Release build in build-pkg, checks it with lintian,
# desktop-file-validate and appstreamcli, unpacks it into a temporary root and starts the
# unpacked programs from there: pacedeck-setup --version, and pacedeck offscreen under a
# copy name until its main window is up, closed by SIGTERM, its keys then in the store.
# Last line: "package: N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc 2>/dev/null || echo 2)
out="$root/build-pkg"
passed=0
failed=0

pass() { echo "ok: $*"; passed=$((passed + 1)); }
fail() { echo "!! package: $*"; failed=$((failed + 1)); }
finish() { echo "package: ${passed} passed, ${failed} failed"; [ "$failed" -eq 0 ]; exit; }

# Debian's hardening flags, as a Debian build uses them (without -g: the programs are
# stripped); only what is installed is built.
echo "== package: building in $out"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS | sed -E 's/(^| )-g( |$)/ /')"
if ! cmake -S "$root" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPACEDECK_TESTS=OFF -DPACEDECK_WERROR=ON \
    -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    >"$out.configure.log" 2>&1; then
  cat "$out.configure.log"; fail "configuration failed"; finish
fi
if ! cmake --build "$out" -j"$jobs" >"$out.build.log" 2>&1; then
  grep -E "error" "$out.build.log" | head -n 40; fail "build failed (log: $out.build.log)"; finish
fi
rm -f "$out"/*.deb
if (cd "$out" && cpack -G DEB) >"$out.cpack.log" 2>&1 && deb=$(ls "$out"/pacedeck_*.deb 2>/dev/null); then
  pass "package built: $(basename "$deb"), $(stat -c %s "$deb") bytes"
else
  cat "$out.cpack.log"; fail "cpack failed"; finish
fi
dpkg-deb --field "$deb" Depends Recommends

echo "== package: lintian"
# Every tag down to the informational ones is shown; only errors fail.
as_root=; [ "$(id -u)" -eq 0 ] && as_root=--allow-root
lintian $as_root --tag-display-limit 0 --display-info "$deb" >"$out.lintian.log" 2>&1
cat "$out.lintian.log"
if grep -qE "^E: " "$out.lintian.log"; then fail "lintian reports errors"; else pass "lintian: no errors"; fi

unpacked=$(mktemp -d "${TMPDIR:-/tmp}/pacedeck-pkg.XXXXXX")
pid=
trap '[ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null; rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked/root"
usr="$unpacked/root/usr"

desktop=$usr/share/applications/org.syncward.pacedeck.desktop
if desktop-file-validate "$desktop"; then pass "desktop entry valid"; else fail "desktop entry invalid"; fi
if appstreamcli validate --no-net "$usr/share/metainfo/org.syncward.pacedeck.metainfo.xml"; then
  pass "metainfo valid"
else
  fail "metainfo invalid"
fi

missing=
for f in bin/pacedeck bin/pacedeck-setup share/icons/hicolor/scalable/apps/pacedeck.svg \
    share/icons/hicolor/48x48/apps/pacedeck.png share/icons/hicolor/256x256/apps/pacedeck.png \
    share/man/man1/pacedeck.1.gz share/man/man1/pacedeck-setup.1.gz share/doc/pacedeck/README.md \
    share/doc/pacedeck/changelog.gz; do
  [ -s "$usr/$f" ] || missing="$missing $f"
done
if [ -z "$missing" ]; then pass "every file installed"; else fail "missing from the package:$missing"; fi
if grep -q "^License: Expat" "$usr/share/doc/pacedeck/copyright" &&
   grep -qF "$(sed -n 's/^Copyright (c) //p' LICENSE)" "$usr/share/doc/pacedeck/copyright"; then
  pass "copyright file carries the license"
else
  fail "copyright file does not carry the license"
fi

version=$(PATH=/usr/bin:/bin "$usr/bin/pacedeck-setup" --version)
want=$(sed -nE 's/^project\(pacedeck VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)
if [[ $version == "pacedeck-setup $want"* ]]; then pass "unpacked pacedeck-setup: $version"; else fail "pacedeck-setup --version said '$version'"; fi

# The unpacked program under a copy name, with a store of its own; no display needed.
copy=PKGTEST
ln -s "$usr/bin/pacedeck" "$unpacked/$copy"
store="$unpacked/config/SW_PACEDECK/settings.sqlite3"
key() { sqlite3 "$store" "SELECT value FROM settings WHERE section='$copy' AND key='$1'" 2>/dev/null; }
env -i PATH=/usr/bin:/bin HOME="$unpacked" XDG_CONFIG_HOME="$unpacked/config" QT_QPA_PLATFORM=offscreen \
  "$unpacked/$copy" >"$out.run.log" 2>&1 &
pid=$!
# Up: opening the main window restores "Always On Top", which stores its key at once.
for _ in $(seq 1 300); do
  [ -n "$(key ALWAYS_ON_TOP_TICKBOX)" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if [ -n "$(key ALWAYS_ON_TOP_TICKBOX)" ]; then
  kill -TERM "$pid"
  wait "$pid"
  rc=$?
  pid=
  left=$(key MAIN-Left)
  if [ $rc -eq 0 ] && [ -n "$left" ]; then
    pass "unpacked pacedeck ran as $copy and saved its window on SIGTERM (MAIN-Left=$left)"
  else
    cat "$out.run.log"; fail "unpacked pacedeck ended with $rc, MAIN-Left='$left'"
  fi
else
  cat "$out.run.log"; fail "unpacked pacedeck did not bring up its main window"
fi
finish
