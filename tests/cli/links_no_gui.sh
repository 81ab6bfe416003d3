#!/usr/bin/env bash
# velmora-cut, and the tests that stand for it, load nothing of a desktop:
# no Qt GUI or Widgets, no GL, no X11 or XCB library.
set -euo pipefail
status=0
for program in "$@"; do
    found=$(ldd "$program" | grep -E 'libQt6(Gui|Widgets|OpenGL)|lib(E?GL|GLX|GLdispatch|OpenGL)\.so|libX11|libxcb|libwayland' || true)
    if [ -n "$found" ]; then
        echo "$(basename "$program") links a desktop library:"
        echo "$found"
        status=1
    fi
done
[ "$status" -eq 0 ] && echo "no desktop library in: $*"
exit "$status"
