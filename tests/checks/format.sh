#!/usr/bin/env bash
# Every C++ source and header of the program and its tests is laid out as the
# repository's .clang-format says. tests/support is a copied-in shim and keeps
# its own layout.
set -uo pipefail
cd "${ORVA_ROOT:-$(dirname "$0")/../..}" || exit 1

mapfile -t files < <(find app probes win32 tests -path tests/support -prune -o \
    -type f \( -name '*.cpp' -o -name '*.h' \) -print | sort)
echo "$(clang-format --version | grep -o 'clang-format version [0-9.]*'), ${#files[@]} files"

bad=()
for file in "${files[@]}"; do
    clang-format --dry-run --Werror "$file" >/dev/null 2>&1 || bad+=("$file")
done
if ((${#bad[@]})); then
    echo "not formatted (${#bad[@]}); fix with: clang-format -i ${bad[*]}"
    for file in "${bad[@]}"; do
        clang-format "$file" | diff -u "$file" - | head -n 20
    done
    exit 1
fi
echo "all formatted"
