#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer, UndefinedBehavior-
# Sanitizer) and runs each for SECONDS (default 60) on a copy of its seed corpus.
# Prints executions and coverage per target. Fails on any crash, leak, time-out
# (10 s an input) or out-of-memory (2 GiB); the reproducer is kept in
# tests/fuzz/corpus/TARGET/, where the ordinary suite replays it.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
scripts/install-deps.sh fuzz
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DVELMORA_FUZZ=ON -DVELMORA_TESTS=OFF >/dev/null
cmake --build build-fuzz --target fuzz_profile fuzz_png fuzz_picture fuzz_text

export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
failed=0
for target in ${VELMORA_FUZZ_TARGETS:-profile png picture text}; do
    seeds=(tests/fuzz/corpus/"$target")
    if [ "$target" = picture ]; then
        seeds+=(tests/fuzz/corpus/png) # the picture loader reads PNG files too
    fi
    work=build-fuzz/corpus/$target
    log=build-fuzz/fuzz-$target.log
    mkdir -p "$work"
    status=0
    build-fuzz/tests/fuzz/fuzz_$target "$work" "${seeds[@]}" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="${seeds[0]}/found-" -print_final_stats=1 >"$log" 2>&1 || status=$?
    runs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
    cov=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -1 || true)
    if [ "$status" -eq 0 ]; then
        echo "$target: $runs executions, ${cov:-no coverage line}, no findings"
    else
        failed=1
        echo "$target: FAILED after $runs executions (${cov:-}); reproducer:"
        grep -E 'Test unit written to|SUMMARY|ERROR' "$log" | head -5 | sed 's/^/    /'
    fi
done
exit $failed
