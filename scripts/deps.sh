#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and running PACEDECK need.
# As root it installs what is missing with apt-get; otherwise it names what is missing.
# Usage: scripts/deps.sh [build|package|test|demo|demo-windows]
set -euo pipefail

# xdg-utils: the program opens reports and logs in the user's text editor with xdg-open.
want=(cmake ninja-build g++ pkg-config libsqlite3-dev sqlite3 libssl-dev googletest libgtest-dev
      qt6-base-dev libgl-dev libx11-dev libxtst-dev xdg-utils)
# litecoind and litecoin-qt: the real coin node the tests and the demo run against (regtest,
# on loopback).
# Building the Debian package (cpack, dpkg-shlibdeps, the icon's bitmaps) and checking it.
package=(dpkg-dev fakeroot file librsvg2-bin lintian desktop-file-utils appstream)
case "${1:-test}" in
  package) want+=("${package[@]}") ;;
  test) want+=(xvfb xauth x11-utils x11-xkb-utils sendemail python3 python3-aiosmtpd procps
               litecoind litecoin-qt
               trayer dunst dbus-daemon fonts-dejavu-core
               g++-mingw-w64-x86-64-posix wine wine64 nsis libbenchmark-dev clang-format "${package[@]}") ;;
  demo) want+=(xvfb xauth procps sendemail python3 python3-aiosmtpd litecoind) ;;
  demo-windows) want+=(xvfb xauth g++-mingw-w64-x86-64-posix wine wine64 python3 python3-aiosmtpd) ;;
esac

missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  echo "== installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
else
  echo "These Debian packages are missing: ${missing[*]}" >&2
  echo "Install them with: sudo apt-get install ${missing[*]}" >&2
  exit 1
fi
