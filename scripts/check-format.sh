#!/usr/bin/env bash
# Fails on any C++ file that clang-format (Debian's version 14, with the repository's
# .clang-format) would change, and names each one. `clang-format -i FILE` mends it.
set -uo pipefail
cd "$(dirname "$0")/.."
want=14
have=$(clang-format --version 2>/dev/null | sed -nE 's/.*version ([0-9]+).*/\1/p')
if [ "$have" != "$want" ]; then
    echo "format: clang-format $want is needed (found '${have:-none}'): its output differs between versions"
    exit 1
fi
bad=$(git ls-files '*.cpp' '*.hpp' | xargs clang-format --dry-run 2>&1 | sed -nE 's/^([^:]+):[0-9]+:[0-9]+: warning:.*/\1/p' | sort -u)
if [ -n "$bad" ]; then
    echo "format: these files are not clang-formatted (run clang-format -i on them):"
    echo "$bad"
    exit 1
fi
echo "format: every file is clang-formatted"
