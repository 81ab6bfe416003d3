#!/usr/bin/env bash
# What loading libraries alone costs a process: programs that load nothing but
# a set of libraries and return, run in turn with velmora-cut --version and
# hb-view --version (medians, ms), where job H of compare.sh spends its start-up:
#   bench/load-floor.sh build-bench/velmora-cut [runs]
set -euo pipefail
cut=$(realpath "$1"); runs=${2:-21}
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
lib=/lib/x86_64-linux-gnu
echo 'int main() { return 0; }' > "$work/empty.cpp"
declare -A sets=(
    [none]=""
    [icu]="$lib/libicui18n.so.72 $lib/libicuuc.so.72"
    [qt-core-others]="$lib/libglib-2.0.so.0 $lib/libpcre2-16.so.0 $lib/libzstd.so.1 $lib/libdouble-conversion.so.3 $lib/libb2.so.1"
    [qt-core]="$(pkg-config --libs Qt6Core)"
    [engine-libraries]="$(pkg-config --libs harfbuzz freetype2 libpng fontconfig libdeflate fribidi) -ljpeg -lgif"
    [everything]="$(pkg-config --libs Qt6Core harfbuzz freetype2 libpng fontconfig libdeflate fribidi) -ljpeg -lgif"
)
names=(none icu qt-core-others qt-core engine-libraries everything)
peers=(velmora-cut)
command -v hb-view >/dev/null && peers+=(hb-view) # libharfbuzz-bin
for name in "${names[@]}"; do
    # shellcheck disable=SC2086 # each set is a list of arguments
    g++ -O2 "$work/empty.cpp" -o "$work/$name" -Wl,--no-as-needed ${sets[$name]}
done
declare -A times
for _ in $(seq "$runs"); do
    for name in "${names[@]}" "${peers[@]}"; do
        case $name in
            velmora-cut) command=("$cut" --version) ;;
            hb-view) command=(hb-view --version) ;;
            *) command=("$work/$name") ;;
        esac
        start=${EPOCHREALTIME/[.,]/}; "${command[@]}" >/dev/null 2>&1; end=${EPOCHREALTIME/[.,]/}
        times[$name]+="$(( (end - start) / 10 )) "
    done
done
for name in "${names[@]}" "${peers[@]}"; do
    tr ' ' '\n' <<<"${times[$name]}" | sed '/^$/d' | sort -n |
        awk -v n="$name" '{v[NR]=$1} END {printf "%-17s %.2f ms\n", n, v[int((NR+1)/2)] / 100}'
done
