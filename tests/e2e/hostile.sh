#!/usr/bin/env bash
# Hostile and broken input for the whole program under Wine and Xvfb, in a
# throwaway prefix: orva_hostile_tests.exe writes the registry values and the
# stand-in tool's outputs of each case itself, starts the program (and its
# test build, for a clipboard that refuses the text) and checks the window,
# the clipboard report and the exit code. The OemCodePage cases run again
# under a Spanish locale, whose ANSI and OEM code pages differ, with a report
# of their own. Arguments go to the GoogleTest program.
# Needs DISPLAY and ORVA_RUNNABLE_BUILD (tools/test sets both).
source "$(dirname "$0")/../../tools/lib/e2e.sh"
e2e_prepare hostile "$ORVA_ROOT/build/e2e-hostile"
mapfile -t report < <(e2e_report_as -es_ES "$@")
ORVA_LOCALE=es_ES.UTF-8 e2e_run_part "$(e2e_program hostile)" --gtest_filter='OemCodePage.*' \
  "${report[@]}"
e2e_run "$(e2e_program hostile)" --gtest_filter='-OemCodePage.*' "$@"
