#!/usr/bin/env bash
# clang-tidy with the repository's .clang-tidy over the program's sources:
# the portable core with the native compile commands, the Win32 half with
# the i686 ones, parsed for the MinGW target against its own headers.
# Any finding fails.
set -uo pipefail
cd "${ORVA_ROOT:-$(dirname "$0")/../..}" || exit 1

for db in build/native build/windows; do
    if [ ! -f "$db/compile_commands.json" ]; then
        echo "no $db/compile_commands.json: configure the ${db#build/} preset first"
        exit 1
    fi
done

mapfile -t portable < <(ls app/*.cpp probes/*.cpp win32/*.cpp | grep -v '_windows\.cpp$')
mapfile -t windows < <(ls app/*_windows.cpp probes/*_windows.cpp win32/*_windows.cpp 2>/dev/null)

# clang knows the MinGW target but not where Debian keeps its libstdc++:
# take the cross compiler's own search list.
mingw_args=(--extra-arg=--target=i686-w64-mingw32)
while read -r dir; do
    mingw_args+=(--extra-arg=-isystem "--extra-arg=$(realpath "$dir")")
done < <(i686-w64-mingw32-g++ -E -x c++ - -v </dev/null 2>&1 |
    sed -n '/^#include <...> search starts here/,/^End of search list/p' |
    grep -E '^ /.*(/c\+\+|-mingw32/include)' | sed 's/^ //')

logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT

# One file per clang-tidy run, as many at once as there are cores; each run
# keeps its own log so parallel output does not interleave.
run_one() {
    local db=$1 file=$2
    shift 2
    clang-tidy --quiet -p "$db" "$@" "$file" >"$LOGS/${file//\//_}.log" 2>&1 ||
        echo "$file" >>"$LOGS/failed"
}
export -f run_one
export LOGS=$logs

tidy() {
    local db=$1
    shift
    local -n files=$1
    shift
    ((${#files[@]})) || return 0
    printf '%s\0' "${files[@]}" | xargs -0 -P "$(nproc)" -I{} bash -c 'run_one "$@"' _ "$db" {} "$@"
}

start=$SECONDS
tidy build/native portable
tidy build/windows windows "${mingw_args[@]}"

findings=$(cat "$logs"/*.log | grep -cE '^[^ ]+:[0-9]+:[0-9]+: (warning|error):')
echo "clang-tidy $(clang-tidy --version | grep -o 'version [0-9.]*')," \
    "checks: $(clang-tidy --list-checks -p build/native "${portable[0]}" | grep -c '^    ')"
echo "files: ${#portable[@]} portable (build/native), ${#windows[@]} Win32 (build/windows, i686-w64-mingw32)"
echo "findings: $findings, time: $((SECONDS - start)) s"
if [ -f "$logs/failed" ]; then
    echo "failed on:"
    sed 's/^/  /' "$logs/failed"
    grep -hv -E '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$|^Suppressed [0-9]+ warnings|^Use -header-filter|^Found compiler error' "$logs"/*.log
    exit 1
fi
exit 0
