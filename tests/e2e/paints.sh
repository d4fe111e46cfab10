#!/usr/bin/env bash
# Many paints of the program's window under Wine and Xvfb, each with the
# gathering it asks for, in a throwaway prefix: orva_paints_tests.exe starts
# the test build of the program (orva_testhooks.exe), makes it repaint again
# and again, and compares what the process holds after the first gathering
# and after the last; it also holds a WMI call open and closes the window.
# The figures go to build/e2e-paints-<build>/figures.txt. ORVA_PAINTS_WMI
# (1000) and ORVA_PAINTS_TOOL (150) set the number of gatherings. Arguments
# go to the GoogleTest program.
# Needs DISPLAY and ORVA_RUNNABLE_BUILD (tools/test sets both).
source "$(dirname "$0")/../../tools/lib/e2e.sh"
e2e_prepare paints "$ORVA_ROOT/build/e2e-paints"
e2e_run "$(e2e_program paints)" "$@"
