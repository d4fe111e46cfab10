#!/usr/bin/env bash
# Many paints of the program's window under Wine and Xvfb, in a throwaway
# prefix: orva_paints_tests.exe starts the test build of the program
# (orva_testhooks.exe), makes it repaint again and again, and compares what
# the process holds after the first paint and after the last; the figures go
# to build/e2e-paints/figures.txt. ORVA_PAINTS_WMI (1000) and ORVA_PAINTS_TOOL
# (150) set the number of paints. Arguments go to the GoogleTest program.
# Needs DISPLAY and ORVA_RUNNABLE_BUILD (tools/test sets both).
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
export ORVA_ROOT=$ROOT
source "$ROOT/tools/lib/wine.sh"

OUT="$ROOT/build/e2e-paints"
rm -rf "$OUT"
mkdir -p "$OUT"
export WINEPREFIX="$ROOT/build/wine/paints"
orva_new_prefix "$WINEPREFIX" || exit 1

windows_path() { printf 'Z:%s' "${1//\//\\}"; }
export ORVA_E2E_OUTPUT
ORVA_E2E_OUTPUT=$(windows_path "$OUT")
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe="

orva_wine "$ORVA_RUNNABLE_BUILD/orva_paints_tests.exe" "$@"
status=$?
wineserver -k 2>/dev/null
exit $status
