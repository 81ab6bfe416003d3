#!/usr/bin/env bash
# velmora-cut side by side with ImageMagick 6 doing the same work, each as a
# whole process, in one run (ratios, since the machine is shared and noisy):
#   bench/compare.sh build-bench/velmora-cut [runs]
# Job S: "Sample" at 72 pt. Job L: a 68-character line at 120 pt, over a
# 32 x 32 pattern of three colours and over a full-colour one (ImageMagick's
# plasma, as a photo is). velmora-cut is given the family name "IPA Pゴシック",
# ImageMagick the font file; PNG out. Job S runs twice: with velmora-cut's face cache, as every
# run after the first finds it, and with none (fontconfig's start included). Prints medians, the
# time ratios, peak memory; for job L over the built-in tartan, a photo-like
# pattern and the full-colour one the size of each PNG level against
# ImageMagick writing the same pixels; job B, "Ab" over an 8192 x 8192 PNG against pngtopam decoding it
# (netpbm); job H, 36 pt lines against hb-view, the Latin one also written to
# standard output (no sync), and the start-up alone of each; a 400-line
# batch with --jobs 1 and --jobs 2; and 200 lines at 48 pt over the full-colour
# pattern, as a batch and as Pillow does them in one Python process
# (python3-pil).
set -euo pipefail
cut=$(realpath "$1"); runs=${2:-9}
convert=convert-im6.q16
font=$(fc-match -f '%{file}' IPAPGothic)
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
cd "$work"
$convert -size 32x32 pattern:checkerboard -fill '#c03030' -draw 'rectangle 0,0 12,12' pattern.png
$convert -size 64x64 -seed 7 plasma:fractal -blur 0x1 photo.png
$convert -size 32x32 -seed 7 plasma:fractal full.png

# Times in microseconds from bash itself (EPOCHREALTIME without its point): a
# clock read by a process of its own (date) would add that process's start and
# end to every time.
# Runs the two commands in turn, $runs times each, so that both meet the same
# moments of a noisy machine; prints the two medians in ms.
medians_ms() {
    local a=() b=() start end
    for _ in $(seq "$runs"); do
        start=${EPOCHREALTIME/[.,]/}; "${ours[@]}" >/dev/null 2>&1; end=${EPOCHREALTIME/[.,]/}
        a+=($(( (end - start) / 100 )))
        start=${EPOCHREALTIME/[.,]/}; "${theirs[@]}" >/dev/null 2>&1; end=${EPOCHREALTIME/[.,]/}
        b+=($(( (end - start) / 100 )))
    done
    for list in "${a[*]}" "${b[*]}"; do
        tr ' ' '\n' <<<"$list" | sort -n | awk '{v[NR]=$1} END {printf "%.1f ", v[int((NR+1)/2)] / 10}'
    done
    echo
}
peak_kb() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }

job() { # name text size [cold] [pattern]
    local name=$1 text=$2 pt=$3 cache=() tile=${5:-pattern.png}
    # A cache folder that cannot be made: every run asks fontconfig.
    [ "${4:-}" = cold ] && cache=(env XDG_CACHE_HOME=/proc/velmora-no-cache)
    ours=("${cache[@]}" "$cut" --font "IPA Pゴシック" --size "$pt" --pattern "$tile" --color '#000000'
                -o "$name-cut.png" "$text")
    theirs=("$convert" -density 96 -font "$font" -pointsize "$pt" +antialias -background black
                  -fill black "label:$text" -gravity NorthWest -tile "$tile" -annotate +0+0
                  "$text" "$name-im.png")
    "${ours[@]}" && "${theirs[@]}" # both must work before they are timed
    local a b
    read -r a b < <(medians_ms)
    echo "job $name: velmora-cut $a ms, ImageMagick $b ms, ratio $(awk "BEGIN {printf \"%.2f\", $a / $b}")" \
         "($($convert "$name-cut.png" -format '%wx%h' info:) vs $($convert "$name-im.png" -format '%wx%h' info:))"
    echo "job $name peak memory: velmora-cut $(peak_kb "${ours[@]}") KB, ImageMagick $(peak_kb "${theirs[@]}") KB"
}

