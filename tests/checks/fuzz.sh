#!/usr/bin/env bash
# Builds the fuzz preset and runs every libFuzzer program from tests/fuzz/NAME.cpp
# for FUZZ_SECONDS (30 by default) each, starting from the seeds in
# tests/fuzz/corpus/NAME and with tests/fuzz/NAME.dict when there is one.
# Inputs the fuzzer finds on the way collect in build/fuzz/corpus/NAME, so
# later runs start further on. Any crash, sanitizer report, leak, timeout or
# memory overrun fails; its input is left in build/fuzz/findings.
set -uo pipefail
cd "${ORVA_ROOT:-$(dirname "$0")/../..}" || exit 1
SECONDS_EACH=${FUZZ_SECONDS:-30}

if ! { cmake --preset fuzz >/dev/null && cmake --build --preset fuzz >build/fuzz-build.log 2>&1; }; then
    tail -n 40 build/fuzz-build.log
    echo "the fuzz preset did not build"
    exit 1
fi

status=0
targets=0
for source in tests/fuzz/*.cpp; do
    [ -f "$source" ] || continue
    name=$(basename "$source" .cpp)
    targets=$((targets + 1))
    work=build/fuzz/corpus/$name
    findings=build/fuzz/findings
    mkdir -p "$work" "$findings"
    options=(-max_total_time="$SECONDS_EACH" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1
        -artifact_prefix="$findings/$name-")
    [ -f "tests/fuzz/$name.dict" ] && options+=(-dict="tests/fuzz/$name.dict")
    seeds=()
    [ -d "tests/fuzz/corpus/$name" ] && seeds=("tests/fuzz/corpus/$name")
    seed_count=$( ((${#seeds[@]})) && ls "${seeds[0]}" | wc -l || echo 0)

    log=build/fuzz/$name.log
    "build/fuzz/fuzz_$name" "${options[@]}" "$work" "${seeds[@]}" >"$log" 2>&1
    result=$?
    executions=$(awk '/^stat::number_of_executed_units:/ { print $2 }' "$log")
    corpus=$(ls "$work" | wc -l)
    coverage=$(grep -oE 'cov: [0-9]+' "$log" | tail -n 1)
    echo "$name: ${executions:-?} executions in $SECONDS_EACH s, ${coverage:-cov: ?}," \
        "$seed_count seeds, corpus now $corpus inputs"
    if [ "$result" != 0 ]; then
        status=1
        echo "  FAILED (exit $result); the fuzzer's report:"
        grep -E '^==[0-9]+==|ERROR|SUMMARY|runtime error|Test unit written|^ +#[0-9]+ ' "$log" |
            head -n 30 | sed 's/^/  /'
        input=$(grep -oE 'Test unit written to .*' "$log" | tail -n 1 | cut -d' ' -f5-)
        [ -n "$input" ] && echo "  reproduce: build/fuzz/fuzz_$name $input"
    fi
done
echo "targets: $targets"
((targets > 0)) || { echo "no fuzz programs in tests/fuzz"; exit 1; }
exit $status
