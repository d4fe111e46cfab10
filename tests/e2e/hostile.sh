#!/usr/bin/env bash
# Hostile and broken input for the whole program under Wine and Xvfb, in a
# throwaway prefix: orva_hostile_tests.exe writes the registry values and the
# stand-in tool's outputs of each case itself, starts the program (and its
# test build, for a clipboard that refuses the text) and checks the window,
# the clipboard report and the exit code. Arguments go to the GoogleTest
# program. Needs DISPLAY and ORVA_RUNNABLE_BUILD (tools/test sets both).
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
export ORVA_ROOT=$ROOT
source "$ROOT/tools/lib/wine.sh"

OUT="$ROOT/build/e2e-hostile"
rm -rf "$OUT"
mkdir -p "$OUT"
export WINEPREFIX="$ROOT/build/wine/hostile"
orva_new_prefix "$WINEPREFIX" || exit 1

windows_path() { printf 'Z:%s' "${1//\//\\}"; }
export ORVA_E2E_OUTPUT
ORVA_E2E_OUTPUT=$(windows_path "$OUT")
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe="

orva_wine "$ORVA_RUNNABLE_BUILD/orva_hostile_tests.exe" "$@"
status=$?
wineserver -k 2>/dev/null

for picture in "$OUT"/*.bmp; do
  [ -f "$picture" ] && convert "$picture" "${picture%.bmp}.png" 2>/dev/null && rm -f "$picture"
done
exit $status
