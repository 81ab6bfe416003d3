#!/usr/bin/env bash
# What a screen reader meets (run under xvfb-run): the window and its options
# window walked through AT-SPI on a session bus of the test's own, as Orca walks
# them. Every control that takes the focus must have a name; a nameless one fails.
set -euo pipefail
if [ -z "${VELMORA_OWN_BUS:-}" ]; then
    VELMORA_OWN_BUS=1 exec dbus-run-session -- "$0" "$@"
fi
program="$1"
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
pid=""
trap '[ -z "$pid" ] || kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/prog" "$work/home"
cp "$program" "$work/prog/velmora"
export HOME="$work/home" QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
unset XDG_CONFIG_HOME XDG_CACHE_HOME
"$work/prog/velmora" & pid=$!
wid=$(timeout 30 xdotool search --sync --onlyvisible --name "^ベルモラ\$" | tail -n 1)
[ -n "$wid" ] || { echo "FAIL: no window"; exit 1; }
# Debian's python3, which has pyatspi, whatever python3 comes first on the path.
# The text box, two lists, six buttons, two check boxes and the result.
/usr/bin/python3 "$here/accessibility_walk.py" "ベルモラ" 12
xdotool windowfocus --sync "$wid" mousemove --window "$wid" 144 212 click 1   # ｵﾌﾟｼｮﾝ
timeout 30 xdotool search --sync --onlyvisible --name "^保存オプション\$" >/dev/null
# Two scroll bars, three check boxes and two buttons.
/usr/bin/python3 "$here/accessibility_walk.py" "保存オプション" 7
echo "accessibility: 1 passed, 0 failed"