job S "Sample" 72
job S-cold "Sample" 72 cold
job L "切り文字のサンプルです。Cut letters sample text ABCDEFGHIJ 0123456789 あいうえおかきくけこ" 120
job L-full "切り文字のサンプルです。Cut letters sample text ABCDEFGHIJ 0123456789 あいうえおかきくけこ" 120 \
    warm full.png

# PNG size: each level against ImageMagick writing the same pixels.
long="切り文字のサンプルです。Cut letters sample text ABCDEFGHIJ 0123456789 あいうえおかきくけこ"
for pattern in tartan photo full; do
    with=(); [ "$pattern" != tartan ] && with=(--pattern "$pattern.png")
    "$cut" --font "IPA Pゴシック" --size 120 "${with[@]}" -o "$pattern-ref.png" "$long"
    $convert "$pattern-ref.png" "$pattern-im.png"
    for level in 1 0 2; do
        "$cut" --font "IPA Pゴシック" --size 120 "${with[@]}" --png-level $level -o "$pattern$level.png" "$long"
        echo "job L over the $pattern, PNG level $level: $(stat -c %s "$pattern$level.png") bytes," \
             "ImageMagick $(stat -c %s "$pattern-im.png") bytes," \
             "ratio $(awk "BEGIN {printf \"%.2f\", $(stat -c %s "$pattern$level.png") / $(stat -c %s "$pattern-im.png")}")"
    done
done

# Job B: "Ab" over an 8192 x 8192 PNG pattern against netpbm's pngtopam only
# decoding it: a pattern should cost its decoding and what the image shows.
if command -v pngtopam >/dev/null; then
    python3 - <<'PNG'
import struct, zlib
side = 8192
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
row = bytes((x * 7) & 255 for x in range(side * 3))
pack = zlib.compressobj(6)
data = b"".join(pack.compress(b"\0" + row[y % 256:] + row[:y % 256]) for y in range(side)) + pack.flush()
with open("big.png", "wb") as f:
    f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", side, side, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", data) + chunk(b"IEND", b""))
PNG
    ours=("$cut" --font "IPA Pゴシック" --pattern big.png -o big-cut.png Ab)
    theirs=(sh -c "pngtopam big.png > /dev/null")
    "${ours[@]}"
    read -r a b < <(runs=3 medians_ms)
    echo "job B: velmora-cut $a ms, pngtopam $b ms, ratio $(awk "BEGIN {printf \"%.3f\", $a / $b}")"
    echo "job B peak memory: velmora-cut $(peak_kb "${ours[@]}") KB, pngtopam $(peak_kb pngtopam big.png) KB"
fi

