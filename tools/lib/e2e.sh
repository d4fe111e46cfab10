# Sourced by the end-to-end suites in tests/e2e: a fresh prefix of their own,
# an output folder the test programs reach through Z:, and the run itself.
# Needs DISPLAY and ORVA_RUNNABLE_BUILD (tools/test sets both).
set -uo pipefail
ORVA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export ORVA_ROOT
source "$ORVA_ROOT/tools/lib/wine.sh"

windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# e2e_program SUITE: the suite's test program, as tests/e2e/suites.txt names it.
e2e_program() {
  awk -v suite="$1" '!/^#/ && $1 == suite { print $2 ".exe" }' "$ORVA_ROOT/tests/e2e/suites.txt"
}

# e2e_prepare NAME OUTPUT: prefix build/wine/NAME-<build>, output folder
# OUTPUT-<build> (emptied), so each build's run keeps its own pictures.
e2e_prepare() {
  local build
  build=$(basename "$ORVA_RUNNABLE_BUILD")
  OUT=$2-$build
  rm -rf "$OUT"
  mkdir -p "$OUT"
  export WINEPREFIX="$ORVA_ROOT/build/wine/$1-$build"
  orva_new_prefix "$WINEPREFIX" || exit 1
  export ORVA_E2E_OUTPUT
  ORVA_E2E_OUTPUT=$(windows_path "$OUT")
  export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe="
}

E2E_STATUS=0

# e2e_run_part PROGRAM ARGS...: runs a test program of the runnable build and
# ends the prefix's processes, so that a later part starts its own (in
# another locale or on another screen); a failure counts in e2e_run's status.
e2e_run_part() {
  local program=$1
  shift
  orva_wine "$ORVA_RUNNABLE_BUILD/$program" "$@" || E2E_STATUS=1
  wineserver -k 2>/dev/null
}

# e2e_report_as SUFFIX ARGS...: the --gtest_output argument among ARGS, its
# file named with SUFFIX, so that a second part's report stands beside the
# first one's.
e2e_report_as() {
  local suffix=$1 arg
  shift
  for arg in "$@"; do
    case $arg in
      --gtest_output=xml:*.xml) printf '%s\n' "${arg%.xml}$suffix.xml" ;;
    esac
  done
}

# e2e_run PROGRAM ARGS...: the last part: runs a test program of the runnable
# build, ends the prefix, turns its screenshots into PNG and exits with the
# status of every part.
e2e_run() {
  local picture
  e2e_run_part "$@"
  rm -rf "$WINEPREFIX"
  for picture in "$OUT"/*.bmp; do
    [ -f "$picture" ] && convert "$picture" "${picture%.bmp}.png" 2>/dev/null && rm -f "$picture"
  done
  exit $E2E_STATUS
}
