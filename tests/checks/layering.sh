#!/usr/bin/env bash
# The program's includes run one way: app/ over probes/ over win32/.
#  - win32/ (the plumbing) includes only win32/;
#  - probes/ (one probe per row) includes probes/ and win32/;
#  - app/ (window, paint, commands, report) includes app/, probes/, win32/
#    and res/ (the resource identifiers).
# Every include of the program's own headers names its folder, so an include
# of any other form fails too. Tests, tools and the bench may include any.
set -uo pipefail
cd "${ORVA_ROOT:-$(dirname "$0")/../..}" || exit 1

declare -A may=([win32]="win32" [probes]="probes win32" [app]="app probes win32 res")

mapfile -t files < <(find app probes win32 -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
violations=0
includes=0
for file in "${files[@]}"; do
    layer=${file%%/*}
    # Quoted includes, and angle-bracket ones of the program's own folders.
    while IFS=: read -r line header; do
        includes=$((includes + 1))
        folder=${header%%/*}
        [ "$folder" != "$header" ] && [[ " ${may[$layer]} " == *" $folder "* ]] && continue
        echo "$file:$line: includes \"$header\": $layer/ may include only ${may[$layer]// /, }"
        violations=$((violations + 1))
    done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*("|<(app|probes|win32|res)/)' "$file" |
        sed -E 's/^([0-9]+):[^"<]*["<]([^">]*)[">].*/\1:\2/')
done
echo "files: ${#files[@]}, includes of the program's own headers: $includes, against the grain: $violations"
((violations == 0))
