#!/usr/bin/env bash
# The built program in real X windows (run under xvfb-run), started from a copy of
# its folder with an empty home folder. First run: it creates its settings file,
# Enter leaves the text box alone but presses a focused button, renders on "開始",
# copies the result on a click, keeps Escape from the options window, saves under
# the typed name whatever file type is picked afterwards, and ends with status 0 on
# "閉じる" without writing. Second run: a result wider than the screen scrolls to
# its right end with Shift and the wheel, and a larger window shows more of it.
# Third run: a text Shift-JIS cannot hold, pasted and stored with "開始", is
# the text of the next start, and its image is velmora-cut's image of it; then
# smooth letters on a transparent ground, chosen in ｵﾌﾟｼｮﾝ, saved and copied.
# In the end only the settings file and the saved picture have been written.
set -euo pipefail
# A session bus of the test's own: without one, D-Bus (dbus-x11) would start one
# for the program and note it under ~/.dbus in the fresh home. Where D-Bus is
# not installed, an address nobody listens at keeps anything from starting.
if [ -z "${VELMORA_OWN_BUS:-}" ] && command -v dbus-run-session >/dev/null; then
    VELMORA_OWN_BUS=1 exec dbus-run-session -- "$0" "$@"
fi
[ -n "${VELMORA_OWN_BUS:-}" ] || export DBUS_SESSION_BUS_ADDRESS="unix:path=/nonexistent/velmora-bus"
program="$1" cut="$2"
work=$(mktemp -d)
prog="$work/prog" home="$work/home" out="$work/out"
mkdir -p "$prog" "$home" "$out"
pid=""
trap '[ -z "$pid" ] || kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
cp "$program" "$prog/velmora"
cd /   # the working directory must not matter
export QT_QPA_PLATFORM=xcb HOME="$home"
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME XDG_STATE_HOME

