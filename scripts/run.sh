#!/usr/bin/env bash
# Installs what is missing, builds the program (release) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF >/dev/null
cmake --build build-release
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
    echo "velmora is a window and needs a display: run this in a desktop session," >&2
    echo "or make one with xvfb-run -a scripts/run.sh (velmora-cut needs none:" >&2
    echo "build-release/velmora-cut --help)" >&2
    exit 1
fi
exec build-release/velmora
