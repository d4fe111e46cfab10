# Sourced by the end-to-end suites in tests/e2e: a fresh prefix of their own,
# an output folder the test programs reach through Z:, and the run itself.
# Needs DISPLAY and ORVA_RUNNABLE_BUILD (tools/test sets both).
set -uo pipefail
ORVA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export ORVA_ROOT
source "$ORVA_ROOT/tools/lib/wine.sh"

windows_path() { printf 'Z:%s' "${1//\//\\}"; }

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

# e2e_run PROGRAM ARGS...: runs a test program of the runnable build, ends the
# prefix's processes, turns its screenshots into PNG and exits with its status.
e2e_run() {
  local program=$1 status picture
  shift
  orva_wine "$ORVA_RUNNABLE_BUILD/$program" "$@"
  status=$?
  wineserver -k 2>/dev/null
  rm -rf "$WINEPREFIX"
  for picture in "$OUT"/*.bmp; do
    [ -f "$picture" ] && convert "$picture" "${picture%.bmp}.png" 2>/dev/null && rm -f "$picture"
  done
  exit $status
}
