#!/usr/bin/env bash
# Time from launching the program to its window being mapped, under Xvfb, side
# by side with an empty Qt Widgets window and with that window holding a label
# and a line edit (bench/EmptyWindow.cpp), run in turn so that all meet the same
# moments of a noisy machine:
#   xvfb-run -a bench/startup.sh build-bench/velmora build-bench/bench/velmora_empty_window [runs]
set -euo pipefail
program="$1"; empty="$2"; runs="${3:-10}"
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
# A copy of the program in a folder of its own, which keeps its settings file;
# the first start, which makes that file, is not timed.
cp "$program" "$work/velmora"
export QT_QPA_PLATFORM=xcb
# Xvfb resets when its last client leaves, and refuses connections meanwhile:
# one client stays for the whole run.
xdotool search --sync --name "no window is called this $$" >/dev/null 2>&1 & holder=$!
trap 'kill $holder; rm -rf "$work"' EXIT

# Milliseconds from launch until a visible window has that title.
time_to_window() { # title command...
    local title=$1 start end pid
    shift
    start=${EPOCHREALTIME/[.,]/}
    "$@" 2>/dev/null & pid=$!
    until xdotool search --onlyvisible --name "$title" >/dev/null 2>&1; do
        kill -0 "$pid" 2>/dev/null || { echo "$1 ended before its window showed" >&2; exit 1; }
        sleep 0.001 # not one xdotool after another: the program timed needs the cores
    done
    end=${EPOCHREALTIME/[.,]/}
    kill "$pid"; wait "$pid" 2>/dev/null || true
    echo $(( (end - start) / 1000 ))
}

median() { tr ' ' '\n' <<<"$1" | sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }

time_to_window "ベルモラ" "$work/velmora" >/dev/null
ours=() theirs=() text=()
for _ in $(seq "$runs"); do
    ours+=("$(time_to_window "ベルモラ" "$work/velmora")")
    theirs+=("$(time_to_window "empty Qt window" "$empty")")
    text+=("$(time_to_window "empty Qt window" "$empty" --text)")
done
a=$(median "${ours[*]}"); b=$(median "${theirs[*]}"); c=$(median "${text[*]}")
echo "start-up to a mapped window (medians of $runs): velmora $a ms, an empty Qt Widgets" \
     "window $b ms, ratio $(awk "BEGIN {printf \"%.2f\", $a / $b}"); that window with a label" \
     "and a line edit $c ms, ratio $(awk "BEGIN {printf \"%.2f\", $c / $b}")"
