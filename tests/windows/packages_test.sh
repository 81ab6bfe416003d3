#!/usr/bin/env bash
# The Windows packages as a user meets them, under Wine on an X display:
# - the zip, unpacked into any folder, starts and keeps its settings beside
#   velmora.exe;
# - the installer puts the programs under Program Files and a Start menu entry
#   in place; the installed window keeps its settings in %APPDATA%\Velmora; the
#   uninstaller removes everything the installer put there, and leaves the
#   user's settings.
# Usage (WINEPREFIX set, a display open): packages_test.sh ZIP SETUP_EXE
set -euo pipefail
zip=$(realpath "$1")
setup=$(realpath "$2")
wine=/usr/lib/wine/wine64
: "${WINEPREFIX:?}"
c=$WINEPREFIX/drive_c
failed=0
check() { # what, then the test
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failed=1; fi
}
await() {
    for _ in $(seq 600); do "$@" && return 0; sleep 0.1; done
    return 1
}
# Starts a window, waits for its settings file to be written, and closes it.
first_start() { # program, settings file it must write
    "$wine" "$1" >/dev/null 2>&1 &
    check "$(basename "$1") wrote $2 at its first start" await test -s "$2"
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    wait 2>/dev/null || true
}

# The zip, from a folder whose name has a space and Japanese in it.
folder="$c/任意の フォルダー"
rm -rf "$folder"
mkdir -p "$folder"
unzip -q "$zip" -d "$folder"
portable=$(ls -d "$folder"/velmora-*)
check "velmora-cut.exe from the zip runs" \
    "$wine" "$portable/velmora-cut.exe" --font "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf" \
    -o "$folder/a.png" Zip
first_start "$portable/velmora.exe" "$portable/Velmora.Ini"
check "the zip's settings are Shift-JIS with CR LF" grep -q $'^Mongon=Sample\r$' "$portable/Velmora.Ini"
rm -rf "$folder"

# The installer, silent, then the installed window, then the uninstaller.
installed="$c/Program Files/Velmora"
menu="$c/ProgramData/Microsoft/Windows/Start Menu/Programs/Velmora"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmora'
user_settings=$(ls -d "$c"/users/*/AppData/Roaming | head -n 1)/Velmora/Velmora.Ini
"$wine" "$setup" /S
/usr/lib/wine/wineserver -w
for file in velmora.exe velmora-cut.exe LICENSE Uninstall.exe; do
    check "the installer put $file under Program Files" test -f "$installed/$file"
done
check "the installer made a Start menu entry" test -f "$menu/Velmora.lnk"
check "the installer registered its uninstaller" "$wine" reg query "$key" /v UninstallString
first_start "$installed/velmora.exe" "$user_settings"
check "the installed copy wrote nothing beside itself" test ! -e "$installed/Velmora.Ini"
"$wine" "$installed/Uninstall.exe" /S
/usr/lib/wine/wineserver -w
check "the uninstaller removed the programs" test ! -e "$installed"
check "the uninstaller removed the Start menu entry" test ! -e "$menu"
check "the uninstaller removed its registration" \
    eval "! '$wine' reg query '$key' >/dev/null 2>&1"
check "the user's settings stay" test -s "$user_settings"
exit "$failed"
