#!/usr/bin/env bash
# cppcheck over the program's sources, twice: the portable core as the native
# tests build it, and every source (core and Win32 half) as the 32-bit Unicode
# Windows program builds it, with cppcheck's knowledge of the Win32 API.
# Any finding fails.
set -uo pipefail
cd "${ORVA_ROOT:-$(dirname "$0")/../..}" || exit 1

# System headers are not handed to cppcheck: its std and windows libraries
# describe them instead, so their absence is no finding.
suppressions=(missingIncludeSystem)

common=(--std=c++17 --language=c++ -I . --enable=warning,performance,portability
    --error-exitcode=1 --inline-suppr --quiet -j "$(nproc)"
    --template='{file}:{line}:{column}: {severity}: {message} [{id}]')
for id in "${suppressions[@]}"; do
    common+=("--suppress=$id")
done

mapfile -t portable < <(ls app/*.cpp probes/*.cpp win32/*.cpp | grep -v '_windows\.cpp$')
mapfile -t all < <(ls app/*.cpp probes/*.cpp win32/*.cpp)

start=$SECONDS
status=0
echo "$(cppcheck --version); enabled: warning, performance, portability (and errors)"

echo "-- portable core, native (${#portable[@]} files)"
cppcheck "${common[@]}" --library=std --platform=native "${portable[@]}" 2>&1 || status=1

echo "-- all sources, as the Win32 program (${#all[@]} files)"
cppcheck "${common[@]}" --library=std --library=windows --platform=win32W \
    -D_WIN32 -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX \
    -D_WIN32_WINNT=0x0601 -DWINVER=0x0601 "${all[@]}" 2>&1 || status=1

echo "time: $((SECONDS - start)) s; $([ $status = 0 ] && echo 'no findings' || echo 'findings above')"
exit $status
