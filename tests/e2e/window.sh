#!/usr/bin/env bash
# The whole program under Wine and Xvfb, in a throwaway prefix set up like a
# Korean PC: the stand-in wmic.exe prints tests/data/e2e, a recording script
# stands in for the browser, and orva_e2e_tests.exe writes the registry values,
# starts the program and checks it; its place is checked again on a small
# screen. Arguments go to the GoogleTest program.
# Needs DISPLAY and ORVA_RUNNABLE_BUILD (tools/test sets both).
source "$(dirname "$0")/../../tools/lib/e2e.sh"
e2e_prepare e2e "$ORVA_ROOT/build/e2e"
orva_install_fake_wmic "$WINEPREFIX" "$ORVA_ROOT/tests/data/e2e"

# Wine hands web addresses to the first program named in Browsers.
cat >"$OUT/browser.sh" <<'SCRIPT'
#!/bin/sh
printf '%s\n' "$@" >"$(dirname "$0")/browser.log"
SCRIPT
chmod +x "$OUT/browser.sh"
orva_wine reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d "$OUT/browser.sh" /f >/dev/null 2>&1

export ORVA_E2E_BROWSER_LOG
ORVA_E2E_BROWSER_LOG=$(windows_path "$OUT/browser.log")

# The window's place on a screen of 1280x720 (1920x1080 at 150 %), on a
# display of its own, with a report of its own.
mapfile -t report < <(e2e_report_as -1280x720 "$@")
(
  orva_xvfb 1280x720 || exit 1
  e2e_run_part "$(e2e_program window)" --gtest_filter='MainWindow.HasItsClassTitlePlaceAndFrame' \
    "${report[@]}"
  kill "$ORVA_XVFB_PID" 2>/dev/null
  exit $E2E_STATUS
) || E2E_STATUS=1
e2e_run "$(e2e_program window)" "$@"