# Job H: a 36 pt line against HarfBuzz's own renderer (hb-view, libharfbuzz-bin)
# given the font file, velmora-cut the family name, its face cache warm; Latin,
# Arabic with marks, Devanagari, where the Noto faces are installed.
if command -v hb-view >/dev/null && [ -n "$(fc-list "Noto Sans Devanagari" file)" ]; then
    for case in "Noto Sans|Cut letters, sample text" \
                "Noto Sans Arabic|بِسْمِ اللَّهِ الرَّحْمَٰنِ" \
                "Noto Sans Devanagari|नमस्ते दुनिया, कटे अक्षर"; do
        family=${case%%|*} text=${case#*|}
        ours=("$cut" --font "$family" --size 36 --smooth -o h-cut.png "$text")
        theirs=(hb-view --font-file="$(fc-match -f '%{file}' "$family")" --font-size=48
                --output-format=png --output-file=h-hb.png "$text")
        "${ours[@]}" && "${theirs[@]}"
        read -r a b < <(medians_ms)
        echo "job H, $family: velmora-cut $a ms, hb-view $b ms, ratio $(awk "BEGIN {printf \"%.2f\", $a / $b}")"
    done
    # The Latin line again with both writing to standard output: what is left
    # without velmora-cut's safe write (synced to disk, then renamed).
    latin=$(fc-match -f '%{file}' "Noto Sans")
    ours=("$cut" --font "Noto Sans" --size 36 --smooth -o - "Cut letters, sample text")
    theirs=(hb-view --font-file="$latin" --font-size=48 --output-format=png "Cut letters, sample text")
    read -r a b < <(medians_ms)
    echo "job H, Noto Sans to standard output: velmora-cut $a ms, hb-view $b ms, ratio $(awk "BEGIN {printf \"%.2f\", $a / $b}")"
    # What of that is start-up alone: loading the libraries, then printing the version.
    ours=("$cut" --version) theirs=(hb-view --version)
    read -r a b < <(medians_ms)
    echo "job H, start-up alone (--version): velmora-cut $a ms, hb-view $b ms"
fi

# A batch of 400 lines on one core and on two.
for i in $(seq 400); do echo "行 $i: Cut letters $i"; done > batch.txt
for jobs in 1 2; do
    start=${EPOCHREALTIME/[.,]/}
    "$cut" --font "IPA Pゴシック" --size 48 --jobs $jobs -o "b$jobs-%03d.png" --batch batch.txt
    end=${EPOCHREALTIME/[.,]/}
    echo "batch of 400 lines, --jobs $jobs: $(( (end - start) / 1000 )) ms"
done

# 200 lines at 48 pt over the full-colour pattern: a batch on one core and on
# two (its files synced), and Pillow doing the same in one Python process
# (the letters as a mask, the pattern tiled, composed over the ground, PNG at
# Pillow's default level, files not synced); whole processes, time per line.
python=python3
$python -c 'import PIL' 2>/dev/null || python=/usr/bin/python3
if $python -c 'import PIL' 2>/dev/null; then
    for i in $(seq 200); do echo "行 $i: Cut letters $i"; done > lines.txt
    cat > pillow.py <<'PY'
import sys
from PIL import Image, ImageDraw, ImageFont
font = ImageFont.truetype(sys.argv[1], 64)  # 48 pt at 96 dpi
tile = Image.open("full.png").convert("RGB")
for n, text in enumerate(open("lines.txt", encoding="utf-8").read().splitlines(), 1):
    left, top, right, bottom = font.getbbox(text)
    size = (right, bottom)
    mask = Image.new("1", size)
    ImageDraw.Draw(mask).text((0, 0), text, font=font, fill=1)
    tiled = Image.new("RGB", size)
    for x in range(0, size[0], tile.width):
        for y in range(0, size[1], tile.height):
            tiled.paste(tile, (x, y))
    Image.composite(tiled, Image.new("RGB", size, "black"), mask).save("p-%03d.png" % n)
PY
    for jobs in 1 2; do
        start=${EPOCHREALTIME/[.,]/}
        "$cut" --font "IPA Pゴシック" --size 48 --pattern full.png --color '#000000' --jobs $jobs \
            -o "f$jobs-%03d.png" --batch lines.txt
        end=${EPOCHREALTIME/[.,]/}
        per[$jobs]=$(( (end - start) / 200 ))
    done
    start=${EPOCHREALTIME/[.,]/}
    $python pillow.py "$font"
    end=${EPOCHREALTIME/[.,]/}
    pillow=$(( (end - start) / 200 ))
    for jobs in 1 2; do
        echo "200 lines over the full-colour pattern, --jobs $jobs: $(awk "BEGIN {printf \"%.2f\", ${per[$jobs]} / 1000}") ms a line," \
             "Pillow $(awk "BEGIN {printf \"%.2f\", $pillow / 1000}") ms a line, ratio $(awk "BEGIN {printf \"%.2f\", ${per[$jobs]} / $pillow}")"
    done
    echo "their PNG bytes: velmora-cut $(cat f1-*.png | wc -c), Pillow $(cat p-*.png | wc -c)"
fi
