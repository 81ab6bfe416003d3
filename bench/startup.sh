#!/usr/bin/env bash
# Time from launching the program to its window being mapped, under Xvfb:
#   xvfb-run -a bench/startup.sh build-release/velmora [runs]
set -euo pipefail
program="$1"; runs="${2:-10}"
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
cp "$program" "$work/velmora"
export QT_QPA_PLATFORM=xcb
times=()
for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    "$work/velmora" 2>/dev/null & pid=$!
    until xdotool search --onlyvisible --name "ベルモラ" >/dev/null 2>&1; do sleep 0.005; done
    end=$(date +%s%N)
    times+=($(( (end - start) / 1000000 )))
    kill "$pid"; wait "$pid" 2>/dev/null || true
done
printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print "startup ms: min " a[1] ", median " a[int((NR+1)/2)] ", max " a[NR] " (" NR " runs)"}'
