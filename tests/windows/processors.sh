#!/usr/bin/env bash
# The processor row on a machine of 48 logical processors, more than a 32-bit
# process sees per group. Wine counts the processors that
# /sys/devices/system/cpu/online lists; in a mount namespace of its own this
# run lays a longer list over that file before its Wine server starts, then
# runs the Win32 unit tests of the processor row of the build in
# ORVA_RUNNABLE_BUILD. Arguments go to the GoogleTest program.
set -uo pipefail
ORVA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export ORVA_ROOT
export ORVA_PLANTED_PROCESSORS=48

if [ -z "${ORVA_PROCESSORS_PLANTED:-}" ]; then
  export ORVA_PROCESSORS_PLANTED=1
  # Root of a namespace of the tools already; a user namespace otherwise.
  if [ "$(id -u)" = 0 ]; then
    exec unshare --mount bash "$0" "$@"
  fi
  exec unshare --user --map-root-user --mount bash "$0" "$@"
fi

source "$ORVA_ROOT/tools/lib/wine.sh"
list=$(mktemp)
trap 'rm -f "$list"' EXIT
echo "0-$((ORVA_PLANTED_PROCESSORS - 1))" >"$list"
mount --bind "$list" /sys/devices/system/cpu/online || exit 1
export WINEPREFIX="$ORVA_ROOT/build/wine/processors-$(basename "$ORVA_RUNNABLE_BUILD")"
orva_new_prefix "$WINEPREFIX" || exit 1
orva_wine "$ORVA_RUNNABLE_BUILD/orva_windows_tests.exe" \
  --gtest_filter='ProbeProcessor.*:CollectReportRows.*' "$@"
status=$?
wineserver -k 2>/dev/null
rm -rf "$WINEPREFIX"
exit $status
