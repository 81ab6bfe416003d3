#!/usr/bin/env bash
# The built program in a real X window (run under xvfb-run): it starts from a copy
# of its folder, creates its settings file, renders on "開始", copies the result to
# the clipboard on a click, and ends with status 0 on "閉じる" without writing.
set -euo pipefail
program="$1"
work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
cp "$program" "$work/velmora"
cd /   # the working directory must not matter
export QT_QPA_PLATFORM=xcb
"$work/velmora" & pid=$!

wid=$(timeout 30 xdotool search --sync --onlyvisible --name "ベルモラ" | head -n 1)
[ -n "$wid" ] || { echo "FAIL: no window titled ベルモラ"; exit 1; }
[ -f "$work/Velmora.Ini" ] || { echo "FAIL: no settings file beside the program"; exit 1; }
grep -q "^Mongon=Sample" "$work/Velmora.Ini" || { echo "FAIL: settings file content"; exit 1; }

click() { xdotool mousemove --window "$wid" "$1" "$2" click 1; sleep 0.5; }
click 32 212                 # 開始
click 12 236                 # the rendered image, top-left corner of Board
xclip -selection clipboard -t image/png -o > "$work/clip.png"
# Width and height from the PNG's IHDR, big-endian at bytes 16 and 20.
read -r w h < <(od -An -tu1 -j16 -N8 "$work/clip.png" |
    awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
if [ "$w" -lt 20 ] || [ "$w" -gt 120 ] || [ "$h" -lt 8 ] || [ "$h" -gt 40 ]; then
    echo "FAIL: clipboard image is ${w}x${h}, not the size of \"Sample\" at 10 pt"; exit 1
fi
# Every pixel is the black ground or a colour of the built-in tartan, and both show.
colours=$(convert "$work/clip.png" -depth 8 -unique-colors txt:- | grep -o '#[0-9A-F]\{6\}' | sort -u)
for c in $colours; do
    case "$c" in
        "#000000"|"#FFFF80"|"#FFFFFF"|"#804000"|"#800000") ;;
        *) echo "FAIL: clipboard pixel colour $c is neither ground nor pattern"; exit 1 ;;
    esac
done
grep -q "#000000" <<<"$colours" && grep -q "#FFFF80" <<<"$colours" ||
    { echo "FAIL: clipboard image lacks ground or pattern: $colours"; exit 1; }
targets=$(xclip -selection clipboard -t TARGETS -o)
grep -q "image/bmp" <<<"$targets" || { echo "FAIL: no BMP offered: $targets"; exit 1; }
before=$(sha256sum < "$work/Velmora.Ini")

click 328 212                # 閉じる
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then echo "FAIL: still running after 閉じる"; exit 1; fi
status=0; wait "$pid" || status=$?
[ "$status" -eq 0 ] || { echo "FAIL: exit status $status"; exit 1; }
[ "$before" = "$(sha256sum < "$work/Velmora.Ini")" ] || { echo "FAIL: closing wrote the settings file"; exit 1; }
echo "real window: 1 passed, 0 failed"
