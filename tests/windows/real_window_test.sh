#!/usr/bin/env bash
# velmora.exe in a real window under Wine on an X display (run under xvfb-run),
# from a folder of its own: a text pasted in and "開始" stores it beside the
# program; a click copies the image, which is velmora-cut.exe's image of the
# stored settings; "保存" writes a PNG through the save dialog, then with smooth
# letters and a transparent ground ticked in ｵﾌﾟｼｮﾝ; "閉じる" ends the
# program with status 0; started again, it shows the stored text.
# Usage (WINEPREFIX set): real_window_test.sh VELMORA_EXE VELMORA_CUT_EXE
set -euo pipefail
wine=/usr/lib/wine/wine64
: "${WINEPREFIX:?}"
prog=$(mktemp -d "$WINEPREFIX/drive_c/window-XXXXXX")
pid=""
trap '[ -z "$pid" ] || kill "$pid" 2>/dev/null || true; rm -rf "$prog"' EXIT
cp "$1" "$2" "$prog/"
cd "$prog"

fail() { echo "FAIL: $*"; exit 1; }
# Every check of something the program does waits for it, 60 seconds at most.
await() {
    for _ in $(seq 600); do "$@" && return 0; sleep 0.1; done
    return 1
}
window() { timeout 60 xdotool search --sync --onlyvisible --name "^$1\$" | tail -n 1; }
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }
start() {
    "$wine" velmora.exe & pid=$!
    wid=$(window "ベルモラ")
    [ -n "$wid" ] || fail "no window titled ベルモラ"
}
finish() {
    click "$wid" 328 212     # 閉じる
    status=0
    wait "$pid" || status=$?
    pid=""
    [ "$status" -eq 0 ] || fail "exit status $status"
}
# "保存" under a new name in the program's folder, answering yes to making the file.
save_as() {
    click "$wid" 88 212       # 保存
    dialog=$(window "ファイルの保存")
    [ -n "$dialog" ] || fail "no save dialog"
    xdotool windowfocus --sync "$dialog" 2>/dev/null || true
    xdotool type --delay 20 'C:\'"$(basename "$prog")"'\'"$1"
    xdotool key Return
    # Whether to make the new file: the question bears the dialog's title too.
    await eval '[ "$(xdotool search --onlyvisible --name "^ファイルの保存\$" | wc -l)" -ge 2 ]' ||
        fail "no question before a new file is made"
    question=$(xdotool search --onlyvisible --name "^ファイルの保存\$" | grep -vx "$dialog" | tail -n 1)
    xdotool windowfocus --sync "$question" 2>/dev/null || true
    xdotool key Return        # yes, make it
}
# The text box's content, copied out of it.
shown_text() {
    click "$wid" 100 17
    xdotool key ctrl+a ctrl+c
    xclip -selection clipboard -o 2>/dev/null
}

text='切り文字 Wine'
start
await test -s Velmora.Ini || fail "no settings file beside velmora.exe"
printf '%s' "$text" | xclip -selection clipboard -t UTF8_STRING
click "$wid" 100 17           # into the text box, then select all and paste
xdotool key ctrl+a ctrl+v
click "$wid" 32 212           # 開始 stores the text, in Shift-JIS
sjis=$(printf 'Mongon=%s\r' "$text" | iconv -t CP932)
await grep -qx "$sjis" Velmora.Ini || fail "開始 did not store \"$text\""

click "$wid" 12 236           # the result, onto the clipboard
await eval 'xclip -selection clipboard -t image/bmp -o > clip.bmp 2>/dev/null && [ -s clip.bmp ]' ||
    fail "no image on the clipboard after a click on the result"
"$wine" velmora-cut.exe --settings Velmora.Ini -o cut.png || fail "velmora-cut.exe failed"
[ "$(compare-im6.q16 -metric AE clip.bmp cut.png null: 2>&1 || true)" = 0 ] ||
    fail "the window's image is not velmora-cut.exe's image of the stored settings"

save_as saved.png
await eval '[ "$(compare-im6.q16 -metric AE saved.png cut.png null: 2>&1 || true)" = 0 ]' ||
    fail "保存 did not write the image as saved.png"

# Smooth letters on a transparent ground, ticked in ｵﾌﾟｼｮﾝ from the keyboard: the
# PNG saved is velmora-cut.exe's --smooth --transparent file of the same settings.
click "$wid" 144 212          # ｵﾌﾟｼｮﾝ
options=$(window "保存オプション")
[ -n "$options" ] || fail "no options window"
xdotool windowfocus --sync "$options" 2>/dev/null || true
xdotool key Tab Tab Tab Tab Tab space Tab space   # past the JPEG and PNG controls
xdotool key shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab Return   # 保存
await eval 'grep -q "^Smooth=-1" Velmora.Ini && grep -q "^Transparent=-1" Velmora.Ini' ||
    fail "smooth and transparent were not stored"
await eval '! xdotool search --onlyvisible --name "^保存オプション\$" >/dev/null' ||
    fail "the options window stayed open"
xdotool windowfocus --sync "$wid" 2>/dev/null || true
click "$wid" 32 212           # 開始
save_as clear.png
"$wine" velmora-cut.exe --settings Velmora.Ini --smooth --transparent -o cut-clear.png ||
    fail "velmora-cut.exe failed"
await cmp -s clear.png cut-clear.png ||
    fail "the saved PNG is not velmora-cut.exe's --smooth --transparent file"
# A copy offers a PNG with the transparent ground: the saved file itself.
await eval '! xdotool search --onlyvisible --name "^ファイルの保存\$" >/dev/null' ||
    fail "the save dialog stayed open"
xdotool windowfocus --sync "$wid" 2>/dev/null || true
# The clipboard is the X display's own until Wine takes it for the copy, so no
# request is answered from what Wine held before.
printf 'nothing' | xclip -selection clipboard
click "$wid" 12 236
await eval 'xclip -selection clipboard -t TARGETS -o 2>/dev/null | grep -qx image/png' ||
    fail "the copy offers no PNG"
await eval 'xclip -selection clipboard -t image/png -o > clip.png 2>/dev/null &&
    cmp -s clip.png cut-clear.png' ||
    fail "the clipboard offers no PNG with the transparent ground"
finish

start
await eval '[ "$(shown_text)" = "$text" ]' || fail "started again, the text box is not \"$text\""
finish
echo "real window under Wine: 1 passed, 0 failed"
