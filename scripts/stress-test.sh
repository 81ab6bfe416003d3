#!/usr/bin/env bash
# The test suite three runs in a row while two other processes keep both cores
# busy, with more fonts installed than the suite draws with (fonts-noto-core and
# fonts-noto-cjk, which change fontconfig's choices for the system): a verdict
# that depends only on the code is the same every time.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh stress
busy=()
trap 'kill "${busy[@]}" 2>/dev/null || true' EXIT
for _ in 1 2; do
    (while :; do :; done) &
    busy+=($!)
done
for run in 1 2 3; do
    echo "== run $run of 3, both cores kept busy"
    scripts/test.sh
done
echo "== 3 runs passed under load"