fail() { echo "FAIL: $*"; exit 1; }
# Every check of something the program does waits for it to happen, however
# busy the machine, for 30 seconds at most; none sleeps a fixed time and hopes.
await() {
    for _ in $(seq 300); do "$@" && return 0; sleep 0.1; done
    return 1
}
window() { timeout 30 xdotool search --sync --onlyvisible --name "^$1\$" | tail -n 1; }
shown() { xdotool search --onlyvisible --name "^$1\$" >/dev/null; }
gone() { await eval "! shown '$1'"; }
focus() { xdotool windowfocus --sync "$1"; }
key() { xdotool key "$@"; }
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }
settings() { sha256sum < "$prog/Velmora.Ini"; }
start() {
    "$prog/velmora" & pid=$!
    wid=$(window "ベルモラ")
    [ -n "$wid" ] || fail "no window titled ベルモラ"
    focus "$wid"
}
finish() {
    click "$wid" 328 212     # 閉じる
    await eval '! kill -0 "$pid" 2>/dev/null' || fail "still running after 閉じる"
    status=0; wait "$pid" || status=$?
    pid=""
    [ "$status" -eq 0 ] || fail "exit status $status"
}
# Copies the result with a click on the result view and reads the image's size from the
# PNG's IHDR, big-endian at bytes 16 and 20.
copy_result() {
    rm -f "$out/clip.png"
    click "$wid" 12 236
    await eval 'xclip -selection clipboard -t image/png -o > "$out/clip.png" 2>/dev/null' ||
        fail "no image on the clipboard after a click on the result"
    read -r w h < <(od -An -tu1 -j16 -N8 "$out/clip.png" |
        awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
}
# "保存" under a name typed in the program's folder, then any keys (a file type),
# Enter, and yes to the question whether to create the file, which bears the
# dialog's title too.
save_as() { # name keys...
    click "$wid" 88 212
    dialog=$(window "ファイルの保存")
    [ -n "$dialog" ] || fail "no save dialog"
    focus "$dialog"
    xdotool type --delay 20 "$prog/$1"
    shift
    key "$@" Return
    await eval '[ "$(xdotool search --onlyvisible --name "^ファイルの保存\$" | wc -l)" -ge 2 ]' ||
        fail "no question before a new file is made"
    focus "$(xdotool search --onlyvisible --name "^ファイルの保存\$" | grep -vx "$dialog" | tail -n 1)"
    key Return
    gone "ファイルの保存" || fail "the save dialog stayed open"
}
# Pixels that differ between a strip of the window and a strip of the result.
differ() { # width height window-x window-y result-x
    import -window "$wid" "$out/shot.png"
    convert "$out/shot.png" -crop "$1x$2+$3+$4" +repage "$out/seen.png"
    convert "$out/clip.png" -crop "$1x$2+$5+0" +repage "$out/part.png"
    compare -metric AE "$out/seen.png" "$out/part.png" null: 2>&1 || true
}

start
[ -f "$prog/Velmora.Ini" ] || fail "no settings file beside the program"
grep -q "^Mongon=Sample" "$prog/Velmora.Ini" || fail "settings file content"
before=$(settings)
click "$wid" 100 17           # into the text box
key Return KP_Enter
# The program has taken those keys once it has answered the copy that follows them.
key ctrl+a ctrl+c
await eval '[ "$(xclip -selection clipboard -o 2>/dev/null)" = Sample ]' || fail "the text box is not \"Sample\""
[ "$before" = "$(settings)" ] || fail "Enter in the text box pressed a button"
key Tab Tab Tab Tab Tab Tab Tab Return   # to 開始, then Enter
await eval '[ "$before" != "$(settings)" ]' || fail "Enter on the focused 開始 did not press it"

copy_result
if [ "$w" -lt 20 ] || [ "$w" -gt 120 ] || [ "$h" -lt 8 ] || [ "$h" -gt 40 ]; then
    fail "clipboard image is ${w}x${h}, not the size of \"Sample\" at 10 pt"
fi
# Every pixel is the black ground or a colour of the built-in tartan, and both show.
colours=$(convert "$out/clip.png" -depth 8 -unique-colors txt:- | grep -o '#[0-9A-F]\{6\}' | sort -u)
for c in $colours; do
    case "$c" in
        "#000000"|"#FFFF80"|"#FFFFFF"|"#804000"|"#800000") ;;
        *) fail "clipboard pixel colour $c is neither ground nor pattern" ;;
    esac
done
grep -q "#000000" <<<"$colours" && grep -q "#FFFF80" <<<"$colours" ||
    fail "clipboard image lacks ground or pattern: $colours"
targets=$(xclip -selection clipboard -t TARGETS -o)
grep -q "image/bmp" <<<"$targets" || fail "no BMP offered: $targets"

click "$wid" 144 212          # ｵﾌﾟｼｮﾝ
options=$(window "保存オプション")
[ -n "$options" ] || fail "no options window"
focus "$options"
key Escape
# Had Escape closed the window, these keys would not reach 保存 and store the options.
key Tab Tab Tab space shift+Tab shift+Tab shift+Tab KP_Enter   # past the rate, tick progressive, back to 保存, keypad Enter
gone "保存オプション" || fail "keypad Enter on the focused 保存 did not press it"
grep -q "^Prgrs=-1" "$prog/Velmora.Ini" || fail "Escape closed the options window, or they were not stored"

save_as order.jpg Tab Down   # then the bitmap file type
await eval '[ "$(head -c 2 "$prog/order.jpg.BMP" 2>/dev/null)" = BM ]' ||
    fail "typed order.jpg with the bitmap type did not give order.jpg.BMP: $(ls "$prog")"

click "$wid" 224 168          # the colour's "..."
colour=$(window "色の設定")
[ -n "$colour" ] || fail "no colour dialog"
focus "$colour"
key Escape
gone "色の設定" || fail "the colour dialog stayed open"

before=$(settings)
finish
[ "$before" = "$(settings)" ] || fail "closing wrote the settings file"

# 48 pt text on a green ground, wider than the 800-pixel screen.
printf '[Data]\r\nMongon=Cut letters wider than the screen\r\nBackColor=65280\r\n[Font]\r\nSize=48\r\n' \
    > "$prog/Velmora.Ini"
