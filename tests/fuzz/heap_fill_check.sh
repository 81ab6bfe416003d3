#!/usr/bin/env bash
# Replays the fuzz corpus twice, with freshly allocated memory filled with
# different bytes (ASan's malloc_fill_byte, glibc's MALLOC_PERTURB_ where ASan
# is absent). A decoder that lets uninitialised memory into a picture gives
# different digests; a crash or broken invariant fails either run.
set -euo pipefail
replay=$1
corpus=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for fill in 17 238; do
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}malloc_fill_byte=$fill:max_malloc_fill_size=2147483647" \
        MALLOC_PERTURB_=$fill "$replay" "$corpus" >"$out/$fill.txt"
done
if ! diff "$out/17.txt" "$out/238.txt"; then
    echo "FAILED: these corpus files decode differently with the heap filled differently" >&2
    exit 1
fi
echo "$(wc -l <"$out/17.txt") corpus files decode the same with any heap contents"
