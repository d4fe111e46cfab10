#!/usr/bin/env bash
# The whole program under Wine and Xvfb, in a throwaway prefix set up like a
# Korean PC: the stand-in wmic.exe prints tests/data/e2e, a recording script
# stands in for the browser, and orva_e2e_tests.exe writes the registry values,
# starts the program and checks it. Arguments go to the GoogleTest program.
# Needs DISPLAY and ORVA_RUNNABLE_BUILD (tools/test sets both).
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
export ORVA_ROOT=$ROOT
source "$ROOT/tools/lib/wine.sh"

OUT="$ROOT/build/e2e"
rm -rf "$OUT"
mkdir -p "$OUT"
export WINEPREFIX="$ROOT/build/wine/e2e"
orva_new_prefix "$WINEPREFIX" || exit 1
orva_install_fake_wmic "$WINEPREFIX" "$ROOT/tests/data/e2e"

# Wine hands web addresses to the first program named in Browsers.
cat >"$OUT/browser.sh" <<'SCRIPT'
#!/bin/sh
printf '%s\n' "$@" >"$(dirname "$0")/browser.log"
SCRIPT
chmod +x "$OUT/browser.sh"
orva_wine reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d "$OUT/browser.sh" /f >/dev/null 2>&1

windows_path() { printf 'Z:%s' "${1//\//\\}"; }
export ORVA_E2E_OUTPUT
ORVA_E2E_OUTPUT=$(windows_path "$OUT")
export ORVA_E2E_BROWSER_LOG
ORVA_E2E_BROWSER_LOG=$(windows_path "$OUT/browser.log")
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe="

orva_wine "$ORVA_RUNNABLE_BUILD/orva_e2e_tests.exe" "$@"
status=$?
wineserver -k 2>/dev/null

# Screenshots of the run, as PNG beside the test's .bmp files.
for picture in "$OUT"/*.bmp; do
  [ -f "$picture" ] && convert "$picture" "${picture%.bmp}.png" 2>/dev/null && rm -f "$picture"
done
exit $status
