#!/usr/bin/env bash
# The Linux velmora-cut and velmora-cut.exe under Wine, given the same font
# file, text and options, write the same bytes: PNG, BMP, JPEG, SVG and PDF, Latin,
# Japanese, bold italic, smooth edges, a pattern file, a colour, JPEG and PNG
# options; a PNG through standard output; the text and size from a Shift-JIS
# settings file.
# Usage: same_bytes.sh LINUX_VELMORA_CUT WINDOWS_VELMORA_CUT_EXE
set -euo pipefail
linux=$(realpath "$1")
windows=$(realpath "$2")
wine=/usr/lib/wine/wine64
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fonts=/usr/share/fonts
cp "$fonts/opentype/ipafont-gothic/ipagp.ttf" "$fonts/truetype/dejavu/DejaVuSerif.ttf" "$work/"
convert-im6.q16 -size 37x23 gradient:red-blue "$work/pattern.png"
cd "$work"
# A settings file as the classic program wrote it, its text in Shift-JIS.
printf '[Data]\r\nMongon=%s\r\n[Font]\r\nSize=26\r\n' "$(printf '設定の文字①' | iconv -t CP932)" \
    >settings.ini
cases=(
    "ipagp.ttf|png|--size 36 Velmora"
    "ipagp.ttf|bmp|--size 28 --bold --italic 切り文字です"
    "DejaVuSerif.ttf|jpg|--size 40 --jpeg-rate 20 --progressive Ag"
    "DejaVuSerif.ttf|png|--size 30 --pattern pattern.png --color #336699 --png-level 2 Wq"
    "ipagp.ttf|jpg|--size 24 --pattern pattern.png 模様"
    "DejaVuSerif.ttf|png|--size 30 --smooth --transparent --png-level 1 Smooth"
    "ipagp.ttf|stdout.png|--size 20 標準出力へ"
    "ipagp.ttf|png|--settings settings.ini"
    "ipagp.ttf|svg|--size 30 --pattern pattern.png --bold --italic 切り文字Cut"
    "DejaVuSerif.ttf|pdf|--size 32 --transparent --png-level 2 Vector"
)
status=0
for c in "${cases[@]}"; do
    IFS='|' read -r font format args <<<"$c"
    # shellcheck disable=SC2086 # the options are words
    if [ "$format" = stdout.png ]; then # the picture through a pipe, byte for byte
        "$linux" --font "$font" -o - $args | cat >"linux.$format"
        "$wine" "$windows" --font "$font" -o - $args | cat >"windows.$format"
    else
        "$linux" --font "$font" -o "linux.$format" $args
        "$wine" "$windows" --font "$font" -o "windows.$format" $args
    fi
    if cmp -s "linux.$format" "windows.$format"; then
        echo "same bytes: $format $args ($(stat -c %s "linux.$format") bytes)"
    else
        echo "DIFFERENT: $format $args"
        status=1
    fi
done
exit "$status"
