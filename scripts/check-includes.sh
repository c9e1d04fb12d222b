#!/usr/bin/env bash
# Fails when a source file includes across a layer boundary. The allowed edges below are the
# architecture in one place: dependencies point downwards only.
#
#   app, tests, bench  -> anything
#   ui/qt, ui/win32    -> the model, the platform interface, their own folder (Qt only in ui/qt);
#                         ui/win32 also the Windows platform's UTF-8 <-> UTF-16 (WideText)
#   windows            -> the model, the platform interface, the windows
#   platform/<impl>    -> the model, the platform interface, their own folder
#   model (core)       -> the model, the platform interface
#   sim                -> sim (a separate program)
#
# "windows" are main/, settings/, confgen/, schedule/ and tools/; the platform interface is
# platform/Platform.hpp. Qt headers are allowed only in ui/qt, app/ and the GUI and desktop tests.
set -uo pipefail
cd "$(dirname "$0")/.."

windows='main|settings|confgen|schedule|tools'
allowed_for() {
    case $1 in
        app/* | tests/* | bench/*) echo '.*' ;;
        ui/qt/*) echo '(core|ui/qt)/.*|platform/Platform\.hpp' ;;
        ui/win32/*) echo '(core|ui/win32)/.*|platform/Platform\.hpp|platform/win32/WideText\.hpp' ;;
        platform/Platform.hpp) echo '$^' ;;
        platform/*/*) echo "(core|${1%/*})/.*|platform/Platform\\.hpp" ;;
        core/*) echo 'core/.*|platform/Platform\.hpp' ;;
        sim/*) echo '[A-Za-z]+\.hpp' ;;
        *) if [[ $1 =~ ^($windows)/ ]]; then echo "($windows|core)/.*|platform/Platform\\.hpp"; else echo '.*'; fi ;;
    esac
}
qt_allowed='^(ui/qt|app|tests/gui|tests/desktop)/'

bad=0
while IFS= read -r file; do
    allowed=$(allowed_for "$file")
    while IFS= read -r hit; do
        line=${hit%%:*}
        target=$(sed -E 's/^[0-9]+:#include "([^"]+)".*/\1/' <<<"$hit")
        if ! [[ $target =~ ^($allowed)$ ]]; then
            echo "$file:$line: includes \"$target\" across a layer boundary"
            bad=1
        fi
    done < <(grep -nE '^#include "' "$file")
    if ! [[ $file =~ $qt_allowed ]] && grep -qE '^#include <Q[A-Za-z]*[>/]' "$file"; then
        echo "$file: includes Qt outside the Qt front end"
        bad=1
    fi
done < <(git ls-files '*.cpp' '*.hpp')

[ $bad -eq 0 ] && echo "includes: every edge is allowed"
exit $bad