start
click "$wid" 32 212           # 開始
copy_result
[ "$w" -gt 800 ] && [ "$h" -le 80 ] || fail "result is ${w}x${h}, not wider than the screen"
# The view reaches from the result's place (8, 232) to the window's edges: 355 pixels
# wide at first, of which the result's one-pixel border takes one at either end.
await eval '[ "$(differ 354 "$h" 9 233 0)" = 0 ]' || fail "the window does not show the result's left end"
xdotool mousemove --window "$wid" 100 260 keydown shift click --repeat 40 --delay 20 5 keyup shift
await eval '[ "$(differ 354 "$h" 8 233 $((w - 354)))" = 0 ]' ||
    fail "Shift and the wheel did not scroll to the result's right end"
xdotool windowsize "$wid" 700 400   # the view grows to 692 pixels, still at the right end
await eval '[ "$(differ 691 "$h" 8 233 $((w - 691)))" = 0 ]' ||
    fail "a wider window does not show more of the result"
finish

text='café ❤ 𠮷野家'
printf '%s' "$text" | xclip -selection clipboard -t UTF8_STRING
start
click "$wid" 100 17           # into the text box, then select all and paste
key ctrl+a ctrl+v
click "$wid" 32 212           # 開始 stores the text
finish
grep -q "^MongonUtf8=" "$prog/Velmora.Ini" || fail "the exact text was not stored beside Mongon"
start
click "$wid" 32 212           # 開始 with the text the start read
copy_result
# velmora-cut keeps its face lookups in a cache folder; the home folder stays the window's.
ASAN_OPTIONS=detect_leaks=0 XDG_CACHE_HOME="$out/cache" "$cut" --settings "$prog/Velmora.Ini" -o "$out/cut.png" "$text" ||
    fail "velmora-cut failed on the stored settings"
[ "$(compare -metric AE "$out/clip.png" "$out/cut.png" null: 2>&1 || true)" = 0 ] ||
    fail "after a restart the window's image is not velmora-cut's image of \"$text\""

# Smooth letters on a transparent ground, ticked in ｵﾌﾟｼｮﾝ from the keyboard: the
# saved PNG and the clipboard's PNG are velmora-cut's --smooth --transparent file.
click "$wid" 144 212          # ｵﾌﾟｼｮﾝ
options=$(window "保存オプション")
[ -n "$options" ] || fail "no options window"
focus "$options"
key Tab Tab Tab Tab Tab space Tab space   # past the JPEG and PNG controls: smooth, transparent
key shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab Return   # back to 保存
gone "保存オプション" || fail "保存 in the options window did not close it"
grep -q "^Smooth=-1" "$prog/Velmora.Ini" && grep -q "^Transparent=-1" "$prog/Velmora.Ini" ||
    fail "smooth and transparent were not stored: $(grep -a -A3 Options "$prog/Velmora.Ini")"
click "$wid" 32 212           # 開始
save_as clear.png
ASAN_OPTIONS=detect_leaks=0 XDG_CACHE_HOME="$out/cache" "$cut" --settings "$prog/Velmora.Ini" \
    --smooth --transparent -o "$out/clear.png" || fail "velmora-cut failed on the stored settings"
await cmp -s "$prog/clear.png" "$out/clear.png" ||
    fail "the saved PNG is not velmora-cut's --smooth --transparent file"
focus "$wid"
key ctrl+c                    # the focus is on a button: Ctrl+C copies the result
await eval 'xclip -selection clipboard -t image/png -o > "$out/clip.png" 2>/dev/null &&
    cmp -s "$out/clip.png" "$out/clear.png"' || fail "Ctrl+C did not offer the transparent PNG"
finish

written=$(cd "$prog" && ls -A | tr '\n' ' ')
[ "$written" = "Velmora.Ini clear.png order.jpg.BMP velmora " ] || fail "the program folder holds: $written"
[ -z "$(find "$home" -mindepth 1)" ] || fail "written into the home folder: $(find "$home" -mindepth 1)"
echo "real window: 1 passed, 0 failed"
